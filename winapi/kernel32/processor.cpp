// Processor stand-ins: GetSystemInfo reports a Pentium-class machine (a 486 when the failure
// "CheckProcessor" is armed); __cpuid runs the real CPUID instruction.
#include <intrin.h>
#include <windows.h>

#include <cstring>

#include "winapi/calls.h"

void WINAPI GetSystemInfo(LPSYSTEM_INFO systemInfo) {
    if (systemInfo == nullptr) return;
    std::memset(systemInfo, 0, sizeof *systemInfo);
    systemInfo->wProcessorArchitecture = 0;  // PROCESSOR_ARCHITECTURE_INTEL
    systemInfo->dwPageSize = 4096;
    systemInfo->lpMinimumApplicationAddress = reinterpret_cast<LPVOID>(0x10000);
    systemInfo->lpMaximumApplicationAddress = reinterpret_cast<LPVOID>(0x7FFEFFFF);
    systemInfo->dwActiveProcessorMask = 1;
    systemInfo->dwNumberOfProcessors = 1;
    systemInfo->dwProcessorType = PROCESSOR_INTEL_PENTIUM;
    systemInfo->dwAllocationGranularity = 65536;
    systemInfo->wProcessorLevel = 5;
    int64_t unused = 0;
    if (winapi::CallFails(winapi::Call::kCheckProcessor, &unused)) {
        systemInfo->dwProcessorType = PROCESSOR_INTEL_486;
        systemInfo->wProcessorLevel = 4;
    }
}

void __cpuid(int info[4], int function) {
#if defined(__x86_64__) || defined(__i386__)
    unsigned int eax = 0, ebx = 0, ecx = 0, edx = 0;
    __asm__ volatile("cpuid" : "=a"(eax), "=b"(ebx), "=c"(ecx), "=d"(edx) : "a"(function), "c"(0));
    info[0] = (int)eax;
    info[1] = (int)ebx;
    info[2] = (int)ecx;
    info[3] = (int)edx;
#else
    // No CPUID here: answer as a Pentium with MMX (family 5, EDX bit 23).
    info[0] = function == 0 ? 1 : 0x543;
    info[1] = info[2] = 0;
    info[3] = function == 1 ? (1 << 23) : 0;
#endif
}
