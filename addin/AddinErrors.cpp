#include "AddinErrors.h"

#include "com/ComError.h"
#include "com/ComRaii.h"
#include "g_modDebug.h"

std::string ErrorText(HRESULT hr)
{
    com::ComPtr<IErrorInfo> info;
    if (::GetErrorInfo(0, &info) == S_OK && info) {
        com::Bstr text;
        if (SUCCEEDED(info->GetDescription(text.put())) && !text.empty())
            return text.ansi();
    }
    return com::Narrow(com::DescribeError(hr));
}

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
