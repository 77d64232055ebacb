#include "frmSplash.h"

#include "Resources.h"
#include "Twips.h"
#include "com/ComModule.h"

namespace {
constexpr UINT_PTR kTimerId = 1;
// No background: the logo covers the whole client area.
const ui::WindowClass kWindowClass{frmSplash::kClassName, nullptr};
} // namespace

frmSplash* frmSplash::Load() noexcept
{
    HINSTANCE instance = com::Module::Instance();
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
    if (!form->CreateFor(kWindowClass, exStyle, L"corvane", style, RECT{x, y, x + width, y + height}, nullptr)) {
        // A window that failed while it was made may have had its
        // WM_NCDESTROY; the object is freed here all the same.
        com::Module::Lock(false);
        delete form;
        return nullptr;
    }
    form->m_bMade = true;
    return form;
}

void frmSplash::BeginTimer() noexcept
{
    if (Hwnd() && ::SetTimer(Hwnd(), kTimerId, kInterval, nullptr))
        m_tSplashEnabled = true;
}

void frmSplash::Show() noexcept
{
    if (Hwnd()) {
        ::ShowWindow(Hwnd(), SW_SHOWNOACTIVATE);
        ::UpdateWindow(Hwnd());
    }
}

void frmSplash::tSplash_Timer() noexcept
{
    // Disable the timer, then unload the window (which frees this object).
    if (m_tSplashEnabled) {
        ::KillTimer(Hwnd(), kTimerId);
        m_tSplashEnabled = false;
    }
    ::DestroyWindow(Hwnd());
}

void frmSplash::Paint() noexcept
{
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(Hwnd(), &ps);
    BITMAP logo{};
    if (dc && m_imgLogo && ::GetObjectA(m_imgLogo.get(), sizeof logo, &logo)) {
        const com::UniqueHdc mem(::CreateCompatibleDC(dc));
        if (mem) {
            // At 96 pixels per inch the logo fills the client area pixel
            // for pixel; on other screens it is scaled with the window.
            RECT client{};
            ::GetClientRect(Hwnd(), &client);
            HGDIOBJ old = ::SelectObject(mem.get(), m_imgLogo.get());
            ::SetStretchBltMode(dc, HALFTONE);
            ::StretchBlt(dc, 0, 0, client.right, client.bottom, mem.get(), 0, 0, logo.bmWidth, logo.bmHeight, SRCCOPY);
            ::SelectObject(mem.get(), old);
        }
    }
    ::EndPaint(Hwnd(), &ps);
}

LRESULT frmSplash::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_TIMER:
        if (wParam == kTimerId) {
            tSplash_Timer();
            return 0;
        }
        break;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    default:
        break;
    }
    return Default(msg, wParam, lParam);
}

void frmSplash::OnDestroyed() noexcept
{
    if (!m_bMade)
        return; // Load frees it
    delete this;
    com::Module::Lock(false);
}
