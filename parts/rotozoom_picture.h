// Rotating and zooming texture blended with a picture.
#pragma once

#include "parts/parte.h"

class RotozoomPicturePart : public Parte {
public:
    void Load(HWND window, Display& display) override;
    void Render(HWND window, Display& display, deciseconds t) override;
    void Present(HWND window, Display& display, deciseconds t) override;
    void Unload(HWND window, Display& display) override;
};

extern RotozoomPicturePart rotozoomPicturePart;
