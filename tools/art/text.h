// Lettering with FreeType and the DejaVu fonts.
#pragma once

#include <string>

#include "canvas.h"

namespace art {

// One loaded font face; renders lines of UTF-8 text into coverage masks.
class Font {
  public:
    explicit Font(const std::string& fileName);  // a file of the DejaVu folder
    ~Font();
    Font(const Font&) = delete;
    Font& operator=(const Font&) = delete;

    // Width in pixels of a line at the given size, with `tracking` extra pixels per letter.
    float Measure(const std::string& text, float pixelSize, float tracking = 0) const;
    // Coverage of the line drawn with its baseline at `baseline` and starting at `left` inside a
    // mask of the given size; coverage adds onto what the mask holds (clamped at 1).
    void Draw(Mask& into, const std::string& text, float pixelSize, float left, float baseline,
              float tracking = 0) const;
    // Height of capital letters at the given size.
    float CapHeight(float pixelSize) const;

  private:
    void* library_ = nullptr;
    void* face_ = nullptr;
};

// The font folder of fonts-dejavu-core.
std::string FontPath(const std::string& fileName);

}  // namespace art
