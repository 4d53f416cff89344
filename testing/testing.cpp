// Test support: resetting every stand-in between tests.
#include "testing/testing.h"

namespace testkit {

void UseHeadlessWithFailures() {
    hosts::UseHeadless();
    InstallFailureInjection();
    hosts::SetClockObserver(SetFailureClock);
}

void ResetPlatform() {
    hosts::ResetHeadless();
    UseHeadlessWithFailures();
    winapi::ResetMessages();
    ResetFailures();
    winapi::ForgetRegisteredResources();
    winapi::ForgetDisplay();
}

}  // namespace testkit
