#include "ExplorerWindow.h"

#include <commctrl.h>

#include <string>

#include "Folder.h"
#include "MessageItem.h"
#include "Session.h"
#include "com/ComModule.h"

namespace outlooksim {

namespace {

constexpr int kTreeWidth = 230;

bool EnsureClass(WNDPROC proc)
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (::GetClassInfoExW(com::Module::Instance(), ExplorerWindow::kClassName, &wc))
        return true;
    wc.lpfnWndProc = proc;
    wc.hInstance = com::Module::Instance();
    wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = ExplorerWindow::kClassName;
    return ::RegisterClassExW(&wc) != 0;
}

void AddColumn(HWND list, int index, const wchar_t* title, int width)
{
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.pszText = const_cast<wchar_t*>(title);
    col.cx = width;
    ::SendMessageW(list, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&col));
}

} // namespace

ExplorerWindow::ExplorerWindow(Session& session) : m_session(session)
{
    if (!EnsureClass(&WndProc))
        return;
    m_hwnd = ::CreateWindowExW(0, kClassName, L"Microsoft Outlook", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 40, 60, 900,
                               620, nullptr, nullptr, com::Module::Instance(), nullptr);
    if (!m_hwnd)
        return;
    ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_tree =
        ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_TREEVIEWW, L"",
                          WS_CHILD | WS_VISIBLE | TVS_HASLINES | TVS_HASBUTTONS | TVS_LINESATROOT | TVS_SHOWSELALWAYS,
                          0, 0, 0, 0, m_hwnd, nullptr, com::Module::Instance(), nullptr);
    m_list = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, 0, 0, 0,
                               m_hwnd, nullptr, com::Module::Instance(), nullptr);
    HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    ::SendMessageW(m_tree, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ::SendMessageW(m_list, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ::SendMessageW(m_list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
    AddColumn(m_list, 0, L"Von", 170);
    AddColumn(m_list, 1, L"Betreff", 260);
    AddColumn(m_list, 2, L"Erhalten", 130);
    Layout();
    ::ShowWindow(m_hwnd, SW_SHOWNORMAL);
    ::UpdateWindow(m_hwnd);
}

ExplorerWindow::~ExplorerWindow()
{
    if (m_hwnd) {
        ::SetWindowLongPtrW(m_hwnd, GWLP_USERDATA, 0);
        ::DestroyWindow(m_hwnd);
    }
}

LRESULT CALLBACK ExplorerWindow::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* self = reinterpret_cast<ExplorerWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (self && msg == WM_SIZE)
        self->Layout();
    // The explorer goes away only when the host says so.
    if (msg == WM_CLOSE)
        return 0;
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

void ExplorerWindow::Layout() noexcept
{
    RECT rc{};
    ::GetClientRect(m_hwnd, &rc);
    ::MoveWindow(m_tree, 0, 0, kTreeWidth, rc.bottom, TRUE);
    ::MoveWindow(m_list, kTreeWidth + 4, 0, rc.right - kTreeWidth - 4, rc.bottom, TRUE);
}

void ExplorerWindow::Show(Folder* current)
{
    if (!m_hwnd)
        return;
    std::wstring caption = (current ? current->Name() + L" - " : std::wstring()) + L"Microsoft Outlook";
    ::SetWindowTextW(m_hwnd, caption.c_str());
    FillTree(current);
    FillList(current);
}

HTREEITEM ExplorerWindow::AddTreeItem(HTREEITEM parent, const wchar_t* text)
{
    TVINSERTSTRUCTW ins{};
    ins.hParent = parent;
    ins.hInsertAfter = TVI_LAST;
    ins.item.mask = TVIF_TEXT;
    ins.item.pszText = const_cast<wchar_t*>(text);
    return reinterpret_cast<HTREEITEM>(::SendMessageW(m_tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
}

void ExplorerWindow::FillTree(Folder* current)
{
    ::SendMessageW(m_tree, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(m_tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    HTREEITEM selected = nullptr;
    for (const auto& store : m_session.Stores()) {
        // Folders come after their parents in a store's list.
        std::map<Folder*, HTREEITEM> nodes;
        for (const auto& folder : store->Folders()) {
            Folder* parent = folder->ParentFolder();
            HTREEITEM parentNode = parent && nodes.count(parent) ? nodes[parent] : TVI_ROOT;
            HTREEITEM node = AddTreeItem(parentNode, folder->Name().c_str());
            nodes[folder.Get()] = node;
            if (folder.Get() == current)
                selected = node;
        }
        for (const auto& [folder, node] : nodes)
            ::SendMessageW(m_tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(node));
    }
    if (selected)
        ::SendMessageW(m_tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(selected));
    ::SendMessageW(m_tree, WM_SETREDRAW, TRUE, 0);
}

void ExplorerWindow::FillList(Folder* current)
{
    ::SendMessageW(m_list, LVM_DELETEALLITEMS, 0, 0);
    if (!current)
        return;
    int row = 0;
    for (const auto& item : current->Contents()) {
        std::wstring texts[] = {item.data->sender, item.data->subject, FormatDate(item.data->received)};
        LVITEMW lv{};
        lv.mask = LVIF_TEXT;
        lv.iItem = row;
        lv.pszText = texts[0].data();
        ::SendMessageW(m_list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&lv));
        for (int col = 1; col < 3; ++col) {
            lv.iSubItem = col;
            lv.pszText = texts[col].data();
            ::SendMessageW(m_list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&lv));
        }
        ++row;
    }
}

void ExplorerWindow::BringToFront() noexcept
{
    if (!m_hwnd)
        return;
    if (::IsIconic(m_hwnd))
        ::ShowWindow(m_hwnd, SW_RESTORE);
    ::SetForegroundWindow(m_hwnd);
    ::BringWindowToTop(m_hwnd);
}

} // namespace outlooksim
