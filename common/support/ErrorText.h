// The description of a failure, as the error records and dialogs show it,
// in UTF-16 as the failing call gave it.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "com/ComError.h"
#include "g_modDebug.h"

// The description of the failure a call just returned: its error
// information if it left one, else the system's text for the code.
std::wstring ErrorText(HRESULT hr);

// Throws a failed call's result as a com::ComError with the description the
// call left, taken at once: a failure carries its own description to
// whoever reports it, whatever the thread holds by then.
void Check(HRESULT hr);

// The description of a caught failure: its own, else the system's text for
// its code (never the thread's error information, which may be stale).
std::wstring FailureText(const com::ComError& failure);

// ReportError for a caught failure: its number and FailureText.
void ReportCaught(LogText sProc, const com::ComError& failure, bool bNoDialog) noexcept;
