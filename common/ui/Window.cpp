#include "Window.h"

#include "Guarded.h"
#include "Reported.h"
#include "com/ComModule.h"
#include "g_modDebug.h"

namespace ui {

Window::~Window()
{
    if (m_hWnd)
        ::SetWindowLongPtrW(m_hWnd, GWLP_USERDATA, 0);
}

bool Window::RegisterOnce(const WindowClass& windowClass) noexcept
{
    const HINSTANCE instance = com::Module::Instance();
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (::GetClassInfoExW(instance, windowClass.name, &wc)) {
        if (wc.lpfnWndProc == &Procedure)
            return true;
        // A DLL's classes outlive the DLL: this one points into an earlier load.
        ::UnregisterClassW(windowClass.name, instance);
    }
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &Procedure;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = windowClass.background;
    wc.lpszClassName = windowClass.name;
    return ::RegisterClassExW(&wc) || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

HWND Window::CreateFor(const WindowClass& windowClass, DWORD exStyle, const wchar_t* caption, DWORD style,
                       const RECT& rect, HWND parent, int id) noexcept
{
    if (m_hWnd || !RegisterOnce(windowClass))
        return nullptr;
    const HMENU menu = (style & WS_CHILD) ? reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)) : nullptr;
    return ::CreateWindowExW(exStyle, windowClass.name, caption, style, rect.left, rect.top, rect.right - rect.left,
                             rect.bottom - rect.top, parent, menu, com::Module::Instance(), this);
}

void Window::OnMessageFailed(UINT msg, const com::ComError& error) noexcept
{
    ReportFailure("ui::Window::OnMessage()", error);
    (void)msg;
}

LRESULT CALLBACK Window::Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept
{
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        if (self) {
            self->m_hWnd = hwnd;
            self->m_twips = WindowTwips(hwnd);
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        }
    }
    auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self || self->m_hWnd != hwnd)
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    const LRESULT result = self->Dispatch(msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_hWnd = nullptr;
        self->OnDestroyed(); // may delete the object: nothing after it
    }
    return result;
}

LRESULT Window::Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) noexcept
{
    LRESULT result = 0;
    RunGuarded(
        [&] {
            result = msg == WM_DPICHANGED || msg == WM_DPICHANGED_AFTERPARENT ? DpiChanged(msg, wParam, lParam)
                                                                              : OnMessage(msg, wParam, lParam);
        },
        [&](const com::ComError& error) noexcept {
            OnMessageFailed(msg, error);
            result = Default(msg, wParam, lParam);
        });
    return result;
}

LRESULT Window::DpiChanged(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const int dpi = msg == WM_DPICHANGED ? HIWORD(wParam) : WindowDpi(m_hWnd);
    m_twips = Twips(dpi > 0 ? dpi : kDefaultDpi, dpi > 0 ? dpi : kDefaultDpi);
    OnDpiChanged();
    if (msg == WM_DPICHANGED && lParam) {
        const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
        ::SetWindowPos(m_hWnd, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                       suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return 0;
}

} // namespace ui
