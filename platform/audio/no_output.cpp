// The sound output of builds that have none yet: there is never a device, so the audio library
// plays silently on monotonic time.
#include "platform/audio/output.h"

namespace audio {

std::unique_ptr<Output> OpenOutput(const OutputRequest&, std::string* reason) {
    *reason = "this build has no sound output";
    return nullptr;
}

}  // namespace audio
