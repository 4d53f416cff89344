// Windows heap stand-ins over the C library's allocator: GetProcessHeap, HeapAlloc, HeapFree.
// HeapAlloc counts its calls for failure injection (`--fail HeapAlloc@N` refuses the N-th).
// Left out: private heaps (HeapCreate), HeapReAlloc, HeapSize, exceptions on failure.
#include <windows.h>

#include <cstdlib>

#include "winapi/calls.h"

namespace {
// The one heap there is: any non-null handle.
int processHeapToken;
}  // namespace

HANDLE WINAPI GetProcessHeap(void) {
    return &processHeapToken;
}

LPVOID WINAPI HeapAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
    int64_t unused = 0;
    if (winapi::CallFails(winapi::Call::kHeapAlloc, &unused)) return nullptr;
    if (heap != &processHeapToken) return nullptr;
    // A block of 0 bytes is a valid, distinct block, as on Windows.
    const size_t size = bytes != 0 ? bytes : 1;
    return (flags & HEAP_ZERO_MEMORY) ? std::calloc(1, size) : std::malloc(size);
}

BOOL WINAPI HeapFree(HANDLE heap, DWORD, LPVOID memory) {
    if (heap != &processHeapToken) return FALSE;
    std::free(memory);
    return TRUE;
}
