// morvanite-tga: runs a TGA file through the program's own resource loader and shows what it made.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "hosts/common/frame.h"
#include "hosts/headless/headless.h"
#include "image/pixel_layout.h"
#include "image/tga.h"
#include "image/tga_layout.h"
#include "winapi/kernel32/resources.h"

namespace {

// The id the file is registered under for the loader.
constexpr int kResourceId = 1;

const char kUsage[] =
    "usage: morvanite-tga FILE [--raw OUT] [--palette OUT] [--png OUT] [--trace]\n"
    "  Loads FILE as TGAFILE resource through the program's loader and prints one line:\n"
    "  ok width height bpp type cmap_type cmap_len cmap_bits id_len data (D) end (E).\n"
    "  --raw OUT      the decoded pixel memory, byte for byte (empty when nothing was decoded)\n"
    "  --palette OUT  the colour map bytes as stored in the file\n"
    "  --png OUT      the 16-bit picture of the load pattern (5-6-5), as an RGB PNG\n"
    "  --trace        the loader's trace lines on stderr\n"
    "  Exit status: 0 loaded, 1 refused, 2 usage or file errors.\n";

bool ReadFile(const char* path, std::vector<uint8_t>* bytes) {
    FILE* f = std::fopen(path, "rb");
    if (f == nullptr) return false;
    uint8_t buffer[65536];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0)
        bytes->insert(bytes->end(), buffer, buffer + n);
    const bool ok = !std::ferror(f);
    std::fclose(f);
    return ok;
}

bool WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    FILE* f = std::fopen(path.c_str(), "wb");
    if (f == nullptr) return false;
    const bool ok = (size == 0 || std::fwrite(data, 1, size, f) == size);
    return std::fclose(f) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    const char* input = nullptr;
    std::string rawPath, palettePath, pngPath;
    bool trace = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&](std::string* out) {
            if (i + 1 >= argc) return false;
            *out = argv[++i];
            return true;
        };
        auto missing = [&arg]() {
            std::fprintf(stderr, "morvanite-tga: %s needs a file name\n%s", arg.c_str(), kUsage);
            return 2;
        };
        if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (arg == "--raw") {
            if (!value(&rawPath)) return missing();
        } else if (arg == "--palette") {
            if (!value(&palettePath)) return missing();
        } else if (arg == "--png") {
            if (!value(&pngPath)) return missing();
        } else if (arg == "--trace") {
            trace = true;
        } else if (!arg.empty() && arg[0] == '-') {
            std::fprintf(stderr, "morvanite-tga: unknown option %s\n%s", arg.c_str(), kUsage);
            return 2;
        } else if (input == nullptr) {
            input = argv[i];
        } else {
            std::fprintf(stderr, "morvanite-tga: only one FILE\n%s", kUsage);
            return 2;
        }
    }
    if (input == nullptr) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    std::vector<uint8_t> bytes;
    if (!ReadFile(input, &bytes)) {
        std::fprintf(stderr, "morvanite-tga: cannot read %s: %s\n", input, std::strerror(errno));
        return 2;
    }
    if (bytes.size() > UINT32_MAX) {
        std::fprintf(stderr, "morvanite-tga: %s is too large for a resource\n", input);
        return 2;
    }

    hosts::UseHeadless();
    hosts::SetTraceFile(trace ? stderr : nullptr);
    PixelLayout = {0xF800, 0x07E0, 0x001F, 5, 6, 5};
    winapi::RegisterResource("TGAFILE", kResourceId, bytes.data(), bytes.size());

    TgaImage picture;
    const bool ok = picture.LoadResource(kResourceId);
    TgaLayout layout{};
    const bool known = ReadTgaLayout(bytes.data(), static_cast<uint32_t>(bytes.size()), &layout);
    std::printf(
        "ok=%d width=%d height=%d bpp=%d type=%d cmap_type=%d cmap_len=%d cmap_bits=%d id_len=%d "
        "data=%lld end=%lld\n",
        ok ? 1 : 0, picture.width, picture.height, picture.bitsPerPixel, picture.imageType,
        picture.colourMapType, picture.colourMapLength, picture.colourMapEntrySize,
        bytes.size() >= 1 ? bytes[0] : 0, known ? static_cast<long long>(layout.dataBytes) : -1LL,
        known ? static_cast<long long>(layout.dataEnd) : -1LL);

    int status = ok ? 0 : 1;
    if (!rawPath.empty()) {
        const size_t size =
            picture.pixels ? static_cast<size_t>(picture.bytesPerRow) * picture.height : 0;
        if (!WriteFile(rawPath, picture.pixels, size)) {
            std::fprintf(stderr, "morvanite-tga: cannot write %s\n", rawPath.c_str());
            status = 2;
        }
    }
    if (!palettePath.empty()) {
        const size_t size = picture.palette ? layout.colourMapBytes : 0;
        if (!WriteFile(palettePath, picture.palette, size)) {
            std::fprintf(stderr, "morvanite-tga: cannot write %s\n", palettePath.c_str());
            status = 2;
        }
    }
    if (!pngPath.empty()) {
        // The load pattern's 5-6-5 picture, each channel widened by repeating its top bits.
        std::unique_ptr<Image> converted(LoadTgaAs16(kResourceId));
        std::string error;
        if (converted->pixels == nullptr || converted->width <= 0 || converted->height <= 0) {
            std::fprintf(stderr, "morvanite-tga: no PNG written: the picture has no pixels\n");
            if (status == 0) status = 2;
        } else if (!hosts::WriteFramePng(pngPath,
                                         reinterpret_cast<const uint16_t*>(converted->pixels),
                                         converted->width, converted->height,
                                         converted->bytesPerRow, 0xF800, 0x07E0, 0x001F, &error)) {
            std::fprintf(stderr, "morvanite-tga: no PNG written: %s\n", error.c_str());
            if (status == 0) status = 2;
        }
    }
    return status;
}
