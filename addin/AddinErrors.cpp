#include "AddinErrors.h"

void Warn(LogText sMessage, LogText sSource) noexcept
{
    WriteLog(LogWarning, sMessage, sSource, 0, "unknown", false);
}

void ReportFailure(LogText sProc, long lNumber, LogText sDescription) noexcept
{
    ReportError(sProc, sDescription, lNumber, true);
}

void ReportFailure(LogText sProc, const AddinFailure& failure) noexcept
{
    ReportFailure(sProc, failure.lNumber, failure.sDescription);
}

void ReportFailure(LogText sProc, const com::ComError& failure) noexcept
{
    ReportCaught(sProc, failure, true);
}

void ReportFailure(LogText sProc, HRESULT hr) noexcept
{
    std::wstring sDescription;
    try {
        sDescription = ErrorText(hr);
    } catch (...) {
    }
    ReportFailure(sProc, hr, sDescription);
}
