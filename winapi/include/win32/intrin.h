// Compiler intrinsics stand-in: the processor identification instruction, as MSVC names it.
#pragma once

// Executes CPUID with the given function into info[0..3] = EAX, EBX, ECX, EDX.
void __cpuid(int info[4], int function);
