// Zoom-blur feedback kernels over full-screen 16-bit frames: the 0.98 enlargement through column
// and row maps, and the eight-neighbour soften.
#pragma once

#include <cstdint>

#include "image/image.h"

namespace zoomblur {

constexpr int32_t kWidth = 320;
constexpr int32_t kHeight = 240;

// First and one-past-last pixel index written by SoftenEightNeighbours: 318 x 238 = 75684 pixels
// in memory order from row 1, column 1 (index 321) to row 237, column 164 (index 76004).
constexpr int32_t kSoftenFirst = kWidth + 1;
constexpr int32_t kSoftenEnd = kSoftenFirst + (kWidth - 2) * (kHeight - 2);

// columns[i] = trunc((i - 160) * F + 160), rows[i] = trunc((i - 120) * F + 120), with F the
// single-precision 0.98 (0.9800000190734863) and the arithmetic in double. Columns run from 3 to
// 315, rows from 2 to 236; the centre maps to itself and so does its right or lower neighbour.
void BuildZoomMaps(int32_t (&columns)[kWidth], int32_t (&rows)[kHeight]);

// dest(x, y) = source(columns[x], rows[y]) for every pixel of the 320x240 dest. Both images must
// be 320x240, 16 bits per pixel with rows of 640 bytes, and every map entry inside the frame;
// otherwise nothing is written.
void ZoomFromMaps(Image& dest, const Image& source, const int32_t (&columns)[kWidth],
                  const int32_t (&rows)[kHeight]);

// For every pixel index q from kSoftenFirst to kSoftenEnd - 1 (memory order, edges not skipped),
// dest[q] = per-channel average of the eight source pixels q - 321, - 320, - 319, - 1, + 1, + 319,
// + 320, + 321: for each PixelLayout mask m, ((sum of the eight p & m) >> 3) & m, ORed together.
// Pixels outside that run are left alone. Same image requirements as ZoomFromMaps; dest and
// source must be different images.
void SoftenEightNeighbours(Image& dest, const Image& source);

// True for a 320x240 16-bit image with packed rows and pixel memory.
bool IsScreenImage(const Image& image);

}  // namespace zoomblur
