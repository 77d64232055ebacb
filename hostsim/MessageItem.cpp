#include "MessageItem.h"

#include <cwchar>

namespace outlooksim {

std::wstring FormatDate(DATE date)
{
    SYSTEMTIME st{};
    if (!::VariantTimeToSystemTime(date, &st))
        return L"?";
    wchar_t text[32];
    std::swprintf(text, 32, L"%02u.%02u.%04u %02u:%02u", st.wDay, st.wMonth, st.wYear, st.wHour, st.wMinute);
    return text;
}

} // namespace outlooksim
