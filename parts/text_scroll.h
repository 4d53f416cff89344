// Zooming text scroller with rings of glow sprites.
#pragma once

#include "parts/parte.h"

class TextScrollPart : public Parte {
  public:
    void Load(HWND window, Display& display) override;
    void Render(HWND window, Display& display, deciseconds t) override;
    void Present(HWND window, Display& display, deciseconds t) override;
    void Unload(HWND window, Display& display) override;
};

extern TextScrollPart textScrollPart;
