#include "Reported.h"

#include <string>

#include "ErrorText.h"

void Warn(LogText sMessage, LogText sSource) noexcept
{
    WriteLog(LogWarning, sMessage, sSource, 0, "unknown", false);
}

void WarnError(LogText sMessage, LogText sSource) noexcept
{
    WriteLog(LogError, sMessage, sSource, 0, "unknown", false);
}

void ReportFailure(LogText sProc, long lNumber, LogText sDescription) noexcept
{
    ReportError(sProc, sDescription, lNumber, true);
}

void ReportFailure(LogText sProc, const com::ComError& failure) noexcept
{
    ReportCaught(sProc, failure, true);
}

void ReportFailure(LogText sProc, HRESULT hr) noexcept
{
    // Without memory for the description the record still goes out, with
    // the code alone.
    std::wstring sDescription;
    RunSkipped([&] { sDescription = ErrorText(hr); });
    ReportFailure(sProc, hr, sDescription);
}
