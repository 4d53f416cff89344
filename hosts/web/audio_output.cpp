// The audio library's sound output on the page: an AudioContext at 44100 Hz whose script node
// asks the library for audio on the page's thread, 4096 stereo samples at a time. The play
// position comes from the audio clock: the bytes of every buffer whose play time has come, and
// of the playing one as far as the context's time has gone into it.
#include <emscripten.h>

#include <vector>

#include "winapi/bass/output.h"

namespace audio {
namespace {

// clang-format off
EM_JS(int, PageOutputOpen, (), { return Morvanite.outputOpen(); });
EM_JS(void, PageOutputClose, (), { Morvanite.outputClose(); });
EM_JS(void, PageOutputRun, (int running), { Morvanite.outputRun(running != 0); });
EM_JS(double, PageOutputPlayed, (), { return Morvanite.outputPlayed(); });
// clang-format on

FillFunction pageFill = nullptr;

// The page's thread runs one thing at a time: the node's requests never meet the library's
// changes, so the lock has nothing to hold off.
class PageOutput final : public Output {
  public:
    ~PageOutput() override {
        PageOutputClose();
        pageFill = nullptr;
    }
    OutputClock Clock() const override { return OutputClock::kPlayedBytes; }
    void Start() override { PageOutputRun(1); }
    void Stop() override { PageOutputRun(0); }
    void Lock() override {}
    void Unlock() override {}
    uint64_t PlayedBytes() override { return (uint64_t)PageOutputPlayed(); }
};

}  // namespace

std::unique_ptr<Output> OpenOutput(const OutputRequest& request, std::string* reason) {
    if (!PageOutputOpen()) {
        *reason = "the browser has no Web Audio";
        return nullptr;
    }
    pageFill = request.fill;
    return std::make_unique<PageOutput>();
}

}  // namespace audio

// The script node's request: the next `bytes` bytes of audio, in a buffer of this side's.
extern "C" EMSCRIPTEN_KEEPALIVE const uint8_t* morvanite_fill_audio(uint32_t bytes) {
    static std::vector<uint8_t> buffer;
    buffer.assign(bytes, 0);
    if (audio::pageFill != nullptr) audio::pageFill(buffer.data(), bytes);
    return buffer.data();
}
