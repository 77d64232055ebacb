// How the add-in reports what goes wrong. It runs inside Outlook and never
// shows the error dialog; it writes records of two kinds:
//  - Warn: an expected problem, the Warning record "message, source, code 0,
//    description unknown";
//  - ReportFailure: an unexpected failure of an operation, the detailed
//    Error record of ReportError, with the failure's own number and
//    description.
// RunReported is the add-in's one guard for event handlers and for the
// logged steps of its operations: nothing thrown leaves it, and a failure
// that ends the steps becomes one ReportFailure record. (Every COM method
// additionally runs in the kit's Guard, which keeps exceptions from
// crossing the interface.) The steps that report nothing (creation,
// connection and disconnection of the add-in) run in RunSkipped.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "ErrorText.h"
#include "Guarded.h"
#include "com/ComError.h"
#include "g_modDebug.h"

// A failure the add-in reports with a number and description of its own,
// the way the host's automation runtime numbers them.
struct AddinFailure {
    long lNumber;
    const char* sDescription;
};
inline constexpr AddinFailure kInvalidCall{5, "Invalid procedure call or argument"};
inline constexpr AddinFailure kObjectNotSet{91, "Object variable or With block variable not set"};

// The Warning record: code 0, description "unknown".
void Warn(LogText sMessage, LogText sSource) noexcept;

// The Error record of a failure of the operation sProc, no dialog.
void ReportFailure(LogText sProc, long lNumber, LogText sDescription) noexcept;
void ReportFailure(LogText sProc, const AddinFailure& failure) noexcept;
void ReportFailure(LogText sProc, const com::ComError& failure) noexcept;
// ... of a call that has just returned hr: with the error information the
// call left, else the system's text for the code.
void ReportFailure(LogText sProc, HRESULT hr) noexcept;

// The add-in's guard: a failure that ends the steps is logged under sProc
// as an Error record with its own number and description.
template <class Steps>
void RunReported(std::string_view sProc, Steps&& steps) noexcept
{
    RunGuarded(std::forward<Steps>(steps), [sProc](const com::ComError& e) noexcept { ReportFailure(sProc, e); });
}
