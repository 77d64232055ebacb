#include "modNotify.h"

#include <windows.h>

#include <memory>

#include "frmNotify.h"

namespace {

std::unique_ptr<frmNotify> g_frmNotify;

// Processes the window messages waiting for this thread.
void DoEvents() noexcept
{
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam)); // for the host's own loop
            break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

} // namespace

frmNotify* NotifyWindow() noexcept { return g_frmNotify.get(); }

void CreateNotifyWindow() noexcept
{
    if (g_frmNotify)
        return;
    g_frmNotify = frmNotify::Load(); // loaded, hidden until the first item
}

void DestroyNotifyWindow() noexcept
{
    if (!g_frmNotify)
        return;
    if (g_frmNotify->Visible()) {
        g_frmNotify->Hide();
        DoEvents();
    }
    // DoEvents may have run a ShutDown of its own.
    if (g_frmNotify)
        g_frmNotify->Unload();
    g_frmNotify.reset();
}

void AddNotifyItem(IDispatch* mi, const std::wstring& sFolderName) noexcept
{
    if (g_frmNotify)
        g_frmNotify->MailItemAdd(mi, sFolderName);
}

void ShowNotifyWindow() noexcept
{
    if (!g_frmNotify)
        return;
    g_frmNotify->Show();
    g_frmNotify->Refresh();
    DoEvents();
}
