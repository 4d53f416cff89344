// Failure injection: makes the N-th call of a named platform function fail on purpose, so that
// tests can walk every failure path of the program.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace platform {

// Counts one call of the platform function `name`. Returns true when this call is to fail; then
// *code holds the code to fail with: the one the failure was armed with, or, when it was armed
// without one, the value the caller put in *code beforehand (its usual failure).
bool ShouldFail(const char* name, int64_t* code);

// Arms a failure from its textual form NAME[@N|@tT][xK][=CODE]: the N-th call (from 1; default
// 1) of NAME fails, or with @tT the first call made once the program has read the show's clock
// at script time T or later; xK makes K calls in a row fail from there (default 1). The code is
// CODE, a number (decimal or 0x hexadecimal) or a DDERR_/BASS_ERROR_ name. Returns false, with a
// reason in *error, when the text can't be read.
bool ArmFailure(const std::string& request, std::string* error);

// The show's clock as the program read it last, in script time units; -1 before the first read.
// Failures armed with @tT wait for it.
void SetFailureClock(int64_t scriptTime);

// How many times each counted function has been called so far, by name.
std::map<std::string, int64_t> CountedCalls();

// Forgets every armed failure and every call count; the clock goes back to -1.
void ResetFailures();

// The value of a result-code name (DD_OK, DDERR_..., BASS_ERROR_...); false when unknown.
bool LookUpResultCode(const std::string& name, int64_t* value);

}  // namespace platform
