#include "com/OleControl.h"

#include <cwctype>
#include <vector>

#include "com/ComRaii.h"

namespace com::olecontrol {

namespace {

constexpr const wchar_t kTabPageMark[] = L"corvane.OleControl.TabPage";

// The letter after the first single "&" of a caption, upper case; 0 if none.
wchar_t MnemonicOf(HWND window)
{
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    for (const wchar_t* p = text; *p; ++p) {
        if (*p != L'&')
            continue;
        if (p[1] == L'&') {
            ++p;
            continue;
        }
        return p[1] ? static_cast<wchar_t>(std::towupper(p[1])) : 0;
    }
    return 0;
}

// Window class names compare without regard to case.
bool IsOfClass(HWND window, const wchar_t* className)
{
    wchar_t name[32] = {};
    ::GetClassNameW(window, name, 32);
    return EqualsIgnoreCase(name, className);
}

// Every visible descendant of root, parents before their children, in
// z-order. With hiddenTabs, also the controls of tab pages hidden only
// because another tab is shown (inTab: below such a page, where a control
// counts as shown when it would be shown with its page).
void Collect(HWND parent, std::vector<HWND>& out, bool hiddenTabs = false, bool inTab = false)
{
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const bool shown =
            inTab ? (::GetWindowLongW(child, GWL_STYLE) & WS_VISIBLE) != 0 : ::IsWindowVisible(child) != FALSE;
        if (shown) {
            out.push_back(child);
            Collect(child, out, hiddenTabs, inTab);
        } else if (hiddenTabs && IsTabPage(child)) {
            Collect(child, out, hiddenTabs, true);
        }
    }
}

// The tab page that hides window, or null when window is shown.
HWND HiddenTabPageOf(HWND root, HWND window)
{
    for (HWND w = window; w && w != root; w = ::GetParent(w))
        if (IsTabPage(w) && !::IsWindowVisible(w))
            return w;
    return nullptr;
}

// The focus watch: one thread hook for every control window of the thread.
struct FocusWatch {
    HWND root;
    FocusFunction focused;
    void* control;
};
thread_local std::vector<FocusWatch> t_watches;
thread_local ui::UniqueHHook t_focusHook;

LRESULT CALLBACK FocusHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_SETFOCUS) {
        HWND gaining = reinterpret_cast<HWND>(wParam);
        HWND losing = reinterpret_cast<HWND>(lParam);
        // Without memory for the copy the controls are not told; the focus
        // moves all the same.
        RunSkipped([&] {
            // A copy: a control may stop watching while it is told.
            const std::vector<FocusWatch> watches = t_watches;
            for (const FocusWatch& watch : watches)
                if (IsWithin(watch.root, gaining) && !IsWithin(watch.root, losing))
                    watch.focused(watch.control);
        });
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// The tab stops inside root in tab order: enabled, visible controls with WS_TABSTOP.
std::vector<HWND> TabStops(HWND root)
{
    std::vector<HWND> all, stops;
    Collect(root, all);
    for (HWND w : all)
        if ((::GetWindowLongW(w, GWL_STYLE) & WS_TABSTOP) && ::IsWindowEnabled(w))
            stops.push_back(w);
    return stops;
}

} // namespace

void MarkTabPage(HWND panel) noexcept { ::SetPropW(panel, kTabPageMark, reinterpret_cast<HANDLE>(1)); }

void UnmarkTabPage(HWND panel) noexcept { ::RemovePropW(panel, kTabPageMark); }

bool IsTabPage(HWND window) noexcept { return window && ::GetPropW(window, kTabPageMark) != nullptr; }

bool Ambient(IOleClientSite* site, DISPID id, Variant* value) noexcept
{
    ComPtr<IDispatch> ambient;
    if (!site || !value || FAILED(site->QueryInterface(IID_PPV_ARGS(&ambient))))
        return false;
    DISPPARAMS none{};
    return SUCCEEDED(
        ambient->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, value, nullptr, nullptr));
}

