// How every component that keeps a log reports what goes wrong, and its one
// guard for the code that Windows or a COM caller runs: event handlers and
// window, hook, timer and subclass procedures. Inside Outlook nothing may
// leave such a function by an exception (it would end Outlook), so each
// runs its body in RunReported, RunAnswered or RunReportedHr:
//  - a com::ComError, std::bad_alloc or any other exception ends the body;
//  - the failure becomes one Error record under the procedure's name, with
//    the failure's own number and description (E_OUTOFMEMORY for a failed
//    allocation, E_UNEXPECTED for anything else), and no dialog;
//  - the caller gets the failure's HRESULT or the answer it asked for.
// The records:
//  - Warn: an expected problem, the Warning record "message, source, code 0,
//    description unknown"; WarnError and Inform the same short record as
//    an Error and as an Information;
//  - ReportFailure: an unexpected failure of an operation, the detailed
//    Error record of ReportError, no dialog.
// COM methods keep the kit's Guard (common/com/ComObject.h), which also
// sets the caller's error information; RunSkipped (Guarded.h) is for
// steps whose failure is not worth a record.
#pragma once

#include <windows.h>

#include <string_view>
#include <utility>

#include "Guarded.h"
#include "com/ComError.h"
#include "g_modDebug.h"

// The Warning record: code 0, description "unknown".
void Warn(LogText sMessage, LogText sSource) noexcept;
// The same short record at the Error and at the Information level.
void WarnError(LogText sMessage, LogText sSource) noexcept;
void Inform(LogText sMessage, LogText sSource) noexcept;

// The Error record of a failure of the operation sProc, no dialog.
void ReportFailure(LogText sProc, long lNumber, LogText sDescription) noexcept;
void ReportFailure(LogText sProc, const com::ComError& failure) noexcept;
// ... of a call that has just returned hr: with the error information the
// call left, else the system's text for the code.
void ReportFailure(LogText sProc, HRESULT hr) noexcept;

// The guard of an event handler and of the logged steps of an operation: a
// failure that ends the steps is logged under sProc as an Error record
// with its own number and description.
template <class Steps>
void RunReported(std::string_view sProc, Steps&& steps) noexcept
{
    RunGuarded(std::forward<Steps>(steps), [sProc](const com::ComError& e) noexcept { ReportFailure(sProc, e); });
}

// The guard of a procedure that answers its caller (a window, hook or
// subclass procedure): the body's answer, or rFailed when the body fails
// (logged as in RunReported). R is a plain value (LRESULT, BOOL, ...).
template <class R, class Body>
R RunAnswered(std::string_view sProc, R rFailed, Body&& body) noexcept
{
    R rAnswer = rFailed;
    RunReported(sProc, [&] { rAnswer = body(); });
    return rAnswer;
}

// The guard of a handler that answers with an HRESULT, like WIL's
// CATCH_RETURN plus a record: the body's HRESULT, or the failure's.
template <class Body>
HRESULT RunReportedHr(std::string_view sProc, Body&& body) noexcept
{
    HRESULT hr = E_UNEXPECTED;
    RunGuarded([&] { hr = body(); },
               [&hr, sProc](const com::ComError& e) noexcept {
                   hr = e.hr();
                   ReportFailure(sProc, e);
               });
    return hr;
}
