#include "ProbeTrayWindow.h"

#include "ProbeAddin.h"
#include "ProbeLog.h"
#include "com/ComModule.h"

ProbeTrayWindow::ProbeTrayWindow(ProbeAddin* addin) : m_addin(addin)
{
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &WndProc;
    wc.hInstance = com::Module::Instance();
    wc.lpszClassName = kClassName;
    ::RegisterClassExW(&wc);
    m_hwnd = ::CreateWindowExW(0, kClassName, L"probe", WS_OVERLAPPED, 0, 0, 0, 0, nullptr, nullptr,
                               com::Module::Instance(), nullptr);
    ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

ProbeTrayWindow::~ProbeTrayWindow()
{
    if (m_hwnd)
        ::DestroyWindow(m_hwnd);
}

LRESULT CALLBACK ProbeTrayWindow::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<ProbeTrayWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && msg == WM_USER + 1) {
        probe::Record(L"tray message, mouse " + probe::Hex(static_cast<long>(lParam)));
        if (lParam == WM_LBUTTONDBLCLK)
            self->m_addin->TrayDoubleClick();
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}
