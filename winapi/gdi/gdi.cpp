// GDI stand-ins for lines on surfaces: CreatePen, SelectObject, MoveToEx, LineTo, DeleteObject.
// Lines are drawn with Bresenham's algorithm, one pixel wide, without their end point, into the
// surface memory in its own pixel format, clipped to the surface.
// Left out: pen widths above one and dashed styles (drawn solid, one pixel), brushes, text, raster
// operations other than copying, mapping modes.
#include "winapi/gdi/gdi.h"

#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>

namespace winapi {
namespace {

struct PenObject {
    int style;
    int width;
    COLORREF colour;
};

struct DeviceContext {
    uint8_t* pixels;
    int width;
    int height;
    int pitch;
    DDPIXELFORMAT format;
    PenObject* pen;
    int x;
    int y;
};

constexpr int kNullPenStyle = 5;  // PS_NULL

// The live pens and device contexts, owned here; a handle is the object's address.
std::map<PenObject*, std::unique_ptr<PenObject>>& Pens() {
    static std::map<PenObject*, std::unique_ptr<PenObject>> pens;
    return pens;
}

std::map<DeviceContext*, std::unique_ptr<DeviceContext>>& Contexts() {
    static std::map<DeviceContext*, std::unique_ptr<DeviceContext>> contexts;
    return contexts;
}

DeviceContext* ContextOf(HDC dc) {
    auto* context = reinterpret_cast<DeviceContext*>(dc);
    return Contexts().count(context) != 0 ? context : nullptr;
}

// The pen every new context starts with: solid black.
PenObject blackPen{PS_SOLID, 0, 0};

uint32_t PlaceChannel(uint32_t value8, DWORD mask) {
    if (mask == 0) return 0;
    int shift = __builtin_ctz(mask);
    int bits = __builtin_popcount(mask);
    uint32_t value = bits >= 8 ? value8 << (bits - 8) : value8 >> (8 - bits);
    return (value << shift) & mask;
}

void Plot(DeviceContext& context, int x, int y, uint32_t pixel) {
    if (x < 0 || y < 0 || x >= context.width || y >= context.height) return;
    int bytes = (int)context.format.dwRGBBitCount / 8;
    uint8_t* at = context.pixels + (size_t)y * context.pitch + (size_t)x * bytes;
    for (int i = 0; i < bytes; ++i) at[i] = (uint8_t)(pixel >> (8 * i));
}

}  // namespace

uint32_t PixelFromColour(COLORREF colour, const DDPIXELFORMAT& format) {
    uint32_t red = colour & 0xFF, green = (colour >> 8) & 0xFF, blue = (colour >> 16) & 0xFF;
    switch (format.dwRGBBitCount) {
        case 16:
            return PlaceChannel(red, format.dwRBitMask) | PlaceChannel(green, format.dwGBitMask) |
                   PlaceChannel(blue, format.dwBBitMask);
        case 24:
        case 32:
            return blue | (green << 8) | (red << 16);
        default:  // palette-indexed: no palette here, take the brightness
            return (red + green + blue) / 3;
    }
}

HDC OpenSurfaceDC(uint8_t* pixels, int width, int height, int pitch, const DDPIXELFORMAT& format) {
    auto context = std::make_unique<DeviceContext>(
        DeviceContext{pixels, width, height, pitch, format, &blackPen, 0, 0});
    HDC dc = reinterpret_cast<HDC>(context.get());
    Contexts().emplace(context.get(), std::move(context));
    return dc;
}

bool CloseSurfaceDC(HDC dc) {
    DeviceContext* context = ContextOf(dc);
    if (context == nullptr) return false;
    Contexts().erase(context);
    return true;
}

}  // namespace winapi

using winapi::ContextOf;
using winapi::PenObject;

HPEN WINAPI CreatePen(int style, int width, COLORREF colour) {
    auto pen = std::make_unique<PenObject>(PenObject{style, width, colour & 0x00FFFFFF});
    HPEN handle = reinterpret_cast<HPEN>(pen.get());
    winapi::Pens().emplace(pen.get(), std::move(pen));
    return handle;
}

HGDIOBJ WINAPI SelectObject(HDC dc, HGDIOBJ object) {
    winapi::DeviceContext* context = ContextOf(dc);
    auto* pen = static_cast<PenObject*>(object);
    if (context == nullptr || winapi::Pens().count(pen) == 0) return nullptr;
    PenObject* previous = context->pen;
    context->pen = pen;
    return previous;
}

BOOL WINAPI MoveToEx(HDC dc, int x, int y, LPPOINT previous) {
    winapi::DeviceContext* context = ContextOf(dc);
    if (context == nullptr) return FALSE;
    if (previous != nullptr) *previous = POINT{context->x, context->y};
    context->x = x;
    context->y = y;
    return TRUE;
}

BOOL WINAPI LineTo(HDC dc, int x, int y) {
    winapi::DeviceContext* context = ContextOf(dc);
    if (context == nullptr) return FALSE;
    PenObject* pen = context->pen;
    if (pen->style != winapi::kNullPenStyle) {
        uint32_t pixel = winapi::PixelFromColour(pen->colour, context->format);
        int x0 = context->x, y0 = context->y;
        int dx = std::abs(x - x0), dy = std::abs(y - y0);
        int sx = x0 < x ? 1 : -1, sy = y0 < y ? 1 : -1;
        // Bresenham: every pixel from the start up to, not including, the end point.
        if (dx >= dy) {
            int error = 2 * dy - dx;
            for (int i = 0; i < dx; ++i) {
                winapi::Plot(*context, x0, y0, pixel);
                if (error > 0) {
                    y0 += sy;
                    error -= 2 * dx;
                }
                error += 2 * dy;
                x0 += sx;
            }
        } else {
            int error = 2 * dx - dy;
            for (int i = 0; i < dy; ++i) {
                winapi::Plot(*context, x0, y0, pixel);
                if (error > 0) {
                    x0 += sx;
                    error -= 2 * dy;
                }
                error += 2 * dx;
                y0 += sy;
            }
        }
    }
    context->x = x;
    context->y = y;
    return TRUE;
}

BOOL WINAPI DeleteObject(HGDIOBJ object) {
    auto* pen = static_cast<PenObject*>(object);
    auto found = winapi::Pens().find(pen);
    if (found == winapi::Pens().end()) return FALSE;
    for (auto& [address, context] : winapi::Contexts()) {
        if (context->pen == pen) context->pen = &winapi::blackPen;
    }
    winapi::Pens().erase(found);
    return TRUE;
}
