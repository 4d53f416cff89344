// Wobbling picture that zooms through to a glowing backdrop.
#pragma once

#include "parts/parte.h"

class ZoomThroughPart : public Parte {
public:
    void Load(HWND window, Display& display) override;
    void Render(HWND window, Display& display, deciseconds t) override;
    void Present(HWND window, Display& display, deciseconds t) override;
    void Unload(HWND window, Display& display) override;
};

extern ZoomThroughPart zoomThroughPart;
