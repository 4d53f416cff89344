// MPEG audio decoding from memory: lengths, sample placement, and data that isn't a stream.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "winapi/bass/decoder.h"

#include "tools/music/mp3_encode.h"

namespace {

using audio::DecodeMpegAudio;
using audio::DecodeStatus;

// Decodes from a heap block of exactly the data's size, so that a read past its end is caught by
// the address sanitizer.
DecodeStatus DecodeExact(const std::vector<uint8_t>& data, std::vector<uint8_t>* pcm) {
    std::unique_ptr<uint8_t[]> block(new uint8_t[data.size() + (data.empty() ? 1 : 0)]);
    if (!data.empty()) std::memcpy(block.get(), data.data(), data.size());
    return DecodeMpegAudio({block.get(), data.size()}, pcm);
}

TEST(AudioDecode, RefusesDataThatIsNotMpegAudio) {
    std::vector<std::vector<uint8_t>> garbage;
    garbage.push_back({});
    garbage.push_back(std::vector<uint8_t>(100000, 0));
    garbage.push_back(std::vector<uint8_t>(100000, 0xFF));
    std::string text = "Morvanite. This is a text, not a stream. ";
    std::vector<uint8_t> lines;
    for (int i = 0; i < 500; ++i) lines.insert(lines.end(), text.begin(), text.end());
    garbage.push_back(lines);
    // A RIFF/WAVE header followed by PCM.
    std::vector<uint8_t> wave = {'R', 'I', 'F', 'F', 0, 0, 1, 0, 'W', 'A', 'V', 'E'};
    for (int i = 0; i < 20000; ++i) wave.push_back(static_cast<uint8_t>(i * 7));
    garbage.push_back(wave);
    // An ID3v2 tag that claims more bytes than there are, and nothing after it.
    garbage.push_back({'I', 'D', '3', 4, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F});
    for (uint32_t seed = 1; seed <= 20; ++seed) {
        std::mt19937 random(seed);
        std::vector<uint8_t> noise(4096 + seed * 1000);
        for (auto& byte : noise) byte = static_cast<uint8_t>(random());
        garbage.push_back(noise);
    }
    for (size_t i = 0; i < garbage.size(); ++i) {
        std::vector<uint8_t> pcm;
        EXPECT_EQ(DecodeExact(garbage[i], &pcm), DecodeStatus::kNotMpeg) << "case " << i;
        EXPECT_TRUE(pcm.empty()) << "case " << i;
    }
}

int16_t SampleAt(const std::vector<uint8_t>& pcm, size_t stereoSample, int channel) {
    size_t i = stereoSample * 4 + static_cast<size_t>(channel) * 2;
    return static_cast<int16_t>(pcm[i] | pcm[i + 1] << 8);
}

TEST(AudioDecode, EveryFrameDecodesToItsFullLength) {
    for (size_t samples : {1152u, 44100u, 100000u, 44100u * 3}) {
        std::vector<uint8_t> mp3 = mp3enc::EncodeTone(samples);
        std::vector<uint8_t> pcm;
        ASSERT_EQ(DecodeExact(mp3, &pcm), DecodeStatus::kOk) << samples;
        EXPECT_EQ(pcm.size(), mp3enc::FrameCount(samples) * 1152 * 4) << samples;
    }
}

TEST(AudioDecode, SamplesComeOutInPlaceAndInTheirChannels) {
    // Left: a 1 kHz sine; right: silence. After the codec delay, decoded sample n is sample n.
    const size_t samples = 44100;
    std::vector<int16_t> input(samples * 2, 0);
    for (size_t n = 0; n < samples; ++n) {
        input[n * 2] =
            static_cast<int16_t>(std::lround(12000 * std::sin(2 * M_PI * 1000 * n / 44100.0)));
    }
    std::vector<uint8_t> pcm;
    ASSERT_EQ(DecodeExact(mp3enc::EncodeStereo(input), &pcm), DecodeStatus::kOk);
    ASSERT_GE(pcm.size() / 4, samples + mp3enc::kCodecDelay);

    double error = 0, right = 0;
    const size_t from = 2000, to = 40000;
    for (size_t n = from; n < to; ++n) {
        error += std::abs(SampleAt(pcm, n + mp3enc::kCodecDelay, 0) - input[n * 2]);
        right += std::abs(SampleAt(pcm, n + mp3enc::kCodecDelay, 1));
    }
    // Mean error against a mean magnitude of 7600; one sample early or late gives 1100.
    EXPECT_LT(error / (to - from), 600.0);
    EXPECT_LT(right / (to - from), 50.0);
}

TEST(AudioDecode, TruncatedStreamDecodesTheWholeFramesItHolds) {
    std::vector<uint8_t> mp3 = mp3enc::EncodeTone(44100);
    std::vector<uint8_t> whole;
    ASSERT_EQ(DecodeExact(mp3, &whole), DecodeStatus::kOk);
    // 128 kbit/s at 44.1 kHz: frames of 417 or 418 bytes.
    for (size_t cut : {835u, 1000u, 8000u, 8359u}) {
        std::vector<uint8_t> part(mp3.begin(), mp3.begin() + cut);
        std::vector<uint8_t> pcm;
        ASSERT_EQ(DecodeExact(part, &pcm), DecodeStatus::kOk) << cut;
        EXPECT_GT(pcm.size(), 0u) << cut;
        EXPECT_LE(pcm.size(), whole.size()) << cut;
        EXPECT_EQ(pcm.size() % 4608, 0u) << cut;
        // At least the frames wholly inside the cut, less the one the decoder needs to see the
        // next header of.
        EXPECT_GE(pcm.size() / 4608, cut / 418 - 1) << cut;
        EXPECT_EQ(std::memcmp(pcm.data(), whole.data(), pcm.size()), 0) << cut;
    }
    // Not even one frame and its successor's header: nothing to play.
    std::vector<uint8_t> pcm;
    std::vector<uint8_t> head(mp3.begin(), mp3.begin() + 300);
    EXPECT_EQ(DecodeExact(head, &pcm), DecodeStatus::kNotMpeg);
}

TEST(AudioDecode, SkipsAnId3v2TagAndLeadingJunk) {
    std::vector<uint8_t> mp3 = mp3enc::EncodeTone(44100);
    std::vector<uint8_t> plain;
    ASSERT_EQ(DecodeExact(mp3, &plain), DecodeStatus::kOk);

    // A 10-byte ID3v2 header announcing 10 bytes of tag, then the stream.
    std::vector<uint8_t> tagged(20 + mp3.size(), 0);
    const uint8_t header[10] = {'I', 'D', '3', 4, 0, 0, 0, 0, 0, 10};
    std::copy(header, header + 10, tagged.begin());
    std::copy(mp3.begin(), mp3.end(), tagged.begin() + 20);
    std::vector<uint8_t> pcm;
    ASSERT_EQ(DecodeExact(tagged, &pcm), DecodeStatus::kOk);
    EXPECT_EQ(pcm, plain);

    std::vector<uint8_t> junk(300 + mp3.size(), 'a');
    std::copy(mp3.begin(), mp3.end(), junk.begin() + 300);
    pcm.clear();
    ASSERT_EQ(DecodeExact(junk, &pcm), DecodeStatus::kOk);
    EXPECT_EQ(pcm, plain);
}

}  // namespace
