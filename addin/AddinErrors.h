// How the add-in reports what goes wrong. It runs inside Outlook and never
// shows the error dialog; it writes the records of every component
// (Reported.h): Warn for an expected problem, ReportFailure for an
// unexpected failure of an operation. RunReported is its one guard for
// event handlers and for the logged steps of its operations (every COM
// method additionally runs in the kit's Guard, which keeps exceptions from
// crossing the interface). The steps that report nothing (creation,
// connection and disconnection of the add-in) run in RunSkipped.
#pragma once

#include <windows.h>

#include "ErrorText.h"
#include "Reported.h"
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

// The Error record of a failure with the add-in's own number.
void ReportFailure(LogText sProc, const AddinFailure& failure) noexcept;
