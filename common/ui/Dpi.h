// The pixels per inch a window is laid out for.
//
// Windows 10 (version 1607 and later) gives each window its own DPI
// (GetDpiForWindow), which follows the monitor for a per-monitor aware
// process such as Outlook 365; older systems have only the screen's
// (LOGPIXELSY of the screen's device context). The newer function is looked
// up at run time, so the DLLs still load on Windows XP.
// Source: Microsoft documentation, "GetDpiForWindow function" and "High DPI
// Desktop Application Development on Windows".
#pragma once

#include <windows.h>

#include "Twips.h"

// The messages of a change of DPI, defined by the SDK for Windows 7 and
// later only (WINVER is older here); values from winuser.h.
#ifndef WM_DPICHANGED
#define WM_DPICHANGED 0x02E0
#endif
#ifndef WM_DPICHANGED_AFTERPARENT
#define WM_DPICHANGED_AFTERPARENT 0x02E3
#endif

namespace ui {

constexpr int kDefaultDpi = 96;

// The screen's pixels per inch (LOGPIXELSY); 96 if it cannot be read.
int ScreenDpi() noexcept;
// The window's own DPI where the platform has it, else the screen's. A
// null window gives the screen's.
int WindowDpi(HWND hwnd) noexcept;
// A converter for twips at the window's DPI.
Twips WindowTwips(HWND hwnd) noexcept;

} // namespace ui
