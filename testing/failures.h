// Failure injection: makes the N-th call of one of the stand-ins' counted calls fail on purpose,
// so that tests and the headless renderer can walk every failure path of the program.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "winapi/calls.h"

namespace testkit {

// Makes the stand-ins ask this injector at every counted call.
void InstallFailureInjection();

// Counts one call of `call`. Returns true when this call is to fail; then *code holds the code to
// fail with: the one the failure was armed with, or, when it was armed without one, the value the
// caller put in *code beforehand (its usual failure).
bool ShouldFail(winapi::Call call, int64_t* code);

// Arms a failure from its textual form NAME[@N|@tT][xK][=CODE]: the N-th call (from 1; default
// 1) of NAME fails, or with @tT the first call made once the program has read the show's clock
// at script time T or later; xK makes K calls in a row fail from there (default 1). The code is
// CODE, a number (decimal or 0x hexadecimal) or a DD_/DDERR_/BASS_ name. Returns false, with a
// reason in *error, when the text can't be read or NAME is not a counted call.
bool ArmFailure(const std::string& request, std::string* error);

// The show's clock as the program read it last, in script time units; -1 before the first read.
// Failures armed with @tT wait for it.
void SetFailureClock(int64_t scriptTime);

// How many times each counted call has been made so far, by name; calls never made are left out.
std::map<std::string, int64_t> CountedCalls();

// Forgets every armed failure and every call count; the clock goes back to -1.
void ResetFailures();

// The value of a result-code name (DD_OK, DDERR_..., BASS_OK, BASS_ERROR_...); false when
// unknown.
bool LookUpResultCode(const std::string& name, int64_t* value);

}  // namespace testkit
