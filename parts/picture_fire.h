// Picture that catches fire along its key-coloured pixels.
#pragma once

#include "parts/parte.h"

class PictureFirePart : public Parte {
  public:
    void Load(HWND window, Display& display) override;
    void Render(HWND window, Display& display, deciseconds t) override;
    void Present(HWND window, Display& display, deciseconds t) override;
    void Unload(HWND window, Display& display) override;
};

extern PictureFirePart pictureFirePart;
