// Opening picture with fading strips and a zoom-blur dissolve.
#pragma once

#include "parts/parte.h"

class OpeningZoomBlurPart : public Parte {
public:
    void Load(HWND window, Display& display) override;
    void Render(HWND window, Display& display, deciseconds t) override;
    void Present(HWND window, Display& display, deciseconds t) override;
    void Unload(HWND window, Display& display) override;
};

extern OpeningZoomBlurPart openingZoomBlurPart;
