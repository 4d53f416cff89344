// libFuzzer target: any bytes as the music, through the audio library stand-in (a stream created
// from memory, played, its position read, freed), through the MPEG audio decoder on its own and
// through the frame walker that feeds frame-based decoders, under AddressSanitizer and
// UndefinedBehaviorSanitizer.
#include <bass.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

#include "winapi/bass/decoder.h"
#include "hosts/common/mpeg_frames.h"

namespace {

// Bytes the decoder must append after, never touch.
constexpr std::array<uint8_t, 3> kAlreadyThere = {0xA5, 0x5A, 0xC3};

// One stereo frame of 16-bit samples.
constexpr size_t kSampleBytes = 4;

// libmpg123 is a system library without coverage instrumentation, so the fuzzer can't see what
// the decoder made of an input. Each outcome (the status, and the decoded length in powers of
// two) calls a function of its own here, which the fuzzer does see.
constexpr size_t kLengthClasses = 40;
constexpr size_t kStatuses = 5;

template <size_t N>
[[gnu::noinline]] void Outcome() {
    asm volatile("" ::: "memory");
}

template <size_t... N>
constexpr std::array<void (*)(), sizeof...(N)> OutcomeTable(std::index_sequence<N...>) {
    return {&Outcome<N>...};
}

constexpr auto kOutcomes = OutcomeTable(std::make_index_sequence<kStatuses * kLengthClasses>());

void Note(audio::DecodeStatus status, size_t bytes) {
    const size_t length = std::min<size_t>(std::bit_width(bytes), kLengthClasses - 1);
    kOutcomes[static_cast<size_t>(status) * kLengthClasses + length]();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Device 0: no sound, so no audio device is opened; the clock is monotonic time.
    if (!BASS_Init(0, 44100, 0, nullptr) || !BASS_Start()) __builtin_trap();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return 0;
    static const uint8_t kNothing = 0;
    const uint8_t* bytes = size ? data : &kNothing;

    // The decoder appends, and on failure leaves what was there as it was.
    std::vector<uint8_t> pcm(kAlreadyThere.begin(), kAlreadyThere.end());
    const audio::DecodeStatus status = audio::DecodeMpegAudio({bytes, size}, &pcm);
    if (!std::equal(kAlreadyThere.begin(), kAlreadyThere.end(), pcm.begin())) __builtin_trap();
    const size_t decoded = pcm.size() - kAlreadyThere.size();
    if (status != audio::DecodeStatus::kOk && decoded != 0) __builtin_trap();
    if (decoded % kSampleBytes != 0) __builtin_trap();
    Note(status, decoded);

    // The frame walker: whole frames of the first one's kind, in order, inside the bytes.
    audio::MpegFrames found;
    if (audio::FindMpegFrames({bytes, size}, &found)) {
        const uint8_t* after = bytes;
        for (std::span<const uint8_t> frame : found.frames) {
            if (frame.data() < after || frame.size() < 4 || frame.size() > size ||
                frame.data() + frame.size() > bytes + size) {
                __builtin_trap();
            }
            audio::MpegFrameHeader header;
            if (!audio::ReadMpegFrameHeader(frame.data(), &header) || header.size != frame.size() ||
                header.version != found.first.version || header.layer != found.first.layer ||
                header.sampleRate != found.first.sampleRate ||
                header.channels != found.first.channels) {
                __builtin_trap();
            }
            after = frame.data() + frame.size();
        }
    }

    // The library decodes the same bytes the same way: a stream exactly when the decoder took
    // them, with an error code otherwise.
    const HSTREAM stream =
        BASS_StreamCreateFile(TRUE, const_cast<uint8_t*>(bytes), 0, static_cast<DWORD>(size), 0);
    if ((stream != 0) != (status == audio::DecodeStatus::kOk)) __builtin_trap();
    if (stream == 0) {
        if (BASS_ErrorGetCode() == BASS_OK) __builtin_trap();
        return 0;
    }
    if (BASS_ErrorGetCode() != BASS_OK) __builtin_trap();
    if (!BASS_StreamPlay(stream, FALSE, 0)) __builtin_trap();
    if (BASS_ChannelGetPosition(stream) == DWORD(-1)) __builtin_trap();
    BASS_StreamFree(stream);
    if (BASS_ErrorGetCode() != BASS_OK) __builtin_trap();
    // A freed handle is no stream any more.
    if (BASS_ChannelGetPosition(stream) != DWORD(-1) || BASS_ErrorGetCode() != BASS_ERROR_HANDLE) {
        __builtin_trap();
    }
    return 0;
}
