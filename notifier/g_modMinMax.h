// Size limits for the notifier's top-level windows: a minimum and a maximum
// tracking size in pixels, and system commands that can be blocked. A
// registered window gets MinMaxWndProc as its window procedure until
// RemoveMinMax puts its own one back.
#pragma once

#include <windows.h>

#include "Form.h"

// A maximum of 0 means the desktop's size; lMaxWidth and lMaxHeight then
// receive it. With all four sizes 0 nothing happens.
void SetMinMax(const Form& frm, long lMinWidth, long lMinHeight, long& lMaxWidth, long& lMaxHeight, bool bNoRestore,
               bool bNoMaximize, bool bNoMinimize, bool bNoClose) noexcept;
void RemoveMinMax(const Form& frm) noexcept;

LRESULT CALLBACK MinMaxWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

// The number of windows registered since the module was loaded.
short MinMaxCount() noexcept;
