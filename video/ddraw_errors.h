// Texts of DirectDraw failures and the error box that shows them.
#pragma once

#include <ddraw.h>

#include <span>

// A DirectDraw result code: its value, its name ("DDERR_SURFACELOST") and its fixed English text
// (null for a code without one).
struct DirectDrawResult {
    HRESULT code;
    const char* name;
    const char* text;
};

// Every result code the program knows, DD_OK first.
std::span<const DirectDrawResult> DirectDrawResults();

// The fixed English text of a DirectDraw result code; "Unrecognized error value." for codes
// outside the table. Never null.
const char* DirectDrawErrorText(HRESULT code);

// Shows "Error: <text>\n(Codigo de error: <code>)" in a modal box titled "Error!".
void ReportDirectDrawError(HWND window, HRESULT code);
