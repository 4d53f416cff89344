// libFuzzer target: any bytes through the TGA loader, the load pattern's conversion, a blit of
// the result and a morph towards it, under AddressSanitizer and UndefinedBehaviorSanitizer.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "image/blit_sprite.h"
#include "image/morph_points.h"
#include "image/tga.h"
#include "image/pixel_layout.h"

// The loader is fed its bytes directly; no resources, and trace lines go nowhere.
void WINAPI OutputDebugStringA(LPCSTR) {}
HMODULE WINAPI GetModuleHandleA(LPCSTR) {
    return nullptr;
}
HRSRC WINAPI FindResourceA(HMODULE, LPCSTR, LPCSTR) {
    return nullptr;
}
HGLOBAL WINAPI LoadResource(HMODULE, HRSRC) {
    return nullptr;
}
DWORD WINAPI SizeofResource(HMODULE, HRSRC) {
    return 0;
}
LPVOID WINAPI LockResource(HGLOBAL) {
    return nullptr;
}

namespace {

// Pictures that declare more pixel memory than this are skipped: they only exercise the
// allocator, and the fuzzer's memory limit would report them.
constexpr uint64_t kMaxPixelBytes = 2u << 20;

int32_t Signed(const uint8_t* data, size_t size, size_t at) {
    return at < size ? static_cast<int8_t>(data[at]) : 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return 0;
    if (size >= 18) {
        const uint64_t width = data[12] | (data[13] << 8), height = data[14] | (data[15] << 8);
        if (width * height * data[16] / 8 > kMaxPixelBytes) return 0;
        if (width * height * 2 > kMaxPixelBytes) return 0;
    }
    PixelLayout = {0xF800, 0x07E0, 0x001F, 5, 6, 5};

    TgaImage picture;
    const bool loaded = picture.LoadMemory(size ? data : nullptr, static_cast<uint32_t>(size));
    if (loaded && picture.pixels == nullptr) __builtin_trap();
    if (!loaded && picture.pixels != nullptr) __builtin_trap();

    Image converted(picture.width, picture.height, 16);
    converted.ConvertFrom(picture, picture.palette);

    // Rectangles from the header bytes, mostly outside the blitter's contract.
    Image frame(44, 30, 16);
    const RECT source = {Signed(data, size, 3), Signed(data, size, 4), Signed(data, size, 5),
                         Signed(data, size, 6)};
    const RECT place = {Signed(data, size, 8), Signed(data, size, 10), 0, 0};
    frame.BlitSprite(converted, source, place, Signed(data, size, 7) * 3, 0x1234);
    BlitSpritePortable(frame, converted, source, place, 128, 0);

    // A morph from a few random points to the picture's non-black pixels, and back again (small
    // pictures only: the arrays hold every pixel until they are cut down).
    if (int64_t{converted.width} * converted.height > 65536) return 0;
    MorphPointSet set;
    set.steps = 1 + (size % 3);
    set.PushRandom(static_cast<int32_t>(size % 64), 0, 0, 319, 239);
    set.PushImage(converted, Signed(data, size, 9), Signed(data, size, 11), 0);
    set.Step();
    set.PushRandom(static_cast<int32_t>(size % 17), -5, -5, 5, 5);
    for (int i = 0; i < 5; ++i) set.Step();
    return 0;
}
