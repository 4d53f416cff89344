// Texts of DirectDraw failures and the error box that shows them.
#pragma once

#include <ddraw.h>

// The fixed English text of a DirectDraw result code; "Unrecognized error value." for codes
// outside the table. Never null.
const char* DirectDrawErrorText(HRESULT code);

// Shows "Error: <text>\n(Codigo de error: <code>)" in a modal box titled "Error!".
void ReportDirectDrawError(HWND window, HRESULT code);
