// Replaces the tray window's message procedure so that the icon's callback
// messages reach the tray window object.
#pragma once

#include <windows.h>

namespace modSubClass {

void HookWindow(HWND hWnd) noexcept;
void UnhookWindow(HWND hWnd) noexcept;
LRESULT CALLBACK TrayWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);

} // namespace modSubClass
