// Tests of the show's music stream, the encoder library and the generator's sound kernels.
#include <gtest/gtest.h>
#include <mpg123.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "dmath.h"
#include "mp3_encode.h"
#include "piece.h"
#include "synth.h"

namespace {

std::vector<std::uint8_t> ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error(std::string("cannot open ") + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Decodes a whole MP3 stream to interleaved 16-bit stereo with libmpg123, no gapless trimming.
std::vector<std::int16_t> Decode(const std::vector<std::uint8_t>& mp3) {
    static const int init = mpg123_init();
    (void)init;
    int error = 0;
    mpg123_handle* handle = mpg123_new(nullptr, &error);
    if (!handle) throw std::runtime_error("mpg123_new failed");
    mpg123_param(handle, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0.0);
    mpg123_param(handle, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    mpg123_format_none(handle);
    mpg123_format(handle, 44100, MPG123_STEREO, MPG123_ENC_SIGNED_16);
    mpg123_open_feed(handle);
    mpg123_feed(handle, mp3.data(), mp3.size());
    std::vector<std::int16_t> pcm;
    std::vector<unsigned char> buffer(1 << 16);
    for (;;) {
        std::size_t done = 0;
        const int result = mpg123_read(handle, buffer.data(), buffer.size(), &done);
        const auto* samples = reinterpret_cast<const std::int16_t*>(buffer.data());
        pcm.insert(pcm.end(), samples, samples + done / 2);
        if (result == MPG123_NEW_FORMAT || (result == MPG123_OK && done > 0)) continue;
        break;
    }
    mpg123_delete(handle);
    return pcm;
}

// What the frame headers of a stream say, walking it frame by frame from byte 0.
struct StreamShape {
    std::size_t frames = 0;
    std::size_t bytesWalked = 0;
    bool allMpeg1Layer3 = true;
    bool all128k = true;
    bool all44100 = true;
    bool allJointStereo = true;
    bool allUnprotected = true;
    bool firstFrameIsTag = false;
};

StreamShape Walk(const std::vector<std::uint8_t>& mp3) {
    StreamShape shape;
    std::size_t at = 0;
    while (at + 4 <= mp3.size()) {
        const std::uint8_t* h = mp3.data() + at;
        if (h[0] != 0xFF || (h[1] & 0xE0) != 0xE0) break;
        const int version = (h[1] >> 3) & 3;  // 3 = MPEG-1
        const int layer = (h[1] >> 1) & 3;    // 1 = Layer III
        const int bitrateIndex = h[2] >> 4;   // 9 = 128 kbit/s in MPEG-1 Layer III
        const int rateIndex = (h[2] >> 2) & 3;
        const int padding = (h[2] >> 1) & 1;
        const int mode = h[3] >> 6;  // 1 = joint stereo
        shape.allMpeg1Layer3 &= version == 3 && layer == 1;
        shape.all128k &= bitrateIndex == 9;
        shape.all44100 &= rateIndex == 0;
        shape.allJointStereo &= mode == 1;
        shape.allUnprotected &= (h[1] & 1) == 1;
        if (!(version == 3 && layer == 1 && bitrateIndex == 9 && rateIndex == 0)) break;
        if (shape.frames == 0) {
            // A Xing/Info tag sits right after the 32 bytes of stereo side information.
            const std::size_t tag = at + 4 + 32;
            shape.firstFrameIsTag =
                tag + 4 <= mp3.size() &&
                (std::memcmp(&mp3[tag], "Xing", 4) == 0 || std::memcmp(&mp3[tag], "Info", 4) == 0);
        }
        at += 144 * 128000 / 44100 + padding;
        ++shape.frames;
    }
    shape.bytesWalked = at;
    return shape;
}

int PeakOf(const std::vector<std::int16_t>& pcm) {
    int peak = 0;
    for (std::int16_t s : pcm) peak = std::max(peak, std::abs(static_cast<int>(s)));
    return peak;
}

// -1 dBFS on the 16-bit scale: 32768 * 10^(-1/20) = 29204.6.
constexpr int kMinusOneDbfs = 29204;

class CommittedMusic : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        mp3_ = new std::vector<std::uint8_t>(ReadFile(MORVANITE_MUSIC_FILE));
    }
    static void TearDownTestSuite() {
        delete mp3_;
        mp3_ = nullptr;
    }
    static std::vector<std::uint8_t>* mp3_;
};
std::vector<std::uint8_t>* CommittedMusic::mp3_ = nullptr;

TEST_F(CommittedMusic, Is5384FramesOf128kJointStereoWithoutTags) {
    const StreamShape shape = Walk(*mp3_);
    EXPECT_EQ(shape.frames, 5384u);
    EXPECT_EQ(shape.bytesWalked, mp3_->size()) << "bytes after the last frame (a trailing tag?)";
    EXPECT_TRUE(shape.allMpeg1Layer3);
    EXPECT_TRUE(shape.all128k);
    EXPECT_TRUE(shape.all44100);
    EXPECT_TRUE(shape.allJointStereo);
    EXPECT_TRUE(shape.allUnprotected);
    EXPECT_FALSE(shape.firstFrameIsTag);
    ASSERT_GE(mp3_->size(), 3u);
    EXPECT_NE(std::memcmp(mp3_->data(), "ID3", 3), 0);
}

TEST_F(CommittedMusic, DecodesToTheShowsLengthWithHeadroom) {
    const std::vector<std::int16_t> pcm = Decode(*mp3_);
    EXPECT_EQ(pcm.size() * 2, 24809472u);
    const int peak = PeakOf(pcm);
    EXPECT_LE(peak, kMinusOneDbfs);
    // Not silence either: the loud parts come within 3 dB of the ceiling.
    EXPECT_GE(peak, 20000);
    // The last 0.04 s are the end of the fade: silence.
    int tail = 0;
    for (std::size_t i = pcm.size() - 2 * 1764; i < pcm.size(); ++i) {
        tail = std::max(tail, std::abs(static_cast<int>(pcm[i])));
    }
    EXPECT_LE(tail, 8);
}

TEST_F(CommittedMusic, DecodedSampleNIsSampleNOfThePiece) {
    // The first 20 s of the piece as rendered, against the same stretch decoded: the best match
    // must be at no shift, and a close one.
    constexpr std::int64_t kLength = 20 * 44100;
    const music::Stereo piece = music::RenderPiece(kLength, 0.7);
    const std::vector<std::int16_t> decoded = Decode(*mp3_);
    auto correlation = [&](int shift) {
        double cross = 0, a = 0, b = 0;
        for (std::int64_t i = 44100; i < kLength - 44100; ++i) {
            const double x = piece.l[i] + piece.r[i];
            const double y = decoded[2 * (i + shift)] + decoded[2 * (i + shift) + 1];
            cross += x * y;
            a += x * x;
            b += y * y;
        }
        return cross / std::sqrt(a * b);
    };
    const double aligned = correlation(0);
    EXPECT_GT(aligned, 0.95);
    for (int shift : {-1105, -576, -529, -2, -1, 1, 2, 529, 576, 1105}) {
        EXPECT_LT(correlation(shift), aligned) << shift;
    }
}

TEST(Mp3Encode, StreamsHaveTheShowsFormAndDecodeToWholeFrames) {
    for (std::size_t samples : {1u, 1152u, 1153u, 4000u, 44100u}) {
        SCOPED_TRACE(samples);
        const std::vector<std::uint8_t> mp3 = mp3enc::EncodeTone(samples);
        const StreamShape shape = Walk(mp3);
        EXPECT_EQ(shape.frames, mp3enc::FrameCount(samples));
        EXPECT_EQ(shape.bytesWalked, mp3.size());
        EXPECT_TRUE(shape.all128k && shape.all44100 && shape.allJointStereo);
        EXPECT_FALSE(shape.firstFrameIsTag);
        EXPECT_EQ(Decode(mp3).size(), 2 * mp3enc::FrameCount(samples) * mp3enc::kSamplesPerFrame);
    }
    // The show's stream: this much input gives 5384 frames.
    EXPECT_EQ(mp3enc::FrameCount(6200460), 5384u);
    EXPECT_EQ(mp3enc::FrameCount(6201216), 5384u);
    EXPECT_EQ(mp3enc::FrameCount(6201217), 5385u);
}

TEST(Mp3Encode, DecodedSoundIsLateByTheCodecDelay) {
    // A click at input sample 5000 on the left only comes out at 5000 + kCodecDelay, still left.
    constexpr std::size_t kSamples = 20000, kClick = 5000;
    std::vector<std::int16_t> pcm(2 * kSamples, 0);
    pcm[2 * kClick] = 24000;
    const std::vector<std::int16_t> out = Decode(mp3enc::EncodeStereo(pcm));
    ASSERT_GE(out.size(), 2 * kSamples);
    std::size_t where = 0;
    int left = 0, right = 0;
    for (std::size_t i = 0; i < out.size() / 2; ++i) {
        if (std::abs(out[2 * i]) > left) {
            left = std::abs(out[2 * i]);
            where = i;
        }
        right = std::max(right, std::abs(static_cast<int>(out[2 * i + 1])));
    }
    EXPECT_EQ(where, kClick + mp3enc::kCodecDelay);
    EXPECT_GT(left, 4 * right);
}

TEST(Mp3Encode, IsRepeatableAndChecksItsInput) {
    EXPECT_EQ(mp3enc::EncodeTone(3000, 1000.0), mp3enc::EncodeTone(3000, 1000.0));
    EXPECT_NE(mp3enc::EncodeTone(3000, 1000.0), mp3enc::EncodeTone(3000, 1100.0));
    const std::vector<std::int16_t> odd(3, 0);
    EXPECT_THROW(mp3enc::EncodeStereo(odd), std::invalid_argument);
}

TEST(Mp3Encode, ToneSurvivesAtItsLevel) {
    const std::vector<std::int16_t> out = Decode(mp3enc::EncodeTone(44100, 440.0, 10000));
    // Past the codec's lead-in, a sine of amplitude 10000 (RMS 7071) comes back in both
    // channels near its level; the coarse quantization at 128 kbit/s costs up to about 1 dB.
    double left = 0, right = 0;
    for (std::size_t i = 4000; i < 40000; ++i) {
        left += static_cast<double>(out[2 * i]) * out[2 * i];
        right += static_cast<double>(out[2 * i + 1]) * out[2 * i + 1];
    }
    EXPECT_NEAR(std::sqrt(left / 36000), 7071, 700);
    EXPECT_NEAR(std::sqrt(right / 36000), 7071, 700);
}

TEST(MusicMath, MatchesTheLibraryFunctions) {
    using namespace music::dmath;
    for (double x = -40.0; x <= 40.0; x += 0.137) {
        EXPECT_NEAR(Sin(x), std::sin(x), 1e-11) << x;
        EXPECT_NEAR(Cos(x), std::cos(x), 1e-11) << x;
    }
    for (double x = -30.0; x <= 30.0; x += 0.173) {
        EXPECT_NEAR(Exp(x) / std::exp(x), 1.0, 1e-14) << x;
    }
    EXPECT_EQ(Exp(-800.0), 0.0);
    EXPECT_NEAR(NoteHz(69), 440.0, 1e-9);
    EXPECT_NEAR(NoteHz(57), 220.0, 1e-9);
    EXPECT_NEAR(NoteHz(60), 261.6255653, 1e-6);
    EXPECT_EQ(Round(2.5), 3);
    EXPECT_EQ(Round(-2.5), -3);
    EXPECT_EQ(Round(-2.4), -2);
    // Soft clipping is odd, continuous at its knee and never beyond full scale.
    EXPECT_DOUBLE_EQ(SoftClip(-0.7), -SoftClip(0.7));
    EXPECT_NEAR(SoftClip(2.999999), 1.0, 1e-6);
    EXPECT_EQ(SoftClip(50.0), 1.0);
    EXPECT_NEAR(SoftClip(0.01), 0.01, 1e-5);
}

TEST(MusicHarmony, DiatonicStepsStayInAMinor) {
    // Thirds below the theme's notes: E5 -> C5, A5 -> F5, C5 -> A4, B4 -> G4, F5 -> D5.
    EXPECT_EQ(music::Diatonic(76, -2), 72);
    EXPECT_EQ(music::Diatonic(81, -2), 77);
    EXPECT_EQ(music::Diatonic(72, -2), 69);
    EXPECT_EQ(music::Diatonic(71, -2), 67);
    EXPECT_EQ(music::Diatonic(77, -2), 74);
    // Across the octave line at A, upwards, and far from it.
    EXPECT_EQ(music::Diatonic(69, -1), 67);
    EXPECT_EQ(music::Diatonic(67, 1), 69);
    EXPECT_EQ(music::Diatonic(69, 7), 81);
    EXPECT_EQ(music::Diatonic(33, -9), 17);
    // A note outside the scale counts as the scale note below: G#4 -> G4 -> E4.
    EXPECT_EQ(music::Diatonic(68, -2), 64);
}

TEST(MusicSynth, FilterPassesLowsAndStopsHighs) {
    auto gainAt = [](double hz) {
        music::Svf filter;
        filter.Set(1000, 0.7071);
        double peak = 0;
        for (int i = 0; i < 44100; ++i) {
            const double y = filter.Run(music::SineCycles(hz * i / music::kRate)).low;
            if (i > 22050) peak = std::max(peak, std::abs(y));
        }
        return peak;
    };
    EXPECT_NEAR(gainAt(100), 1.0, 0.02);
    EXPECT_NEAR(gainAt(1000), 0.7071, 0.02);
    EXPECT_LT(gainAt(8000), 0.02);
}

TEST(MusicSynth, LimiterHoldsTheCeilingAndLeavesQuietSoundAlone) {
    music::Stereo sound(20000);
    for (std::size_t i = 0; i < sound.size(); ++i) {
        const double s = music::SineCycles(220.0 * i / music::kRate);
        sound.l[i] = 0.3 * s;
        sound.r[i] = -0.3 * s;
    }
    // A burst at three times the ceiling in the middle, right channel only.
    for (std::size_t i = 10000; i < 10300; ++i) sound.r[i] = 2.4;
    const music::Stereo before = sound;
    music::Limit(sound, 0.8, 110, 0.25);
    double peak = 0;
    for (std::size_t i = 0; i < sound.size(); ++i) {
        peak = std::max(peak, std::max(std::abs(sound.l[i]), std::abs(sound.r[i])));
    }
    EXPECT_LE(peak, 0.8 + 1e-12);
    EXPECT_NEAR(sound.r[10150], 0.8, 1e-9);
    // Both channels move together, and far from the burst nothing changed.
    EXPECT_NEAR(sound.l[10150] / before.l[10150], sound.r[10150] / before.r[10150], 1e-12);
    for (std::size_t i : {100u, 5000u, 9700u}) EXPECT_EQ(sound.l[i], before.l[i]) << i;
}

}  // namespace
