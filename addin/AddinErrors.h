// How the add-in's classes report what goes wrong: expected problems as
// Warning records, unexpected failures of a call as detailed Error records
// (never with the dialog: the add-in runs inside Outlook).
#pragma once

#include <windows.h>

#include <string>

#include "ErrorText.h"
#include "com/ComError.h"

// A Warning record: code 0, description "unknown".
void Warn(const std::string& sMessage, const std::string& sSource) noexcept;

// An Error record for a failed call, no dialog.
void ReportFailure(const std::string& sProc, HRESULT hr) noexcept;

// Runs an operation's steps; a failure that ends them (a com::ComError or
// any other exception) is logged under sProc as an Error record, no dialog.
template <class Steps>
void RunReported(const std::string& sProc, Steps&& steps) noexcept
{
    try {
        steps();
    } catch (const com::ComError& e) {
        ReportFailure(sProc, e.hr());
    } catch (...) {
        ReportFailure(sProc, E_UNEXPECTED);
    }
}
