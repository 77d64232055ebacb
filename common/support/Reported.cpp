#include "Reported.h"

#include <string>

#include "ErrorText.h"

namespace {

// The short record of every level: code 0, description "unknown".
void ShortRecord(LogLevel lType, LogText sMessage, LogText sSource) noexcept
{
    WriteLog(lType, sMessage, sSource, 0, "unknown", false);
}

} // namespace

void Warn(LogText sMessage, LogText sSource) noexcept { ShortRecord(LogWarning, sMessage, sSource); }

void WarnError(LogText sMessage, LogText sSource) noexcept { ShortRecord(LogError, sMessage, sSource); }

void Inform(LogText sMessage, LogText sSource) noexcept { ShortRecord(LogInformation, sMessage, sSource); }

void ReportFailure(LogText sProc, long lNumber, LogText sDescription) noexcept
{
    ReportError(sProc, sDescription, lNumber, true);
}

void ReportFailure(LogText sProc, const com::ComError& failure) noexcept { ReportCaught(sProc, failure, true); }

void ReportFailure(LogText sProc, HRESULT hr) noexcept
{
    // Without memory for the description the record still goes out, with
    // the code alone.
    std::wstring sDescription;
    RunSkipped([&] { sDescription = ErrorText(hr); });
    ReportFailure(sProc, hr, sDescription);
}
