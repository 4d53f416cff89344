// The name of what is on screen, for the per-flip hash lines of the headless runs.
#pragma once

#include <string>

namespace platform {

// The class name of the active part (demangled), or "-" when no part is active.
std::string ActivePartName();

}  // namespace platform
