// The sprite blitter's two kernels: a per-pixel one and a packed SSE2 one, with equal results.
#pragma once

#include "image/image.h"

#if defined(__x86_64__) || defined(_M_X64)
#define MORVANITE_BLIT_PACKED 1
#endif

// Image::BlitSprite computed one pixel at a time. Same arguments, same result (always 1).
int32_t BlitSpritePortable(Image& destination, const Image& source, RECT sourceRect, RECT destRect,
                           int32_t level, uint32_t key);

#if defined(MORVANITE_BLIT_PACKED)
// Image::BlitSprite computed eight pixels per step with SSE2 (then four, then single pixels for
// what remains of a row). Writes exactly the pixels BlitSpritePortable writes.
int32_t BlitSpritePacked(Image& destination, const Image& source, RECT sourceRect, RECT destRect,
                         int32_t level, uint32_t key);
#endif
