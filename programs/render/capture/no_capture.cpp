// Video capture for builds without FFmpeg's libraries: there is none, and asking for it says so.
#include "programs/render/capture/capture.h"

namespace capture {

bool Begin(const Settings&, int, int, std::string* error) {
    *error = "this build has no video capture (--video and --wav need the Linux build)";
    return false;
}

void Frame(const uint16_t*, int, int, int, int64_t, int) {}

bool Finish(std::string* error) {
    *error = "this build has no video capture";
    return false;
}

}  // namespace capture
