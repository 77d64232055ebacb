// How the add-in's classes report what goes wrong: expected problems as
// Warning records, unexpected failures of a call as detailed Error records
// (never with the dialog: the add-in runs inside Outlook).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "ErrorText.h"
#include "com/ComError.h"

// A Warning record: code 0, description "unknown".
void Warn(std::string_view sMessage, std::string_view sSource) noexcept;

// An Error record for a failed call, no dialog.
void ReportFailure(std::string_view sProc, HRESULT hr) noexcept;

// The add-in's guard for the steps of an operation and for every event
// handler: a failure that ends them (a com::ComError, running out of
// memory, any other exception) is logged under sProc as an Error record, no
// dialog. Nothing here allocates before the steps run.
template <class Steps>
void RunReported(std::string_view sProc, Steps&& steps) noexcept
{
    try {
        steps();
    } catch (const com::ComError& e) {
        ReportFailure(sProc, e.hr());
    } catch (const std::bad_alloc&) {
        ReportFailure(sProc, E_OUTOFMEMORY);
    } catch (...) {
        ReportFailure(sProc, E_UNEXPECTED);
    }
}
