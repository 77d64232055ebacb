#include "AddinErrors.h"

void Warn(std::string_view sMessage, std::string_view sSource) noexcept
{
    WriteLog(LogWarning, sMessage, sSource, 0, "unknown", false);
}

void ReportFailure(std::string_view sProc, long lNumber, std::string_view sDescription) noexcept
{
    ReportError(sProc, sDescription, lNumber, true);
}

void ReportFailure(std::string_view sProc, const AddinFailure& failure) noexcept
{
    ReportFailure(sProc, failure.lNumber, failure.sDescription);
}

void ReportFailure(std::string_view sProc, const com::ComError& failure) noexcept
{
    ReportCaught(sProc, failure, true);
}

void ReportFailure(std::string_view sProc, HRESULT hr) noexcept
{
    std::string sDescription;
    try {
        sDescription = ErrorText(hr);
    } catch (...) {
    }
    ReportFailure(sProc, hr, sDescription);
}
