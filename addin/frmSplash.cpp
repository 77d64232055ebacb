#include "frmSplash.h"

#include "Resources.h"
#include "Twips.h"
#include "com/ComModule.h"

namespace {
constexpr UINT_PTR kTimerId = 1;

// Registers the window class once per loaded module. A class of an earlier
// load of the module at the same address still points at the same procedure.
bool EnsureClass(WNDPROC proc)
{
    HINSTANCE instance = com::Module::Instance();
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    if (::GetClassInfoExA(instance, frmSplash::kClassName, &wc))
        return true;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = frmSplash::kClassName;
    return ::RegisterClassExA(&wc) || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}
} // namespace

frmSplash* frmSplash::Load() noexcept
{
    HINSTANCE instance = com::Module::Instance();
    if (!EnsureClass(&frmSplash::WndProc))
        return nullptr;
    auto* form = new (std::nothrow) frmSplash();
    if (!form)
        return nullptr;
    form->m_imgLogo.reset(static_cast<HBITMAP>(
        ::LoadImageA(instance, MAKEINTRESOURCEA(IDB_SPLASH), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    // A borderless popup with a thin frame, centred on the screen, on top.
    const DWORD style = WS_POPUP | WS_BORDER;
    const DWORD exStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
    const Twips twips;
    RECT rc{0, 0, twips.ToPixelsX(kWidthTwips), twips.ToPixelsY(kHeightTwips)};
    ::AdjustWindowRectEx(&rc, style, FALSE, exStyle);
    const int width = rc.right - rc.left;
    const int height = rc.bottom - rc.top;
    const int x = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    // The window keeps the module loaded while it exists.
    com::Module::Lock(true);
    HWND hWnd =
        ::CreateWindowExA(exStyle, kClassName, "corvane", style, x, y, width, height, nullptr, nullptr, instance, form);
    if (!hWnd) {
        // WM_NCDESTROY did not run: undo here.
        com::Module::Lock(false);
        delete form;
        return nullptr;
    }
    return form;
}

void frmSplash::BeginTimer() noexcept
{
    if (m_hWnd && ::SetTimer(m_hWnd, kTimerId, kInterval, nullptr))
        m_tSplashEnabled = true;
}

void frmSplash::Show() noexcept
{
    if (m_hWnd) {
        ::ShowWindow(m_hWnd, SW_SHOWNOACTIVATE);
        ::UpdateWindow(m_hWnd);
    }
}

void frmSplash::tSplash_Timer() noexcept
{
    // Disable the timer, then unload the window (which frees this object).
    if (m_tSplashEnabled) {
        ::KillTimer(m_hWnd, kTimerId);
        m_tSplashEnabled = false;
    }
    ::DestroyWindow(m_hWnd);
}

void frmSplash::Paint() noexcept
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(m_hWnd, &ps);
    BITMAP logo{};
    if (dc && m_imgLogo && ::GetObjectA(m_imgLogo.get(), sizeof logo, &logo)) {
        const com::UniqueHdc mem(::CreateCompatibleDC(dc));
        if (mem) {
            // At 96 pixels per inch the logo fills the client area pixel
            // for pixel; on other screens it is scaled with the window.
            RECT client{};
            ::GetClientRect(m_hWnd, &client);
            HGDIOBJ old = ::SelectObject(mem.get(), m_imgLogo.get());
            ::SetStretchBltMode(dc, HALFTONE);
            ::StretchBlt(dc, 0, 0, client.right, client.bottom, mem.get(), 0, 0, logo.bmWidth, logo.bmHeight, SRCCOPY);
            ::SelectObject(mem.get(), old);
        }
    }
    ::EndPaint(m_hWnd, &ps);
}

LRESULT CALLBACK frmSplash::WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        auto* form = static_cast<frmSplash*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
        form->m_hWnd = hWnd;
        ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<frmSplash*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    if (form) {
        switch (msg) {
        case WM_TIMER:
            if (wParam == kTimerId) {
                form->tSplash_Timer();
                return 0;
            }
            break;
        case WM_PAINT:
            form->Paint();
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_NCDESTROY:
            ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, 0);
            delete form;
            com::Module::Lock(false);
            break;
        default:
            break;
        }
    }
    return ::DefWindowProcA(hWnd, msg, wParam, lParam);
}
