#include "g_modMinMax.h"

#include <cstring>
#include <vector>

#include "Reported.h"

namespace {

constexpr UINT kRestore1 = 0xF120, kRestore2 = 0xF122;
constexpr UINT kMaximize1 = 0xF030, kMaximize2 = 0xF032;
constexpr UINT kMinimize = 0xF020;
constexpr UINT kClose = 0xF060;

// One registered window. Entries stay for the life of the module.
struct MinMaxEntry {
    HWND hWnd = nullptr;
    WNDPROC lpPrevWndProc = nullptr;
    bool bInstalled = false; // MinMaxWndProc is the window's procedure now
    long lMinWidth = 0, lMinHeight = 0;
    long lMaxWidth = 0, lMaxHeight = 0;
    bool bNoRestore = false, bNoMaximize = false, bNoMinimize = false, bNoClose = false;
};

std::vector<MinMaxEntry> g_entries;

MinMaxEntry* FindEntry(HWND hWnd) noexcept
{
    for (MinMaxEntry& entry : g_entries)
        if (entry.hWnd == hWnd)
            return &entry;
    return nullptr;
}

} // namespace

short MinMaxCount() noexcept { return static_cast<short>(g_entries.size()); }

void SetMinMax(const Form& frm, long lMinWidth, long lMinHeight, long& lMaxWidth, long& lMaxHeight, bool bNoRestore,
               bool bNoMaximize, bool bNoMinimize, bool bNoClose) noexcept
{
    if (lMinWidth == 0 && lMinHeight == 0 && lMaxWidth == 0 && lMaxHeight == 0)
        return;
    const HWND hWnd = frm.Hwnd();
    if (!hWnd)
        return;
    MinMaxEntry* entry = FindEntry(hWnd);
    if (!entry) {
        if (g_entries.size() >= 32767)
            return; // the count is a 16-bit number
        entry = RunAnswered<MinMaxEntry*>("SetMinMax()", nullptr, [&] {
            g_entries.push_back(MinMaxEntry{hWnd});
            return &g_entries.back();
        });
        if (!entry)
            return; // out of memory: the window keeps its limits
    }
    // Window handles are reused: an entry whose window was given its own
    // procedure back (or was destroyed) gets MinMaxWndProc installed again.
    if (!entry->bInstalled) {
        entry->lpPrevWndProc = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrW(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MinMaxWndProc)));
        entry->bInstalled = entry->lpPrevWndProc != nullptr;
    }
    if (lMaxWidth == 0 || lMaxHeight == 0) {
        RECT desktop{};
        ::GetWindowRect(::GetDesktopWindow(), &desktop);
        if (lMaxWidth == 0)
            lMaxWidth = desktop.right;
        if (lMaxHeight == 0)
            lMaxHeight = desktop.bottom;
    }
    entry->bNoRestore = bNoRestore;
    entry->bNoMaximize = bNoMaximize;
    entry->bNoMinimize = bNoMinimize;
    entry->bNoClose = bNoClose;
    entry->lMinWidth = lMinWidth;
    entry->lMinHeight = lMinHeight;
    entry->lMaxWidth = lMaxWidth;
    entry->lMaxHeight = lMaxHeight;
}

void RemoveMinMax(const Form& frm) noexcept
{
    MinMaxEntry* entry = FindEntry(frm.Hwnd());
    if (!entry || !entry->bInstalled)
        return;
    ::SetWindowLongPtrW(entry->hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(entry->lpPrevWndProc));
    entry->bInstalled = false;
}

LRESULT CALLBACK MinMaxWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam)
{
    const MinMaxEntry* entry = FindEntry(hWnd);
    if (!entry || !entry->lpPrevWndProc)
        return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
    switch (uMsg) {
    case WM_GETMINMAXINFO: {
        MINMAXINFO info;
        std::memcpy(&info, reinterpret_cast<const void*>(lParam), sizeof info);
        info.ptMaxPosition = POINT{-2, -2};
        info.ptMinTrackSize = POINT{entry->lMinWidth, entry->lMinHeight};
        info.ptMaxTrackSize = POINT{entry->lMaxWidth, entry->lMaxHeight};
        std::memcpy(reinterpret_cast<void*>(lParam), &info, sizeof info);
        return ::DefWindowProcW(hWnd, uMsg, wParam, lParam);
    }
    case WM_SYSCOMMAND:
        if (entry->bNoRestore && (wParam == kRestore1 || wParam == kRestore2))
            return 0;
        if (entry->bNoMaximize && (wParam == kMaximize1 || wParam == kMaximize2))
            return 0;
        if (entry->bNoMinimize && wParam == kMinimize)
            return 0;
        if (entry->bNoClose && wParam == kClose)
            return 0;
        break;
    case WM_NCDESTROY: {
        // The window is gone: its handle may come back for another window.
        const WNDPROC prev = entry->lpPrevWndProc;
        const_cast<MinMaxEntry*>(entry)->bInstalled = false;
        return ::CallWindowProcW(prev, hWnd, uMsg, wParam, lParam);
    }
    default:
        break;
    }
    return ::CallWindowProcW(entry->lpPrevWndProc, hWnd, uMsg, wParam, lParam);
}
