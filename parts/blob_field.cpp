// Glowing blob field with sliding logos.
#include "parts/blob_field.h"

#include <cmath>
#include <cstdlib>

#include "image/numeric.h"
#include "parts/pictures.h"
#include "image/pixel_layout.h"

BlobFieldPart blobFieldPart;

namespace {

int32_t loadDone = 0;
int32_t unloadDone = 0;
float phi = 0.0f;
bool presentLatched = false;
deciseconds presentT0 = 0;

constexpr int32_t kLogo1Id = 138;
constexpr int32_t kLogo2Id = 139;
constexpr float kPhiStep = 0.008726646f;
constexpr double kLogoFactor = 0.03926990628242493;  // single-precision 3.1415925 / 80

// Shifts as the processor does them: the count is taken modulo 32.
uint32_t ShiftLeft(uint32_t value, int32_t count) {
    return value << (static_cast<uint32_t>(count) & 31);
}
uint32_t ShiftRight(uint32_t value, int32_t count) {
    return value >> (static_cast<uint32_t>(count) & 31);
}

}  // namespace

namespace blobfield {

void BuildColourRamp(uint16_t* ramp) {
    const int32_t blueBits = PixelLayout.blueBits;
    const int32_t greenBits = PixelLayout.greenBits;
    const uint32_t greenMask = PixelLayout.greenMask;
    const uint32_t blueMask = PixelLayout.blueMask;
    for (uint32_t i = 0; i < 64; ++i) ramp[i] = static_cast<uint16_t>(ShiftLeft(i, blueBits));
    for (uint32_t k = 0; k < 128; ++k) {
        ramp[64 + k] = static_cast<uint16_t>((ShiftRight(k, 7 - blueBits) & 0xFF) | greenMask);
    }
    for (uint32_t k = 0; k < 64; ++k) {
        ramp[192 + k] =
            static_cast<uint16_t>(ShiftLeft(k >> 1, greenBits + blueBits) | blueMask | greenMask);
    }
}

void BuildDistanceTable(float* table) {
    for (int32_t dy = 0; dy < kFieldHeight; ++dy) {
        for (int32_t dx = 0; dx < kFieldWidth; ++dx) {
            float glow = 1285.7142f;
            if (dx != 0 || dy != 0) {
                glow = static_cast<float>(9000000000.0 /
                                          (std::sqrt(double(dx * dx + dy * dy)) * 7000000.0));
            }
            table[dy * kFieldWidth + dx] = glow;
        }
    }
}

void SeedPoints(BlobPoint (&points)[kPointCount]) {
    for (BlobPoint& point : points) {
        point.x = (Rand() * 320 / 2) / 32767;
        point.y = (Rand() * 240 / 2) / 32767;
        point.counter = (Rand() * 100) / 32767;
        point.weight = point.counter < 50 ? 1.0f : 2.0f;
    }
}

void MovePoints(BlobPoint (&points)[kPointCount], float phi) {
    for (int32_t k = 1; k <= kPointCount; ++k) {
        BlobPoint& point = points[k - 1];
        if (point.counter > 100) {
            point.counter = 0;
        } else if (point.counter > 50 && point.weight > 0.5) {
            point.weight = static_cast<float>(double(point.weight) - 0.05);
        } else if (point.counter <= 50 && point.weight < 1.8) {
            point.weight = static_cast<float>(double(point.weight) + 0.05);
        }
        point.counter += 1;
        point.x = TruncToInt(80.0 + double(42 + 2 * k) * std::sin(double(2 * k) * double(phi)));
        point.y = TruncToInt(60.0 + double(28 + 2 * k) * std::cos(double(k) * double(phi)));
    }
}

uint16_t* FillField(uint16_t* out, const float* table, const uint16_t* ramp,
                    const BlobPoint (&points)[kPointCount]) {
    for (const BlobPoint& point : points) {
        if (point.x < 0 || point.x >= kFieldWidth || point.y < 0 || point.y >= kFieldHeight)
            return out;
    }
    static_assert(kPointCount == 6, "the sum below adds six glows");
    // Per row, each point's glow along the row (table entry times weight, in double), laid out
    // by column so that the sums below run over whole rows.
    double glow[kPointCount][kFieldWidth];
    double sums[kFieldWidth];
    for (int32_t y = 0; y < kFieldHeight; ++y) {
        for (int32_t i = 0; i < kPointCount; ++i) {
            const float* row = table + std::abs(y - points[i].y) * kFieldWidth;
            const double weight = points[i].weight;
            const int32_t px = points[i].x;
            for (int32_t x = 0; x < px; ++x) glow[i][x] = double(row[px - x]) * weight;
            for (int32_t x = px; x < kFieldWidth; ++x) glow[i][x] = double(row[x - px]) * weight;
        }
        for (int32_t x = 0; x < kFieldWidth; ++x) {
            double sum = 0.0;
            sum = sum + glow[0][x];
            sum = sum + glow[1][x];
            sum = sum + glow[2][x];
            sum = sum + glow[3][x];
            sum = sum + glow[4][x];
            sum = sum + glow[5][x];
            sums[x] = sum > 255.0 ? 255.0 : sum;
        }
        for (int32_t x = 0; x < kFieldWidth; ++x) *out++ = ramp[TruncToInt(sums[x]) & 255];
    }
    return out;
}

int8_t LogoLevel(int32_t localTime) {
    return static_cast<int8_t>(TruncToInt(std::sin(double(localTime) * kLogoFactor) * 120.0));
}

}  // namespace blobfield

