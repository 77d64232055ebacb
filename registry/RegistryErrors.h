// The library's failures: an ErrorConstants code with the text of the
// server's string table, or EMessageFromSystem with the system's text.
// They travel as com::ComError up to the interface boundary.
#pragma once

#include <windows.h>

#include <string>

#include "RovaneInterfaces.h"
#include "com/ComError.h"

namespace reg {

// Throws the error code with its string-table text.
[[noreturn]] void Raise(ErrorConstants code);

// Throws EMessageFromSystem with the system's text for a Win32 error code
// (the thread's last error when code is ERROR_SUCCESS).
[[noreturn]] void RaiseSystem(LONG code);

// Throws EMessageFromSystem for a failed HRESULT with the system's text for it.
[[noreturn]] void RaiseSystemHr(HRESULT hr);

// Throws EMessageFromSystem unless rc is ERROR_SUCCESS.
inline void CheckSystem(LONG rc)
{
    if (rc != ERROR_SUCCESS)
        RaiseSystem(rc);
}

// The text that goes with a code, from the server's string table.
std::wstring ErrorText(ErrorConstants code);

} // namespace reg
