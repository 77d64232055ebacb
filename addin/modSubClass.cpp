#include "modSubClass.h"

#include "TrayIcon.h"
#include "frmTrayIcon.h"

namespace modSubClass {

namespace {
WNDPROC g_lpPrevWndProc = nullptr;
}

void HookWindow(HWND hWnd) noexcept
{
    g_lpPrevWndProc =
        reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TrayWndProc)));
}

void UnhookWindow(HWND hWnd) noexcept
{
    if (g_lpPrevWndProc)
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_lpPrevWndProc));
}

LRESULT CALLBACK TrayWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    if (uMsg == TrayIcon::kCallbackMessage) {
        // Keep the window object alive while its listeners run.
        std::shared_ptr<frmTrayIcon> form = g_frmTrayIcon;
        if (form) {
            switch (static_cast<UINT>(lParam)) {
            case WM_LBUTTONDOWN:
                form->WmLButtonDown();
                break;
            case WM_LBUTTONDBLCLK:
                form->WmLButtonDblClk();
                break;
            case WM_RBUTTONDOWN:
                form->WmRButtonDown();
                break;
            case WM_RBUTTONDBLCLK:
                form->WmRButtonDblClk();
                break;
            default:
                break; // movement, releases, the middle button
            }
        }
        return ::DefWindowProcA(hWnd, uMsg, wParam, lParam);
    }
    // The add-in's own posted work and timers.
    if (uMsg >= WM_APP || uMsg == WM_TIMER) {
        std::shared_ptr<frmTrayIcon> form = g_frmTrayIcon;
        if (form && form->Hwnd() == hWnd && form->WmPrivate(uMsg, wParam, lParam))
            return 0;
    }
    if (g_lpPrevWndProc)
        return ::CallWindowProcA(g_lpPrevWndProc, hWnd, uMsg, wParam, lParam);
    return ::DefWindowProcA(hWnd, uMsg, wParam, lParam);
}

} // namespace modSubClass
