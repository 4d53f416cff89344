// Failure injection for the headless runs: armed from the command line or by tests, asked by the
// stand-ins at each counted call.
#include "testing/failures.h"

#include <bass.h>
#include <ddraw.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <vector>

#include "video/ddraw_errors.h"

namespace testkit {
namespace {

struct ArmedFailure {
    winapi::Call which;
    int64_t call;      // first failing call, from 1; unused when armed by time
    int64_t fromTime;  // first script time of the failing calls; -1: armed by call number
    int64_t times;     // calls in a row that fail
    int64_t failed;    // calls failed so far
    bool hasCode;
    int64_t code;
};

std::vector<ArmedFailure>& Armed() {
    static std::vector<ArmedFailure> armed;
    return armed;
}

std::array<int64_t, winapi::kCallCount> callCounts{};

int64_t failureClock = -1;

struct NamedCode {
    const char* name;
    int64_t value;
};

#define CODE(name) \
    { #name, (int64_t)(name) }
const NamedCode kBassCodes[] = {
    CODE(BASS_OK),           CODE(BASS_ERROR_MEM),     CODE(BASS_ERROR_FILEOPEN),
    CODE(BASS_ERROR_DRIVER), CODE(BASS_ERROR_HANDLE),  CODE(BASS_ERROR_FORMAT),
    CODE(BASS_ERROR_INIT),   CODE(BASS_ERROR_START),   CODE(BASS_ERROR_ALREADY),
    CODE(BASS_ERROR_DEVICE), CODE(BASS_ERROR_UNKNOWN),
};
#undef CODE

// Reads a whole signed decimal or 0x-hexadecimal number.
bool ParseNumber(const std::string& text, int64_t* value) {
    if (text.empty()) return false;
    const char* start = text.c_str();
    bool negative = false;
    if (*start == '-' || *start == '+') {
        negative = *start == '-';
        ++start;
    }
    if (*start == '\0' || *start == '-' || *start == '+') return false;
    int base = 10;
    if (start[0] == '0' && (start[1] == 'x' || start[1] == 'X')) {
        base = 16;
        start += 2;
    }
    char* end = nullptr;
    errno = 0;
    unsigned long long magnitude = std::strtoull(start, &end, base);
    if (end == start || *end != '\0' || errno != 0) return false;
    if (magnitude > 0xFFFFFFFFull) return false;
    *value = negative ? -(int64_t)magnitude : (int64_t)magnitude;
    // 0x88760078 and friends are 32-bit results: read them as the signed HRESULT they are.
    if (base == 16 && !negative) *value = (int32_t)(uint32_t)magnitude;
    return true;
}

}  // namespace

void InstallFailureInjection() {
    winapi::SetCallProbe(ShouldFail);
}

bool LookUpResultCode(const std::string& name, int64_t* value) {
    for (const DirectDrawResult& row : DirectDrawResults()) {
        if (name == row.name) {
            *value = row.code;
            return true;
        }
    }
    for (const NamedCode& entry : kBassCodes) {
        if (name == entry.name) {
            *value = entry.value;
            return true;
        }
    }
    return false;
}

bool ShouldFail(winapi::Call which, int64_t* code) {
    int64_t call = ++callCounts[static_cast<int>(which)];
    for (ArmedFailure& failure : Armed()) {
        if (failure.which != which || failure.failed >= failure.times) continue;
        bool due = failure.fromTime >= 0
                       ? failureClock >= failure.fromTime
                       : call >= failure.call && call < failure.call + failure.times;
        if (!due) continue;
        ++failure.failed;
        if (failure.hasCode) *code = failure.code;
        return true;
    }
    return false;
}

bool ArmFailure(const std::string& request, std::string* error) {
    ArmedFailure failure{winapi::Call::kLock, 1, -1, 1, 0, false, 0};
    size_t equals = request.find('=');
    std::string head = request.substr(0, equals);
    if (equals != std::string::npos) {
        std::string codeText = request.substr(equals + 1);
        if (!LookUpResultCode(codeText, &failure.code) && !ParseNumber(codeText, &failure.code)) {
            *error = "unknown result code '" + codeText + "'";
            return false;
        }
        failure.hasCode = true;
    }
    size_t repeat =
        head.find('x', head.find('@') == std::string::npos ? head.size() : head.find('@'));
    if (repeat != std::string::npos) {
        if (!ParseNumber(head.substr(repeat + 1), &failure.times) || failure.times < 1) {
            *error = "the repeat count in '" + request + "' must be 1 or more";
            return false;
        }
        head.resize(repeat);
    }
    size_t at = head.find('@');
    std::string name = head.substr(0, at);
    if (at != std::string::npos) {
        std::string when = head.substr(at + 1);
        bool byTime = !when.empty() && when[0] == 't';
        int64_t number = 0;
        if (!ParseNumber(byTime ? when.substr(1) : when, &number) || number < (byTime ? 0 : 1)) {
            *error = byTime ? "the time in '" + request + "' must be 0 or more"
                            : "the call number in '" + request + "' must be 1 or more";
            return false;
        }
        if (byTime) {
            failure.fromTime = number;
        } else {
            failure.call = number;
        }
    }
    bool known = false;
    for (int index = 0; index < winapi::kCallCount && !known; ++index) {
        failure.which = static_cast<winapi::Call>(index);
        known = name == winapi::CallName(failure.which);
    }
    if (!known) {
        *error = "'" + name + "' is not a function that can be made to fail";
        return false;
    }
    Armed().push_back(failure);
    return true;
}

void SetFailureClock(int64_t scriptTime) {
    failureClock = scriptTime;
}

std::map<std::string, int64_t> CountedCalls() {
    std::map<std::string, int64_t> counts;
    for (int index = 0; index < winapi::kCallCount; ++index) {
        if (callCounts[index] != 0)
            counts[winapi::CallName(static_cast<winapi::Call>(index))] = callCounts[index];
    }
    return counts;
}

void ResetFailures() {
    Armed().clear();
    callCounts.fill(0);
    failureClock = -1;
}

}  // namespace testkit
