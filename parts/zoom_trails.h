// Additive sprite ring with zoom-blur trails.
#pragma once

#include "parts/parte.h"

class ZoomTrailsPart : public Parte {
  public:
    void Load(HWND window, Display& display) override;
    void Render(HWND window, Display& display, deciseconds t) override;
    void Present(HWND window, Display& display, deciseconds t) override;
    void Unload(HWND window, Display& display) override;
};

extern ZoomTrailsPart zoomTrailsPart;
