// MPEG audio frame headers and the walk over a stream's whole frames, against the encoder's own
// frame count.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hosts/common/mpeg_frames.h"
#include "tools/music/mp3_encode.h"

namespace {

TEST(AudioFrames, HeadersGiveTheirFormatAndSize) {
    struct Case {
        uint32_t word;
        bool valid;
        int version = 0, layer = 0, bitrate = 0, sampleRate = 0, channels = 0, samples = 0;
        size_t size = 0;
    } cases[] = {
        {0xFFFB9064, true, 1, 3, 128000, 44100, 2, 1152, 417},  // the show's form, joint stereo
        {0xFFFB9264, true, 1, 3, 128000, 44100, 2, 1152, 418},  // padded
        {0xFFFB90C4, true, 1, 3, 128000, 44100, 1, 1152, 417},  // mono
        {0xFFF38064, true, 2, 3, 64000, 22050, 2, 576, 208},    // MPEG-2
        {0xFFE38864, true, 25, 3, 64000, 8000, 2, 576, 576},    // MPEG-2.5
        {0xFFFD1864, true, 1, 2, 32000, 32000, 2, 1152, 144},   // layer II
        {0xFFFF1864, true, 1, 1, 32000, 32000, 2, 384, 48},     // layer I
        {0xFFEB9064, false},                                    // reserved version
        {0xFFF99064, false},                                    // reserved layer
        {0xFFFB0064, false},                                    // free format
        {0xFFFBF064, false},                                    // bad bit rate
        {0xFFFB9C64, false},                                    // reserved rate
        {0xFFFB9066, false},                                    // reserved emphasis
        {0xFF7B9064, false},                                    // no sync
    };
    for (const Case& c : cases) {
        const uint8_t bytes[4] = {uint8_t(c.word >> 24), uint8_t(c.word >> 16),
                                  uint8_t(c.word >> 8), uint8_t(c.word)};
        audio::MpegFrameHeader h;
        ASSERT_EQ(audio::ReadMpegFrameHeader(bytes, &h), c.valid) << std::hex << c.word;
        if (!c.valid) continue;
        EXPECT_EQ(h.version, c.version) << std::hex << c.word;
        EXPECT_EQ(h.layer, c.layer) << std::hex << c.word;
        EXPECT_EQ(h.bitrate, c.bitrate) << std::hex << c.word;
        EXPECT_EQ(h.sampleRate, c.sampleRate) << std::hex << c.word;
        EXPECT_EQ(h.channels, c.channels) << std::hex << c.word;
        EXPECT_EQ(h.samples, c.samples) << std::hex << c.word;
        EXPECT_EQ(h.size, c.size) << std::hex << c.word;
    }
}

std::vector<uint8_t> Joined(std::vector<std::vector<uint8_t>> pieces) {
    std::vector<uint8_t> all;
    for (const auto& piece : pieces) all.insert(all.end(), piece.begin(), piece.end());
    return all;
}

TEST(AudioFrames, FindsEveryWholeFrameAndOnlyThose) {
    const std::vector<uint8_t> tone = mp3enc::EncodeTone(44100);
    const size_t frames = mp3enc::FrameCount(44100);
    // Ten whole frames, and the rest.
    audio::MpegFrames plain;
    ASSERT_TRUE(audio::FindMpegFrames(tone, &plain));
    const size_t tenth = static_cast<size_t>(plain.frames[10].data() - tone.data());
    const std::vector<uint8_t> head(tone.begin(), tone.begin() + tenth);
    const std::vector<uint8_t> tail(tone.begin() + tenth, tone.end());
    std::vector<uint8_t> id3 = {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 10};
    id3.resize(20, 'I');
    // An encoder's tag in the first frame, after the header and empty stereo side
    // information.
    std::vector<uint8_t> tagged = tone;
    const uint8_t info[8] = {'I', 'n', 'f', 'o', 0, 0, 0, 0};
    std::fill(tagged.begin() + 4, tagged.begin() + 36, 0);
    std::copy(info, info + 8, tagged.begin() + 36);
    std::vector<uint8_t> id3v1 = {'T', 'A', 'G'};
    id3v1.resize(128, 0xFF);
    const struct {
        std::string name;
        std::vector<uint8_t> data;
        size_t frames;  // 0: no stream found
    } cases[] = {
        {"plain", tone, frames},
        {"one frame", mp3enc::EncodeTone(0), 1},
        {"ID3v2 tag first", Joined({id3, tone}), frames},
        {"junk first", Joined({std::vector<uint8_t>(300, 'a'), tone}), frames},
        {"ID3v1 tag last", Joined({tone, id3v1}), frames},
        {"Info tag frame first", tagged, frames - 1},
        {"cut mid-frame", std::vector<uint8_t>(tone.begin(), tone.begin() + 8000), 8000 / 418},
        {"junk between frames", Joined({head, std::vector<uint8_t>(1000, 0xFF), tail}), frames},
        {"a frame's head lost", Joined({head, std::vector<uint8_t>(tail.begin() + 4, tail.end())}),
         frames - 1},
        {"less than a frame", std::vector<uint8_t>(tone.begin(), tone.begin() + 300), 0},
        {"text", std::vector<uint8_t>(5000, 'x'), 0},
        {"all ones", std::vector<uint8_t>(5000, 0xFF), 0},
        {"empty", {}, 0},
    };
    for (const auto& c : cases) {
        audio::MpegFrames found;
        ASSERT_EQ(audio::FindMpegFrames(c.data, &found), c.frames > 0) << c.name;
        if (c.frames == 0) continue;
        EXPECT_EQ(found.frames.size(), c.frames) << c.name;
        EXPECT_EQ(found.first.sampleRate, 44100) << c.name;
        size_t bytes = 0;
        for (auto frame : found.frames) {
            audio::MpegFrameHeader h;
            ASSERT_TRUE(audio::ReadMpegFrameHeader(frame.data(), &h)) << c.name;
            ASSERT_EQ(frame.size(), h.size) << c.name;
            bytes += frame.size();
        }
        EXPECT_LE(bytes, c.data.size()) << c.name;
    }
}

}  // namespace
