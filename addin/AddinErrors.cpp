#include "AddinErrors.h"

#include "com/ComError.h"
#include "com/ComRaii.h"
#include "g_modDebug.h"

void Warn(std::string_view sMessage, std::string_view sSource) noexcept
{
    WriteLog(1, sMessage, sSource, 0, "unknown", false);
}

void ReportFailure(std::string_view sProc, HRESULT hr) noexcept
{
    try {
        ReportError(sProc, ErrorText(hr), hr, true);
    } catch (...) {
        ReportError(sProc, "", hr, true);
    }
}
