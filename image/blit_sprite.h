// The sprite blitter's kernels, with equal results: per pixel; packed with SSE2, eight pixels a
// step (the x86-64 one); packed with MMX, four pixels a step (the 32-bit x86 one).
#pragma once

#include "image/image.h"

#if defined(__SSE2__)
#define MORVANITE_BLIT_SSE2 1
#endif
#if defined(__i386__) || defined(__x86_64__)
#define MORVANITE_BLIT_MMX 1
#endif

// Image::BlitSprite computed one pixel at a time. Same arguments, same result (always 1).
int32_t BlitSpritePortable(Image& destination, const Image& source, RECT sourceRect, RECT destRect,
                           int32_t level, uint32_t key);

#if defined(MORVANITE_BLIT_SSE2)
// Image::BlitSprite computed eight pixels per step with SSE2 (then four, then single pixels for
// what remains of a row). Writes exactly the pixels BlitSpritePortable writes.
int32_t BlitSpriteSse2(Image& destination, const Image& source, RECT sourceRect, RECT destRect,
                       int32_t level, uint32_t key);
#endif

#if defined(MORVANITE_BLIT_MMX)
// Image::BlitSprite computed four pixels per 64-bit MMX register (then single pixels for what
// remains of a row), with EMMS after every row so that floating point works between and after
// calls. Writes exactly the pixels BlitSpritePortable writes. Needs no MMX compiler flag.
int32_t BlitSpriteMmx(Image& destination, const Image& source, RECT sourceRect, RECT destRect,
                      int32_t level, uint32_t key);
#endif
