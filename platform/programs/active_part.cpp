// The active part's class name from its run-time type.
#include "platform/programs/active_part.h"

#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#include <typeinfo>

#include "runtime/script.h"

namespace platform {

std::string ActivePartName() {
    if (Parte_activa == nullptr) return "-";
    const char* mangled = typeid(*Parte_activa).name();
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(
        abi::__cxa_demangle(mangled, nullptr, nullptr, &status), std::free);
    return status == 0 && name ? std::string(name.get()) : std::string(mangled);
}

}  // namespace platform
