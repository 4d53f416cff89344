// MPEG audio frames in a stream held in memory: their headers, and where the whole frames are,
// for decoders that take frames rather than a file (the Audio Compression Manager's).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace audio {

struct MpegFrameHeader {
    int version = 0;     // 1 (MPEG-1), 2 (MPEG-2) or 25 (MPEG-2.5)
    int layer = 0;       // 1, 2 or 3
    int bitrate = 0;     // bits per second
    int sampleRate = 0;  // Hz
    int channels = 0;    // 1 or 2
    int samples = 0;     // per channel and frame: 384, 1152 or 576
    size_t size = 0;     // bytes of the frame, header and padding included
    bool crc = false;    // a 16-bit check follows the header
};

// Reads the 4-byte frame header at `bytes`. False for anything that is not one a decoder can
// play: no sync word, a reserved version, layer, rate or emphasis, free-format or bad bit rates.
bool ReadMpegFrameHeader(const uint8_t* bytes, MpegFrameHeader* header);

// The whole frames of a stream, in order, and the header of the first.
struct MpegFrames {
    MpegFrameHeader first;
    std::vector<std::span<const uint8_t>> frames;
};

// Finds the frames of `data`: after an ID3v2 tag, if any, the first header that two more headers
// of the same version, layer, rate and channels follow back to back (or, in a shorter stream, the
// end of the data), then every whole frame of that kind, stepping over bytes that aren't one
// (junk, a trailing tag). A frame cut short by the end of the data is left out, and so is a first
// Layer III frame that holds an encoder's Xing, Info or VBRI tag instead of audio (decoders play
// nothing for it). False when no such first frame is found.
bool FindMpegFrames(std::span<const uint8_t> data, MpegFrames* found);

}  // namespace audio
