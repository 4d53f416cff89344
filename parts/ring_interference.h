// Interfering ring patterns with strips and a rising figure.
#pragma once

#include "parts/parte.h"

class RingInterferencePart : public Parte {
  public:
    void Load(HWND window, Display& display) override;
    void Render(HWND window, Display& display, deciseconds t) override;
    void Present(HWND window, Display& display, deciseconds t) override;
    void Unload(HWND window, Display& display) override;
};

extern RingInterferencePart ringInterferencePart;
