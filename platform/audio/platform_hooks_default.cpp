// Stand-ins for the platform hooks the audio library uses, for programs and tests linked without
// the headless backend: no headless clock, no injected failures. They are weak, so the platform
// layer's own definitions take their place wherever it provides them.
#include "platform/audio/platform_hooks.h"

namespace platform {

__attribute__((weak)) bool IsHeadless() {
    return false;
}

__attribute__((weak)) uint32_t HeadlessMusicPosition() {
    return 0;
}

__attribute__((weak)) void NotifyMusicStarted() {}

__attribute__((weak)) bool ShouldFail(const char*, int64_t*) {
    return false;
}

}  // namespace platform
