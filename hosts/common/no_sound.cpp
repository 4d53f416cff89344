// The audio library's output for programs that play no sound (the headless renderer): there is
// never a device, so the library plays silently on its own clock, or on the headless host's
// virtual clock where that stands in.
#include "winapi/bass/output.h"

namespace audio {

std::unique_ptr<Output> OpenOutput(const OutputRequest&, std::string* reason) {
    *reason = "this program plays no sound";
    return nullptr;
}

}  // namespace audio
