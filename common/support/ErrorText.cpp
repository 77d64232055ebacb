#include "ErrorText.h"

#include "com/ComError.h"
#include "com/ComRaii.h"
#include "g_modDebug.h"

std::wstring ErrorText(HRESULT hr)
{
    com::ComPtr<IErrorInfo> info;
    if (::GetErrorInfo(0, &info) == S_OK && info) {
        com::Bstr text;
        if (SUCCEEDED(info->GetDescription(text.put())) && !text.empty())
            return text.str();
    }
    return com::DescribeError(hr);
}

void Check(HRESULT hr)
{
    if (FAILED(hr))
        throw com::ComError(hr, ErrorText(hr));
}

std::wstring FailureText(const com::ComError& failure)
{
    return failure.description().empty() ? com::DescribeError(failure.hr()) : failure.description();
}

void ReportCaught(LogText sProc, const com::ComError& failure, bool bNoDialog) noexcept
{
    // Without memory for the text the record still goes out, undescribed.
    std::wstring sDescription;
    try {
        sDescription = FailureText(failure);
    } catch (...) {
    }
    ReportError(sProc, sDescription, failure.hr(), bNoDialog);
}
