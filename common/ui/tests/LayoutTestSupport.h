// What the layout tests of the windows share: the DPI their Wine prefix is
// set up for, a process that is DPI aware as Outlook 365 is, and the check
// of a table's controls against their design rectangles.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <initializer_list>
#include <span>
#include <string>

#include "ui/Dpi.h"
#include "ui/Layout.h"

namespace layouttest {

// The screen's DPI the prefix was made with (CORVANE_EXPECT_DPI), 96 in
// the build's own prefix.
inline int ExpectedDpi()
{
    const char* text = std::getenv("CORVANE_EXPECT_DPI");
    return text && *text ? std::atoi(text) : ui::kDefaultDpi;
}

// Per-monitor aware where the platform has it, else system aware: a
// process that is not DPI aware gets 96 from GetDpiForWindow and its
// windows are stretched by the system (Microsoft documentation, "Setting
// the default DPI awareness for a process").
inline void BecomeDpiAware()
{
    using SetContextFn = BOOL(WINAPI*)(HANDLE);
    using SetAwareFn = BOOL(WINAPI*)();
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    const auto setContext = reinterpret_cast<SetContextFn>(
        reinterpret_cast<void (*)()>(::GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
    const HANDLE perMonitorV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
    if (setContext && setContext(perMonitorV2))
        return;
    if (const auto setAware =
            reinterpret_cast<SetAwareFn>(reinterpret_cast<void (*)()>(::GetProcAddress(user32, "SetProcessDPIAware"))))
        setAware();
}

inline std::wstring Describe(const RECT& r)
{
    return std::to_wstring(r.left) + L"," + std::to_wstring(r.top) + L" " + std::to_wstring(r.right - r.left) + L"x" +
           std::to_wstring(r.bottom - r.top);
}

// Every control of the table (but those named in placedElsewhere) lies at
// its design rectangle at the converter's DPI, and has the font of its
// entry at that DPI.
inline void ExpectLayout(const ui::LayoutTarget& target, std::span<const ui::ControlDesign> table, const Twips& twips,
                         std::initializer_list<int> placedElsewhere = {})
{
    ASSERT_TRUE(target.parent);
    for (const ui::ControlDesign& design : table) {
        SCOPED_TRACE("control " + std::to_string(design.id));
        bool skip = false;
        for (int id : placedElsewhere)
            skip = skip || id == design.id;
        HWND control = ::GetDlgItem(target.parent, design.id);
        ASSERT_TRUE(control);
        if (!skip) {
            EXPECT_EQ(Describe(ui::ControlRect(design, twips, target.originPx)), Describe(ui::ChildRect(control)));
        }
    }
}

// The height of the control's font, as LOGFONT has it.
inline int FontHeight(HWND control)
{
    LOGFONTW font{};
    const auto handle = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
    if (!handle || !::GetObjectW(handle, sizeof font, &font))
        return 0;
    return font.lfHeight;
}

} // namespace layouttest
