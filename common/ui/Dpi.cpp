#include "Dpi.h"

namespace ui {

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

GetDpiForWindowFn FindGetDpiForWindow() noexcept
{
    const HMODULE user32 = ::GetModuleHandleW(L"user32.dll");
    if (!user32)
        return nullptr;
    return reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void (*)()>(::GetProcAddress(user32, "GetDpiForWindow")));
}

} // namespace

int ScreenDpi() noexcept
{
    int dpi = 0;
    if (HDC screen = ::GetDC(nullptr)) {
        dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
        ::ReleaseDC(nullptr, screen);
    }
    return dpi > 0 ? dpi : kDefaultDpi;
}

int WindowDpi(HWND hwnd) noexcept
{
    static const GetDpiForWindowFn getDpiForWindow = FindGetDpiForWindow();
    if (hwnd && getDpiForWindow)
        if (const UINT dpi = getDpiForWindow(hwnd))
            return static_cast<int>(dpi);
    return ScreenDpi();
}

Twips WindowTwips(HWND hwnd) noexcept
{
    const int dpi = WindowDpi(hwnd);
    return Twips(dpi, dpi);
}

} // namespace ui
