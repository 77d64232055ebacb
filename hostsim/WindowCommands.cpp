#include "WindowCommands.h"

#include <commctrl.h>

#include "Scenario.h"
#include "WindowText.h"

namespace outlooksim {

namespace {

struct Search {
    const std::wstring* title;
    HWND found;
};

BOOL CALLBACK MatchTitle(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != ::GetCurrentProcessId())
        return TRUE;
    wchar_t title[256] = {};
    ::GetWindowTextW(hwnd, title, 256);
    if (*search->title == title) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

struct TipSearch {
    HWND owner;
    HWND control;
    std::wstring text;
};

// The tooltip text of a control, from the tooltip windows its window owns.
BOOL CALLBACK FindTip(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<TipSearch*>(param);
    if (ClassOf(hwnd) != TOOLTIPS_CLASSW || ::GetWindow(hwnd, GW_OWNER) != search->owner)
        return TRUE;
    const int count = static_cast<int>(::SendMessageW(hwnd, TTM_GETTOOLCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        TTTOOLINFOW ti{};
        ti.cbSize = TTTOOLINFOW_V2_SIZE;
        ti.lpszText = text;
        if (::SendMessageW(hwnd, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&ti)) &&
            reinterpret_cast<HWND>(ti.uId) == search->control) {
            search->text = text;
            return FALSE;
        }
    }
    return TRUE;
}

std::wstring TipOf(HWND window, HWND control)
{
    TipSearch search{window, control, {}};
    ::EnumWindows(&FindTip, reinterpret_cast<LPARAM>(&search));
    return search.text;
}

std::vector<HWND> Children(HWND window)
{
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(window, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

HWND FindList(HWND window)
{
    for (HWND child : Children(window))
        if (ClassOf(child) == WC_LISTVIEWW)
            return child;
    return nullptr;
}

std::wstring Quoted(const std::wstring& text) { return L"\"" + text + L"\""; }

std::wstring RectText(const RECT& rc)
{
    return std::to_wstring(rc.left) + L"," + std::to_wstring(rc.top) + L" " + std::to_wstring(rc.right - rc.left) +
           L"x" + std::to_wstring(rc.bottom - rc.top);
}

// Whether the list's owner draws the row in a bold font: asked the way the
// list view itself asks before it draws the row.
bool RowIsBold(HWND list, int row)
{
    HDC dc = ::CreateCompatibleDC(nullptr);
    if (!dc)
        return false;
    const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(list, WM_GETFONT, 0, 0)));
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr.hwndFrom = list;
    draw.nmcd.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(list));
    draw.nmcd.hdr.code = NM_CUSTOMDRAW;
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    draw.nmcd.hdc = dc;
    draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
    ::GetClientRect(list, &draw.nmcd.rc);
    ::SendMessageW(::GetParent(list), WM_NOTIFY, draw.nmcd.hdr.idFrom, reinterpret_cast<LPARAM>(&draw));
    LOGFONTW font{};
    const bool bold = ::GetObjectW(::GetCurrentObject(dc, OBJ_FONT), sizeof font, &font) && font.lfWeight >= FW_BOLD;
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    return bold;
}

} // namespace

