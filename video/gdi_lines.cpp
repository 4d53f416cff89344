// GDI lines on a surface: the white pen of the surface over its device context.
#include "video/display.h"

HDC Surface::OpenDC() {
    surface->GetDC(&dc);
    if (dc != nullptr) SelectObject(dc, pen);
    return dc;
}

void Surface::Line(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
    if (dc == nullptr) return;
    MoveToEx(dc, x1, y1, nullptr);
    LineTo(dc, x2, y2);
}

HRESULT Surface::CloseDC() {
    const HRESULT result = surface->ReleaseDC(dc);
    dc = nullptr;
    return result;
}
