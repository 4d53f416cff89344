// Test support: resetting every stand-in between tests.
#include "platform/testing.h"

namespace platform::testing {

void ResetPlatform() {
    SetBackend(&HeadlessBackend());
    ResetHeadless();
    ResetMessages();
    ResetFailures();
    ForgetRegisteredResources();
    ForgetMessageBoxes();
    CaptureTrace(false);
    ForgetDisplay();
}

}  // namespace platform::testing