void BlobFieldPart::Load(HWND, Display& display) {
    if (loadDone) return;
    loadDone = 1;

    colourRamp = new uint16_t[blobfield::kRampSize];
    distanceTable = new float[blobfield::kTableCapacity]();
    blobfield::BuildColourRamp(colourRamp);
    blobfield::BuildDistanceTable(distanceTable);
    blobfield::SeedPoints(points);

    field = new Image(blobfield::kFieldWidth, blobfield::kFieldHeight, 16);
    fieldSurface = display.WrapImage(*field);

    logo1 = pictures::Load(loader, kLogo1Id);
    key1 = pictures::FirstPixel(logo1);
    logo2 = pictures::Load(loader, kLogo2Id);
    key2 = pictures::FirstPixel(logo2);
}

void BlobFieldPart::Render(HWND, Display&, deciseconds) {
    if (field == nullptr || field->pixels == nullptr || colourRamp == nullptr ||
        distanceTable == nullptr)
        return;
    writePosition = reinterpret_cast<uint16_t*>(field->pixels);
    phi = static_cast<float>(double(phi) + double(kPhiStep));
    blobfield::MovePoints(points, phi);
    writePosition = blobfield::FillField(writePosition, distanceTable, colourRamp, points);

    const int32_t d = localTime;
    if (d > 0 && d < 80) {
        level = blobfield::LogoLevel(d);
        if (logo1 != nullptr) {
            const RECT source = {0, 0, logo1->width, logo1->height};
            const RECT dest = {0, 80 - d, logo1->width, 80 - d + logo1->height};
            field->BlitSprite(*logo1, source, dest, level, key1);
        }
        if (logo2 != nullptr) {
            const int32_t top = 80 - (d >> 1);
            const RECT source = {0, 0, logo2->width, logo2->height};
            const RECT dest = {50, top, 50 + logo2->width, top + logo2->height};
            field->BlitSprite(*logo2, source, dest, level, key2);
        }
    }
}

void BlobFieldPart::Present(HWND, Display& display, deciseconds t) {
    if (!presentLatched) {
        presentLatched = true;
        presentT0 = t;
    }
    localTime = static_cast<int32_t>(static_cast<uint32_t>(t) - static_cast<uint32_t>(presentT0));
    // The 160x120 field is stretched over the whole back buffer by the blit.
    if (fieldSurface != nullptr) display.back.Blit(nullptr, fieldSurface, nullptr, 0, nullptr);
    display.Flip();
}

void BlobFieldPart::Unload(HWND, Display&) {
    if (unloadDone) return;
    unloadDone = 1;
    delete[] colourRamp;
    colourRamp = nullptr;
    delete[] distanceTable;
    distanceTable = nullptr;
    delete field;
    field = nullptr;
    delete fieldSurface;
    fieldSurface = nullptr;
    delete logo1;
    logo1 = nullptr;
    delete logo2;
    logo2 = nullptr;
}