void Draw(HWND window, HDC hdc, const RECT& bounds) noexcept
{
    const int width = bounds.right - bounds.left;
    const int height = bounds.bottom - bounds.top;
    if (!window || width <= 0 || height <= 0) {
        ::FillRect(hdc, &bounds, ::GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    RECT client{};
    ::GetClientRect(window, &client);
    UniqueHdc memory(::CreateCompatibleDC(hdc));
    UniqueHBitmap picture(::CreateCompatibleBitmap(hdc, client.right, client.bottom));
    if (!memory || !picture) {
        ::FillRect(hdc, &bounds, ::GetSysColorBrush(COLOR_BTNFACE));
        return;
    }
    HGDIOBJ old = ::SelectObject(memory.get(), picture.get());
    ::SendMessageW(window, WM_PRINT, reinterpret_cast<WPARAM>(memory.get()),
                   PRF_CLIENT | PRF_CHILDREN | PRF_ERASEBKGND | PRF_NONCLIENT);
    ::StretchBlt(hdc, bounds.left, bounds.top, width, height, memory.get(), 0, 0, client.right, client.bottom, SRCCOPY);
    ::SelectObject(memory.get(), old);
}

HACCEL MnemonicTable(HWND root, USHORT* count) noexcept
{
    if (count)
        *count = 0;
    if (!root)
        return nullptr;
    return RunSkippedOr<HACCEL>(nullptr, [&]() -> HACCEL {
        std::vector<HWND> all;
        Collect(root, all, true);
        std::vector<ACCEL> entries;
        for (HWND w : all) {
            wchar_t letter = MnemonicOf(w);
            if (!letter)
                continue;
            WORD key = static_cast<WORD>(::VkKeyScanW(letter) & 0xFF);
            entries.push_back(ACCEL{FVIRTKEY | FALT, key, static_cast<WORD>(::GetDlgCtrlID(w))});
        }
        if (entries.empty())
            return nullptr;
        if (count)
            *count = static_cast<USHORT>(entries.size());
        return ::CreateAcceleratorTableW(entries.data(), static_cast<int>(entries.size()));
    });
}

bool RunMnemonic(HWND root, const MSG& msg, RevealFunction reveal, void* control) noexcept
{
    wchar_t letter = 0;
    if (msg.message == WM_SYSCHAR || msg.message == WM_CHAR)
        letter = static_cast<wchar_t>(std::towupper(static_cast<wchar_t>(msg.wParam)));
    else if (msg.message == WM_SYSKEYDOWN || msg.message == WM_KEYDOWN)
        letter = static_cast<wchar_t>(::MapVirtualKeyW(static_cast<UINT>(msg.wParam), MAPVK_VK_TO_CHAR));
    if (!letter || !root)
        return false;
    return RunSkippedOr(false, [&] {
        std::vector<HWND> all;
        Collect(root, all, reveal != nullptr);
        for (size_t i = 0; i < all.size(); ++i) {
            HWND w = all[i];
            if (MnemonicOf(w) != letter || !::IsWindowEnabled(w))
                continue;
            if (HiddenTabPageOf(root, w)) {
                reveal(control, w);
                if (HiddenTabPageOf(root, w) || !::IsWindowEnabled(w))
                    return true; // the page is shown; its control may not be used now
            }
            if (IsOfClass(w, L"Static")) {
                // A label's mnemonic belongs to the control after it.
                for (size_t j = i + 1; j < all.size(); ++j)
                    if (::GetWindowLongW(all[j], GWL_STYLE) & WS_TABSTOP) {
                        ::SetFocus(all[j]);
                        return true;
                    }
                continue;
            }
            ::SetFocus(w);
            const LONG type = ::GetWindowLongW(w, GWL_STYLE) & BS_TYPEMASK;
            if (IsOfClass(w, L"Button") && type != BS_GROUPBOX)
                ::SendMessageW(w, BM_CLICK, 0, 0);
            return true;
        }
        return false;
    });
}

bool MoveFocusWithin(HWND root, bool backwards) noexcept
{
    return RunSkippedOr(false, [&] {
        std::vector<HWND> stops = TabStops(root);
        if (stops.empty())
            return false;
        HWND focus = ::GetFocus();
        size_t at = stops.size();
        for (size_t i = 0; i < stops.size(); ++i)
            if (stops[i] == focus || ::IsChild(stops[i], focus))
                at = i;
        if (at == stops.size())
            return false;
        if (backwards ? at == 0 : at + 1 == stops.size())
            return false; // leaving the control: the container's turn
        ::SetFocus(stops[backwards ? at - 1 : at + 1]);
        return true;
    });
}

bool IsWithin(HWND root, HWND window) noexcept { return root && (window == root || ::IsChild(root, window)); }

void WatchFocus(HWND root, FocusFunction focused, void* control) noexcept
{
    if (!root || !focused)
        return;
    RunSkipped([&] {
        UnwatchFocus(root);
        if (!t_focusHook)
            t_focusHook.reset(::SetWindowsHookExW(WH_CBT, &FocusHook, nullptr, ::GetCurrentThreadId()));
        t_watches.push_back(FocusWatch{root, focused, control});
    });
}

void UnwatchFocus(HWND root) noexcept
{
    if (!root)
        return;
    std::erase_if(t_watches, [root](const FocusWatch& watch) { return watch.root == root; });
    if (t_watches.empty())
        t_focusHook.reset();
}

} // namespace com::olecontrol
