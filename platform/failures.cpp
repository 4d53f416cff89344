// Failure injection for the headless runs: armed from the command line or by tests, counted by
// the stand-ins at each call of a named function.
#include "platform/failures.h"

#include <bass.h>
#include <ddraw.h>

#include <cerrno>
#include <cstdlib>
#include <map>
#include <vector>

namespace platform {
namespace {

struct ArmedFailure {
    std::string name;
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

std::map<std::string, int64_t>& CallCounts() {
    static std::map<std::string, int64_t> counts;
    return counts;
}

int64_t failureClock = -1;

struct NamedCode {
    const char* name;
    int64_t value;
};

#define CODE(name) \
    { #name, (int64_t)(name) }
const NamedCode kResultCodes[] = {
    CODE(DD_OK),
    CODE(DDERR_UNSUPPORTED),
    CODE(DDERR_GENERIC),
    CODE(DDERR_OUTOFMEMORY),
    CODE(DDERR_INVALIDPARAMS),
    CODE(DDERR_ALREADYINITIALIZED),
    CODE(DDERR_CANNOTATTACHSURFACE),
    CODE(DDERR_CANNOTDETACHSURFACE),
    CODE(DDERR_CURRENTLYNOTAVAIL),
    CODE(DDERR_EXCEPTION),
    CODE(DDERR_HEIGHTALIGN),
    CODE(DDERR_INCOMPATIBLEPRIMARY),
    CODE(DDERR_INVALIDCAPS),
    CODE(DDERR_INVALIDCLIPLIST),
    CODE(DDERR_INVALIDMODE),
    CODE(DDERR_INVALIDOBJECT),
    CODE(DDERR_INVALIDPIXELFORMAT),
    CODE(DDERR_INVALIDRECT),
    CODE(DDERR_LOCKEDSURFACES),
    CODE(DDERR_NO3D),
    CODE(DDERR_NOALPHAHW),
    CODE(DDERR_NOCLIPLIST),
    CODE(DDERR_NOCOLORCONVHW),
    CODE(DDERR_NOCOOPERATIVELEVELSET),
    CODE(DDERR_NOCOLORKEY),
    CODE(DDERR_NOCOLORKEYHW),
    CODE(DDERR_NOEXCLUSIVEMODE),
    CODE(DDERR_NOFLIPHW),
    CODE(DDERR_NOGDI),
    CODE(DDERR_NOMIRRORHW),
    CODE(DDERR_NOTFOUND),
    CODE(DDERR_NOOVERLAYHW),
    CODE(DDERR_NORASTEROPHW),
    CODE(DDERR_NOROTATIONHW),
    CODE(DDERR_NOSTRETCHHW),
    CODE(DDERR_NOT4BITCOLOR),
    CODE(DDERR_NOT4BITCOLORINDEX),
    CODE(DDERR_NOT8BITCOLOR),
    CODE(DDERR_NOTEXTUREHW),
    CODE(DDERR_NOVSYNCHW),
    CODE(DDERR_NOZBUFFERHW),
    CODE(DDERR_NOZOVERLAYHW),
    CODE(DDERR_OUTOFCAPS),
    CODE(DDERR_OUTOFVIDEOMEMORY),
    CODE(DDERR_OVERLAYCANTCLIP),
    CODE(DDERR_OVERLAYCOLORKEYONLYONEACTIVE),
    CODE(DDERR_PALETTEBUSY),
    CODE(DDERR_COLORKEYNOTSET),
    CODE(DDERR_SURFACEALREADYATTACHED),
    CODE(DDERR_SURFACEALREADYDEPENDENT),
    CODE(DDERR_SURFACEBUSY),
    CODE(DDERR_SURFACEISOBSCURED),
    CODE(DDERR_SURFACELOST),
    CODE(DDERR_SURFACENOTATTACHED),
    CODE(DDERR_TOOBIGHEIGHT),
    CODE(DDERR_TOOBIGSIZE),
    CODE(DDERR_TOOBIGWIDTH),
    CODE(DDERR_UNSUPPORTEDFORMAT),
    CODE(DDERR_UNSUPPORTEDMASK),
    CODE(DDERR_VERTICALBLANKINPROGRESS),
    CODE(DDERR_WASSTILLDRAWING),
    CODE(DDERR_XALIGN),
    CODE(DDERR_INVALIDDIRECTDRAWGUID),
    CODE(DDERR_DIRECTDRAWALREADYCREATED),
    CODE(DDERR_NODIRECTDRAWHW),
    CODE(DDERR_PRIMARYSURFACEALREADYEXISTS),
    CODE(DDERR_NOEMULATION),
    CODE(DDERR_REGIONTOOSMALL),
    CODE(DDERR_CLIPPERISUSINGHWND),
    CODE(DDERR_NOCLIPPERATTACHED),
    CODE(DDERR_NOHWND),
    CODE(DDERR_HWNDSUBCLASSED),
    CODE(DDERR_HWNDALREADYSET),
    CODE(DDERR_NOPALETTEATTACHED),
    CODE(DDERR_NOPALETTEHW),
    CODE(DDERR_BLTFASTCANTCLIP),
    CODE(DDERR_NOBLTHW),
    CODE(DDERR_NODDROPSHW),
    CODE(DDERR_OVERLAYNOTVISIBLE),
    CODE(DDERR_NOOVERLAYDEST),
    CODE(DDERR_INVALIDPOSITION),
    CODE(DDERR_NOTAOVERLAYSURFACE),
    CODE(DDERR_EXCLUSIVEMODEALREADYSET),
    CODE(DDERR_NOTFLIPPABLE),
    CODE(DDERR_CANTDUPLICATE),
    CODE(DDERR_NOTLOCKED),
    CODE(DDERR_CANTCREATEDC),
    CODE(DDERR_NODC),
    CODE(DDERR_WRONGMODE),
    CODE(DDERR_IMPLICITLYCREATED),
    CODE(DDERR_NOTPALETTIZED),
    CODE(DDERR_UNSUPPORTEDMODE),
    CODE(BASS_OK),
    CODE(BASS_ERROR_MEM),
    CODE(BASS_ERROR_FILEOPEN),
    CODE(BASS_ERROR_DRIVER),
    CODE(BASS_ERROR_HANDLE),
    CODE(BASS_ERROR_FORMAT),
    CODE(BASS_ERROR_INIT),
    CODE(BASS_ERROR_START),
    CODE(BASS_ERROR_ALREADY),
    CODE(BASS_ERROR_DEVICE),
    CODE(BASS_ERROR_UNKNOWN),
};
#undef CODE

// The platform functions that count their calls (besides the audio library's BASS_ calls).
const char* const kFailingFunctions[] = {
    "CheckProcessor",
    "CreateWindowExA",
    "DirectDrawCreateEx",
    "SetCooperativeLevel",
    "SetDisplayMode",
    "CreateSurface",
    "GetAttachedSurface",
    "Lock",
    "Unlock",
    "Flip",
    "Restore",
    "HeapAlloc",
};

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

bool LookUpResultCode(const std::string& name, int64_t* value) {
    for (const NamedCode& entry : kResultCodes) {
        if (name == entry.name) {
            *value = entry.value;
            return true;
        }
    }
    return false;
}

bool ShouldFail(const char* name, int64_t* code) {
    int64_t call = ++CallCounts()[name];
    for (ArmedFailure& failure : Armed()) {
        if (failure.name != name || failure.failed >= failure.times) continue;
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
    ArmedFailure failure{request, 1, -1, 1, 0, false, 0};
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
    failure.name = head.substr(0, at);
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
    bool known = failure.name.rfind("BASS_", 0) == 0;
    for (const char* name : kFailingFunctions) known = known || failure.name == name;
    if (!known) {
        *error = "'" + failure.name + "' is not a function that can be made to fail";
        return false;
    }
    Armed().push_back(failure);
    return true;
}

void SetFailureClock(int64_t scriptTime) {
    failureClock = scriptTime;
}

std::map<std::string, int64_t> CountedCalls() {
    return CallCounts();
}

void ResetFailures() {
    Armed().clear();
    CallCounts().clear();
    failureClock = -1;
}

}  // namespace platform
