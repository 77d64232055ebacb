#include "com/ComError.h"

#include <cwchar>

#include "com/ComRaii.h"

namespace com {

HRESULT SetError(HRESULT hr, const wchar_t* description, const wchar_t* source, REFIID iid) noexcept
{
    ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(::CreateErrorInfo(&create))) {
        create->SetGUID(iid);
        create->SetSource(const_cast<LPOLESTR>(source ? source : L""));
        create->SetDescription(const_cast<LPOLESTR>(description ? description : L""));
        ComPtr<IErrorInfo> info;
        if (SUCCEEDED(create.As(&info)))
            ::SetErrorInfo(0, info.Get());
    }
    return hr;
}

void ClearError() noexcept { ::SetErrorInfo(0, nullptr); }

std::wstring SystemMessage(DWORD code)
{
    wchar_t* buffer = nullptr;
    DWORD n =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text = n && buffer ? std::wstring(buffer, n) : std::wstring();
    if (buffer)
        ::LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' '))
        text.pop_back();
    return text;
}

std::wstring DescribeError(HRESULT hr)
{
    std::wstring text = SystemMessage(static_cast<DWORD>(hr));
    if (!text.empty())
        return text;
    wchar_t fallback[40];
    ::swprintf(fallback, 40, L"Unknown error 0x%08lX", static_cast<unsigned long>(hr));
    return fallback;
}

} // namespace com