HWND WindowCommands::Find(const std::wstring& title)
{
    Search search{&title, nullptr};
    ::EnumWindows(&MatchTitle, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::wstring WindowCommands::Act(HWND window, const std::wstring& action, const std::wstring& argument)
{
    // What the title bar's buttons do: a system command to the window.
    if (action == L"close")
        ::SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    else if (action == L"minimize")
        ::SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    else if (action == L"maximize")
        ::SendMessageW(window, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
    else if (action == L"restore")
        ::SendMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    else if (const auto size = action == L"size" ? ParseScenarioPair(argument, L'x') : std::nullopt)
        // As a drag of the border would: the window's size limits apply.
        ::SetWindowPos(window, nullptr, 0, 0, size->first, size->second, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    else if (const auto at = action == L"move" ? ParseScenarioPair(argument, L',') : std::nullopt)
        ::SetWindowPos(window, nullptr, at->first, at->second, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    else if (action == L"press") {
        for (HWND child : Children(window)) {
            if (ClassOf(child) != L"Button")
                continue;
            if (WithoutMnemonic(TextOf(child)) == argument || TipOf(window, child) == argument) {
                if (!::IsWindowEnabled(child) || !::IsWindowVisible(child))
                    return L"the button " + Quoted(argument) + L" is disabled or hidden";
                ::SendMessageW(child, BM_CLICK, 0, 0);
                return {};
            }
        }
        return L"the window has no button " + Quoted(argument);
    }
    return {};
}

std::vector<std::wstring> WindowCommands::Describe(HWND window)
{
    std::vector<std::wstring> lines;
    RECT outer{}, client{};
    ::GetWindowRect(window, &outer);
    ::GetClientRect(window, &client);
    const bool topmost = (::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
    lines.push_back(std::wstring(::IsWindowVisible(window) ? L"visible" : L"hidden") + L" " +
                    (::IsIconic(window)   ? L"minimized"
                     : ::IsZoomed(window) ? L"maximized"
                                          : L"normal") +
                    (topmost ? L" topmost" : L"") + L", at " + RectText(outer) + L", client " +
                    std::to_wstring(client.right) + L"x" + std::to_wstring(client.bottom));
    for (HWND child : Children(window)) {
        RECT rc{};
        ::GetWindowRect(child, &rc);
        ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rc), 2);
        std::wstring line = L"  " + ClassOf(child);
        const std::wstring text = TextOf(child), tip = TipOf(window, child);
        if (!text.empty())
            line += L" " + Quoted(text);
        if (!tip.empty())
            line += L" tip " + Quoted(tip);
        if (ClassOf(child) == L"Button")
            line += ::SendMessageW(child, BM_GETCHECK, 0, 0) == BST_CHECKED ? L", checked" : L"";
        line += ::IsWindowEnabled(child) ? L"" : L", disabled";
        line += ::IsWindowVisible(child) ? L"" : L", hidden";
        lines.push_back(line + L", at " + RectText(rc));
    }
    return lines;
}

std::vector<std::wstring> WindowCommands::ListRows(HWND window)
{
    std::vector<std::wstring> lines;
    HWND list = FindList(window);
    if (!list)
        return {L"no list view"};
    std::wstring columns = L"columns:";
    int columnCount = 0;
    for (;; ++columnCount) {
        wchar_t text[128] = {};
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
        col.pszText = text;
        col.cchTextMax = 128;
        if (!::SendMessageW(list, LVM_GETCOLUMNW, columnCount, reinterpret_cast<LPARAM>(&col)))
            break;
        const int align = col.fmt & LVCFMT_JUSTIFYMASK;
        columns += L" " + Quoted(text) + L" " + std::to_wstring(col.cx) +
                   (align == LVCFMT_RIGHT    ? L" right"
                    : align == LVCFMT_CENTER ? L" centre"
                                             : L" left");
    }
    lines.push_back(columns);
    const int rows = static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
    for (int row = 0; row < rows; ++row) {
        std::wstring line = L"row " + std::to_wstring(row + 1) + L":";
        for (int column = 0; column < columnCount; ++column) {
            wchar_t text[512] = {};
            LVITEMW item{};
            item.iSubItem = column;
            item.pszText = text;
            item.cchTextMax = 512;
            ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
            line += (column ? L" | " : L" ") + Quoted(text);
        }
        const bool selected = ::SendMessageW(list, LVM_GETITEMSTATE, row, LVIS_SELECTED) & LVIS_SELECTED;
        const bool bold = RowIsBold(list, row);
        if (bold || selected)
            line += std::wstring(L" (") + (bold ? L"bold" : L"") + (bold && selected ? L", " : L"") +
                    (selected ? L"selected" : L"") + L")";
        lines.push_back(line);
    }
    return lines;
}

} // namespace outlooksim
