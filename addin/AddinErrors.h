// How the add-in's classes report what goes wrong: expected problems as
// Warning records, unexpected failures of a call as detailed Error records
// (never with the dialog: the add-in runs inside Outlook).
#pragma once

#include <windows.h>

#include <string>

// The description of the failure a call just returned: its error
// information if it left one, else the system's text for the code.
std::string ErrorText(HRESULT hr);

// A Warning record: code 0, description "unknown".
void Warn(const std::string& sMessage, const std::string& sSource) noexcept;

// An Error record for a failed call, no dialog.
void ReportFailure(const std::string& sProc, HRESULT hr) noexcept;
