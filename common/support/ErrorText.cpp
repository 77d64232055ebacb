#include "ErrorText.h"

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

void Check(HRESULT hr)
{
    if (FAILED(hr))
        throw com::ComError(hr, com::Widen(ErrorText(hr)));
}

std::string FailureText(const com::ComError& failure)
{
    return com::Narrow(failure.description().empty() ? com::DescribeError(failure.hr()) : failure.description());
}

void ReportCaught(std::string_view sProc, const com::ComError& failure, bool bNoDialog) noexcept
{
    // Without memory for the text the record still goes out, undescribed.
    std::string sDescription;
    try {
        sDescription = FailureText(failure);
    } catch (...) {
    }
    ReportError(sProc, sDescription, failure.hr(), bNoDialog);
}
