// MPEG audio frame headers and the walk over a stream's whole frames.
#include "hosts/common/mpeg_frames.h"

#include <algorithm>

namespace audio {
namespace {

// Kilobits per second by bit rate index 1..14: MPEG-1 layers I, II, III; MPEG-2 and 2.5 layer I,
// layers II and III.
constexpr int kBitrates[5][14] = {
    {32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
    {32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
    {32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320},
    {32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
    {8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
};
constexpr int kMpeg1Rates[3] = {44100, 48000, 32000};

bool SameKind(const MpegFrameHeader& a, const MpegFrameHeader& b) {
    return a.version == b.version && a.layer == b.layer && a.sampleRate == b.sampleRate &&
           a.channels == b.channels;
}

// The header at `at` when a frame of `kind` (any kind when null) starts there.
bool FrameAt(std::span<const uint8_t> data, size_t at, const MpegFrameHeader* kind,
             MpegFrameHeader* header) {
    if (at > data.size() || data.size() - at < 4) return false;
    if (!ReadMpegFrameHeader(data.data() + at, header)) return false;
    return kind == nullptr || SameKind(*kind, *header);
}

// True when a whole frame starts at `at` and is followed by `more` frames of its kind back to
// back, or by the end of the data.
bool ConfirmedFrameAt(std::span<const uint8_t> data, size_t at, int more, MpegFrameHeader* header) {
    if (!FrameAt(data, at, nullptr, header) || header->size > data.size() - at) return false;
    size_t next = at + header->size;
    for (int i = 0; i < more && next < data.size(); ++i) {
        MpegFrameHeader following;
        if (!FrameAt(data, next, header, &following)) return false;
        next += following.size;
    }
    return true;
}

// Bytes of an ID3v2 tag at the start of `data` (header, size and footer), 0 when there is none.
size_t Id3v2Length(std::span<const uint8_t> data) {
    if (data.size() < 10 || data[0] != 'I' || data[1] != 'D' || data[2] != '3') return 0;
    size_t size = 0;
    for (int i = 6; i < 10; ++i) {
        if (data[i] & 0x80) return 0;
        size = size << 7 | data[i];
    }
    size += 10;
    if (data[5] & 0x10) size += 10;  // a footer
    return size;
}

// True when `frame` is a Layer III frame that carries an encoder's tag instead of audio: empty
// side information, then "Xing" or "Info" right after it, or "VBRI" 32 bytes after the header.
bool IsTagFrame(std::span<const uint8_t> frame, const MpegFrameHeader& header) {
    if (header.layer != 3) return false;
    size_t from = 4 + (header.crc ? 2 : 0);
    size_t sideInfo =
        header.version == 1 ? (header.channels == 1 ? 17 : 32) : (header.channels == 1 ? 9 : 17);
    size_t at = from + sideInfo;
    if (std::max<size_t>(at, 36) + 4 > frame.size()) return false;
    auto holds = [&](size_t where, const char* tag) {
        return std::equal(tag, tag + 4, frame.begin() + where);
    };
    bool empty =
        std::all_of(frame.begin() + from, frame.begin() + at, [](uint8_t b) { return b == 0; });
    return empty && (holds(at, "Xing") || holds(at, "Info") || holds(36, "VBRI"));
}

}  // namespace

bool ReadMpegFrameHeader(const uint8_t* bytes, MpegFrameHeader* header) {
    uint32_t word =
        uint32_t(bytes[0]) << 24 | uint32_t(bytes[1]) << 16 | uint32_t(bytes[2]) << 8 | bytes[3];
    if ((word >> 21) != 0x7FF) return false;
    int versionBits = (word >> 19) & 3;
    int layerBits = (word >> 17) & 3;
    int bitrateIndex = (word >> 12) & 15;
    int rateIndex = (word >> 10) & 3;
    int padding = (word >> 9) & 1;
    int mode = (word >> 6) & 3;
    if (versionBits == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 ||
        rateIndex == 3 || (word & 3) == 2) {
        return false;
    }
    MpegFrameHeader h;
    h.version = versionBits == 3 ? 1 : versionBits == 2 ? 2 : 25;
    h.layer = 4 - layerBits;
    int table = h.version == 1 ? h.layer - 1 : h.layer == 1 ? 3 : 4;
    h.bitrate = kBitrates[table][bitrateIndex - 1] * 1000;
    h.sampleRate = kMpeg1Rates[rateIndex] / (h.version == 1 ? 1 : h.version == 2 ? 2 : 4);
    h.channels = mode == 3 ? 1 : 2;
    h.crc = ((word >> 16) & 1) == 0;
    if (h.layer == 1) {
        h.samples = 384;
        h.size = size_t(12 * h.bitrate / h.sampleRate + padding) * 4;
    } else {
        h.samples = h.layer == 3 && h.version != 1 ? 576 : 1152;
        h.size = size_t(h.samples / 8 * h.bitrate / h.sampleRate + padding);
    }
    *header = h;
    return true;
}

bool FindMpegFrames(std::span<const uint8_t> data, MpegFrames* found) {
    found->frames.clear();
    size_t at = Id3v2Length(data);
    MpegFrameHeader header;
    while (at < data.size() && !ConfirmedFrameAt(data, at, 2, &header)) ++at;
    if (at >= data.size()) return false;
    found->first = header;
    const MpegFrameHeader kind = header;
    while (at < data.size()) {
        if (FrameAt(data, at, &kind, &header) && header.size <= data.size() - at) {
            auto frame = data.subspan(at, header.size);
            if (!found->frames.empty() || !IsTagFrame(frame, header))
                found->frames.push_back(frame);
            at += header.size;
            continue;
        }
        // Not a whole frame here: step over bytes to the next frame of the stream's kind that
        // another follows (or that ends the data).
        do {
            ++at;
        } while (at < data.size() &&
                 !(ConfirmedFrameAt(data, at, 1, &header) && SameKind(kind, header)));
    }
    return true;
}

}  // namespace audio
