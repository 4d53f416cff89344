// The interface every effect of the show implements.
#pragma once

#include <windows.h>

#include <cstdint>

class Display;

// Time in deciseconds: the music position in bytes / 17400.
typedef int32_t deciseconds;

class Parte {
  public:
    virtual void Load(HWND window, Display& display) = 0;
    virtual void Render(HWND window, Display& display, deciseconds t) = 0;
    virtual void Present(HWND window, Display& display, deciseconds t) = 0;
    virtual void Unload(HWND window, Display& display) = 0;
};
