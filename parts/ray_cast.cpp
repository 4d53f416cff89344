// Ray casting shared by the turning tunnel and the rolling planes.
#include "parts/ray_cast.h"

#include <cmath>

#include "parts/back_buffer.h"
#include "parts/pictures.h"
#include "video/display.h"
#include "image/pixel_layout.h"

namespace ray_cast {

Matrix Identity() {
    Matrix identity{};
    for (int i = 0; i < 4; ++i) identity.m[i][i] = 1.0f;
    return identity;
}

void Transform(Vector& out, const Vector& v, const Matrix& matrix) {
    const auto& m = matrix.m;
    const double x = v.x, y = v.y, z = v.z, w = v.w;
    const float rx = static_cast<float>(x * m[0][0] + y * m[1][0] + z * m[2][0] + w * m[3][0]);
    const float ry = static_cast<float>(x * m[0][1] + y * m[1][1] + z * m[2][1] + w * m[3][1]);
    const float rz = static_cast<float>(x * m[0][2] + y * m[1][2] + z * m[2][2] + w * m[3][2]);
    const float rw = static_cast<float>(x * m[0][3] + y * m[1][3] + z * m[2][3] + w * m[3][3]);
    out.x = rx;
    out.y = ry;
    out.z = rz;
    out.w = rw;
}

void Multiply(Matrix& matrix, const Matrix& step) {
    Matrix product;
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            double sum = double(matrix.m[i][0]) * step.m[0][j];
            for (int k = 1; k < 4; ++k) sum += double(matrix.m[i][k]) * step.m[k][j];
            product.m[i][j] = static_cast<float>(sum);
        }
    }
    matrix = product;
}

uint16_t DepthShade(uint16_t texel, int64_t k) {
    const int64_t red = int64_t(texel & PixelLayout.redMask) -
                        k * (int64_t(1) << (PixelLayout.blueBits + PixelLayout.greenBits));
    const int64_t green =
        int64_t(texel & PixelLayout.greenMask) - k * (int64_t(1) << PixelLayout.greenBits);
    const int64_t blue = int64_t(texel & PixelLayout.blueMask) - k;
    const uint32_t r = red < 0 ? 0u : static_cast<uint32_t>(red);
    const uint32_t g = green < 0 ? 0u : static_cast<uint32_t>(green);
    const uint32_t b = blue < 0 ? 0u : static_cast<uint32_t>(blue);
    return static_cast<uint16_t>((r & PixelLayout.redMask) | (g & PixelLayout.greenMask) |
                                 (b & PixelLayout.blueMask));
}

const uint16_t* TexelsOf(const Image* texture) {
    static const uint16_t black[256 * 256] = {};
    if (texture == nullptr || texture->pixels == nullptr || texture->bitsPerPixel != 16 ||
        int64_t(texture->width) * texture->height < 256 * 256) {
        return black;
    }
    return reinterpret_cast<const uint16_t*>(texture->pixels);
}

}  // namespace ray_cast

void RayCastPart::Present(HWND window, Display& display, deciseconds) {
    back_buffer::CopyFrame(window, display, frame);
    frameCount += 1;
    display.Flip();
}

void RayCastPart::LoadCommon() {
    block = 2;
    texture = pictures::Load(loader, 109);
    columns = 320 / block;
    rows = 240 / block;
    frame = new Image(320, 240, 16);
    orientation = ray_cast::Identity();
    turnStep = ray_cast::Identity();
    eye = {0.0f, 0.0f, 0.0f, 1.0f};
    frameCount = 0;
    focalDistance = 255.0f;
}

void RayCastPart::MoveEye() {
    ray_cast::Multiply(orientation, turnStep);
    const double angle = double(static_cast<float>(frameCount)) * double(0.02f);
    orientation.m[3][1] = static_cast<float>(3000.0 * std::sin(angle));
    ray_cast::Transform(origin, eye, orientation);
}

void RayCastPart::FreeImages() {
    if (frame != nullptr) {
        delete frame;
        frame = nullptr;
    }
    if (texture != nullptr) {
        delete texture;
        texture = nullptr;
    }
}
