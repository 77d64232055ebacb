#include "AddinErrors.h"

#include "com/ComError.h"
#include "com/ComRaii.h"
#include "g_modDebug.h"

void Warn(const std::string& sMessage, const std::string& sSource) noexcept
{
    WriteLog(1, sMessage, sSource, 0, "unknown", false);
}

void ReportFailure(const std::string& sProc, HRESULT hr) noexcept
{
    try {
        ReportError(sProc, ErrorText(hr), hr, true);
    } catch (...) {
        ReportError(sProc, "", hr, true);
    }
}
