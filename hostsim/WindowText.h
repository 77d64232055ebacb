// A window's class name and its text, for the scenario commands that read
// windows the way a user sees them.
#pragma once

#include <windows.h>

#include <string>

namespace outlooksim {

inline std::wstring ClassOf(HWND window)
{
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

inline std::wstring TextOf(HWND window)
{
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

// A caption as the user reads it: without the mnemonic's "&" ("&&" stands
// for one "&").
inline std::wstring WithoutMnemonic(const std::wstring& text)
{
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size())
            ++i;
        out += text[i];
    }
    return out;
}

} // namespace outlooksim
