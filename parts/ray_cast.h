// Ray casting shared by the turning tunnel and the rolling planes: float vectors and row-major
// matrices, the block raster (one ray per block x block square, its row repeated below), the depth
// shade and the Present that copies the frame into the back surface.
#pragma once

#include <cstdint>

#include "image/image.h"
#include "image/tga.h"
#include "parts/parte.h"

namespace ray_cast {

struct Vector {
    float x;
    float y;
    float z;
    float w;
};

// 4x4, stored by rows. A vector is transformed as a row vector on the left, so row 3 carries the
// translation.
struct Matrix {
    float m[4][4];
};

Matrix Identity();

// out[j] = v.x*M[0][j] + v.y*M[1][j] + v.z*M[2][j] + v.w*M[3][j]: each a sum of double products,
// added left to right in double and rounded to float once. `out` may be `v`.
void Transform(Vector& out, const Vector& v, const Matrix& matrix);

// matrix = matrix x step: element (i, j) is the sum over k of matrix[i][k] * step[k][j], in double,
// rounded to float once; built in a temporary and then copied over `matrix`.
void Multiply(Matrix& matrix, const Matrix& step);

// Darkens a 16-bit texel by k: red loses k << (blueBits + greenBits), green k << greenBits (the
// green width, not the green position), blue k; each channel stops at 0. In 64 bits, so any
// int32 k is safe; k must not be negative for the result to be a darkening.
uint16_t DepthShade(uint16_t texel, int64_t k);

// Texel v * 256 + u of a 16-bit texture of at least 256 x 256 texels, or of an all-black stand-in
// when `texture` is missing, not 16-bit or too small, so no look-up leaves the image.
const uint16_t* TexelsOf(const Image* texture);

}  // namespace ray_cast

// What the ray-cast parts have in common: their members, the motion of the eye, the block raster,
// Present and the release of their images. Each part adds its own turn, hit test and flags.
class RayCastPart : public Parte {
  public:
    Image* frame = nullptr;          // 320x240, 16 bits per pixel
    Image* texture = nullptr;        // from TGA resource 109, 16 bits per pixel
    TgaImage* loader = nullptr;      // only during Load
    int32_t frameCount = 0;          // n: presented frames since Load
    ray_cast::Matrix orientation{};  // M
    ray_cast::Matrix turnStep{};     // R: the identity plus a half-degree turn
    ray_cast::Vector eye{};          // E = (0, 0, 0, 1)
    ray_cast::Vector view{};         // V; its w is never written and stays 0
    ray_cast::Vector origin{};       // O
    ray_cast::Vector direction{};    // D
    float focalDistance = 0.0f;      // F
    int32_t columns = 0;             // 320 / block
    int32_t rows = 0;                // 240 / block
    int32_t block = 0;               // side of the square one ray colours

    // Copies the frame into the locked back surface, counts the frame and flips. A failed lock
    // skips the copy and the unlock; the count and the flip go on.
    void Present(HWND window, Display& display, deciseconds t) override;

  protected:
    // Block 2, the texture from resource 109, 160 x 120 blocks, the frame, M and R the identity,
    // E = (0, 0, 0, 1), n = 0, F = 255. The part writes its turn into R afterwards.
    void LoadCommon();

    // M = M x R; M[3][1] = 3000 * sin(n * 0.02) with float n and the float 0.02; O = E x M.
    void MoveEye();

    // For every block, rows top to bottom and columns left to right: V from the block's position,
    // D = V x M, then `shade()` gives the pixel (it reads `origin` and `direction`), written block
    // times along the row; after each block row that frame row is repeated block - 1 times below.
    template <typename Shader>
    void CastBlocks(Shader shade);

    // Destroys the frame and the texture, each if present.
    void FreeImages();
};

template <typename Shader>
void RayCastPart::CastBlocks(Shader shade) {
    if (frame == nullptr || frame->pixels == nullptr || frame->bitsPerPixel != 16) return;
    if (block <= 0 || columns * block > frame->width || rows * block > frame->height) return;
    const int32_t rowPixels = frame->bytesPerRow / 2;
    uint16_t* const pixels = reinterpret_cast<uint16_t*>(frame->pixels);
    for (int32_t i = 0; i < rows; ++i) {
        uint16_t* row = pixels + static_cast<int64_t>(i) * block * rowPixels;
        for (int32_t j = 0; j < columns; ++j) {
            view.x = static_cast<float>(double(block * j) + eye.x - 160.0);
            view.y = static_cast<float>(double(block * i) + eye.y - 120.0);
            view.z = static_cast<float>(double(focalDistance) + eye.z);
            ray_cast::Transform(direction, view, orientation);
            const uint16_t pixel = shade();
            uint16_t* out = row + j * block;
            for (int32_t b = 0; b < block; ++b) out[b] = pixel;
        }
        for (int32_t r = 1; r < block; ++r) {
            uint16_t* below = row + static_cast<int64_t>(r) * rowPixels;
            const uint16_t* above = below - rowPixels;
            for (int32_t x = 0; x < frame->width; ++x) below[x] = above[x];
        }
    }
}
