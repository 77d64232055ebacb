#include "ErrorText.h"

#include "com/ComError.h"
#include "com/ComRaii.h"

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
