// The page's window: every control at its design position in twips,
// converted with the screen's real resolution, and the messages of the
// controls turned into the page's handlers.
//
// The frames and the two tab pages are panels: plain child windows that
// hand their controls' messages to the page's window. The tab control
// itself covers only its strip of tabs; the panel of the current tab lies
// below it and draws the rest of the tab's border, so no two windows
// overlap.
#include <windows.h>
#include <commctrl.h>

#include "Guarded.h"
#include "PropsResources.h"
#include "Reported.h"
#include "com/ComModule.h"
#include "zarqPropMain.h"

namespace {

constexpr const wchar_t kPageClass[] = L"corvaneProps.zarqPropMain";
constexpr const wchar_t kPanelClass[] = L"corvaneProps.Panel";

const wchar_t* const kBoxCaptions[] = {
    L"Diesen Ordner \u00FCberwachen",
    L"Sound abspielen",
    L"Standard - Outlook - Sound verwenden",
    L"Mauszeiger ver\u00E4ndern",
    L"Symbol in Taskleiste anzeigen",
};
constexpr const wchar_t kFrameCaption[] = L" \u00DCberwachungsoptionen ";

void RegisterClasses()
{
    static bool done = false;
    if (done)
        return;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    done = true;
}

HFONT MakeFont(const Twips& twips, const wchar_t* face, double points, int weight)
{
    LOGFONTW lf{};
    lf.lfHeight = twips.FontHeight(points);
    lf.lfWeight = weight;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return ::CreateFontIndirectW(&lf);
}

} // namespace

HWND zarqPropMain::CreateControlWindow(HWND parent, const RECT& pos)
{
    RegisterClasses();
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.hInstance = com::Module::Instance();
    wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)) /* IDC_ARROW */;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpfnWndProc = &WndProc;
    wc.lpszClassName = kPageClass;
    ::RegisterClassExW(&wc);
    wc.lpfnWndProc = &PanelProc;
    wc.lpszClassName = kPanelClass;
    ::RegisterClassExW(&wc);

    m_tahoma.reset(MakeFont(m_twips, L"Tahoma", 8.25, FW_NORMAL));
    m_title.reset(MakeFont(m_twips, L"Arial", 14.25, FW_BOLD));
    HWND root = ::CreateWindowExW(WS_EX_CONTROLPARENT, kPageClass, L"", WS_CHILD | WS_CLIPCHILDREN, pos.left, pos.top,
                                  pos.right - pos.left, pos.bottom - pos.top, parent, nullptr,
                                  com::Module::Instance(), this);
    if (!root)
        return nullptr;
    m_w.root = root;
    CreateChildren();
    return root;
}

HWND zarqPropMain::Child(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, const RECT& rect,
                         HFONT font, DWORD exStyle)
{
    static int nextId = 1000;
    HWND child = ::CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                                   rect.right - rect.left, rect.bottom - rect.top, parent,
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(++nextId)), com::Module::Instance(),
                                   reinterpret_cast<void*>(m_w.root));
    if (child && font)
        ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

HWND zarqPropMain::Picture(HWND parent, int resource, int left, int top)
{
    HWND picture = Child(parent, L"STATIC", L"", SS_ICON, m_twips.ToPixels(left, top, 480, 480), nullptr);
    HANDLE icon = ::LoadImageW(com::Module::Instance(), MAKEINTRESOURCEW(resource), IMAGE_ICON, 32, 32, LR_SHARED);
    ::SendMessageW(picture, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    return picture;
}

void zarqPropMain::CreateChildren()
{
    HFONT tahoma = m_tahoma.get();
    HWND root = m_w.root;
    m_w.lblCurrentFolder = Child(root, L"STATIC", m_folderDisplayName.c_str(), SS_LEFT | SS_NOPREFIX,
                                 m_twips.ToPixels(240, 240, 5535, 375), m_title.get());
    m_w.boxes[chkWatchFolder] = Child(root, L"BUTTON", kBoxCaptions[chkWatchFolder], BS_AUTOCHECKBOX | WS_TABSTOP,
                                      m_twips.ToPixels(120, 780, 2295, 255), tahoma);

    // The frame of a watched folder with its tab control.
    const RECT frame = m_twips.ToPixels(120, 1200, 5775, 4035);
    const RECT inFrame{0, 0, frame.right - frame.left, frame.bottom - frame.top};
    m_w.fraWatch = Child(root, kPanelClass, L"", 0, frame, nullptr, WS_EX_CONTROLPARENT);
    const RECT tab = m_twips.ToPixels(240, 360, 5355, 3435);
    m_w.tabMain = Child(m_w.fraWatch, WC_TABCONTROLW, L"", WS_TABSTOP, tab, tahoma);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(L"Standardaktionen");
    ::SendMessageW(m_w.tabMain, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    item.pszText = const_cast<wchar_t*>(L"Plugins");
    ::SendMessageW(m_w.tabMain, TCM_INSERTITEMW, 1, reinterpret_cast<LPARAM>(&item));
    RECT display{0, 0, tab.right - tab.left, tab.bottom - tab.top};
    TabCtrl_AdjustRect(m_w.tabMain, FALSE, &display);
    const int strip = display.top - 2; // the tabs and the top line of the border
    ::MoveWindow(m_w.tabMain, tab.left, tab.top, tab.right - tab.left, strip + 2, FALSE);
    const RECT pageRect{tab.left, tab.top + strip, tab.right, tab.bottom};
    // Positions on a tab are given from the tab control's corner.
    auto onTab = [&](int left, int top, int width, int height) {
        RECT r = m_twips.ToPixels(left, top, width, height);
        ::OffsetRect(&r, 0, -strip);
        return r;
    };
    for (HWND& page : m_w.tabPages) {
        page = Child(m_w.fraWatch, kPanelClass, L"", 0, pageRect, nullptr, WS_EX_CONTROLPARENT);
        com::olecontrol::MarkTabPage(page);
    }

    HWND page0 = m_w.tabPages[0];
    Picture(page0, IDI_SOUND, 120, 480 - static_cast<int>(m_twips.ToTwipsY(strip)));
    m_w.boxes[chkPlaySound] =
        Child(page0, L"BUTTON", kBoxCaptions[chkPlaySound], BS_AUTOCHECKBOX | WS_TABSTOP, onTab(720, 540, 1575, 255), tahoma);
    m_w.txtSoundFile = Child(page0, L"EDIT", m_soundFile.c_str(), ES_AUTOHSCROLL | WS_TABSTOP,
                             onTab(1020, 840, 2775, 315), tahoma, WS_EX_CLIENTEDGE);
    m_w.btnChooseSound =
        Child(page0, L"BUTTON", L"Durchsuchen...", BS_PUSHBUTTON | WS_TABSTOP, onTab(3900, 818, 1335, 359), tahoma);
    m_w.boxes[chkUseDefaultSound] = Child(page0, L"BUTTON", kBoxCaptions[chkUseDefaultSound],
                                          BS_AUTOCHECKBOX | WS_TABSTOP, onTab(1020, 1260, 3195, 255), tahoma);
    Picture(page0, IDI_CURSOR, 120, 1620 - static_cast<int>(m_twips.ToTwipsY(strip)));
    m_w.boxes[chkChangeCursor] = Child(page0, L"BUTTON", kBoxCaptions[chkChangeCursor], BS_AUTOCHECKBOX | WS_TABSTOP,
                                       onTab(720, 1740, 1935, 255), tahoma);
    Picture(page0, IDI_TRAY, 120, 2340 - static_cast<int>(m_twips.ToTwipsY(strip)));
    m_w.boxes[chkShowTrayIcon] = Child(page0, L"BUTTON", kBoxCaptions[chkShowTrayIcon], BS_AUTOCHECKBOX | WS_TABSTOP,
                                       onTab(720, 2460, 2475, 255), tahoma);

    HWND page1 = m_w.tabPages[1];
    m_w.lvwPlugin = Child(page1, WC_LISTVIEWW, L"",
                          LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP, onTab(180, 480, 4995, 2295),
                          tahoma, WS_EX_CLIENTEDGE);
    ListView_SetExtendedListViewStyle(m_w.lvwPlugin, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(L"Name");
    column.cx = m_twips.ToPixelsX(1440);
    ::SendMessageW(m_w.lvwPlugin, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    column.pszText = const_cast<wchar_t*>(L"Beschreibung");
    column.cx = m_twips.ToPixelsX(m_descriptionWidth);
    ::SendMessageW(m_w.lvwPlugin, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
    m_w.btnInfo = Child(page1, L"BUTTON", L"&Info...", BS_PUSHBUTTON | WS_TABSTOP, onTab(2940, 2880, 1095, 359), tahoma);
    m_w.btnConfig =
        Child(page1, L"BUTTON", L"&Optionen...", BS_PUSHBUTTON | WS_TABSTOP, onTab(4080, 2880, 1095, 359), tahoma);
    m_w.tooltip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, root, nullptr,
                                    com::Module::Instance(), nullptr);
    TOOLINFOW tool{};
    // The full structure is known to the common controls of version 6 only;
    // without a manifest (Outlook 2000 on Windows XP) version 5 refuses it.
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = page1;
    tool.uId = reinterpret_cast<UINT_PTR>(m_w.btnInfo);
    tool.lpszText = m_infoTip.data();
    ::SendMessageW(m_w.tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));

    // The frame's border goes below everything inside it.
    HWND border = Child(m_w.fraWatch, L"BUTTON", kFrameCaption, BS_GROUPBOX, inFrame, tahoma);
    ::SetWindowPos(border, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    // The frame of a folder that is not watched.
    m_w.fraDontWatch = Child(root, kPanelClass, L"", 0, frame, nullptr, WS_EX_CONTROLPARENT);
    Child(m_w.fraDontWatch, L"BUTTON", kFrameCaption, BS_GROUPBOX, inFrame, tahoma);
    Picture(m_w.fraDontWatch, IDI_FOLDER, 2640, 960);
    Child(m_w.fraDontWatch, L"STATIC",
          L"Die \u00DCberwachung f\u00FCr diesen Ordner ist nicht aktiviert. Es stehen daher keine "
          L"\u00DCberwachungsoptionen zur Verf\u00FCgung.",
          SS_LEFT | SS_NOPREFIX, m_twips.ToPixels(1380, 1620, 3375, 615), tahoma);

    // What the members hold so far.
    for (int box = 0; box < kBoxCount; ++box)
        ::SendMessageW(m_w.boxes[box], BM_SETCHECK, m_boxes[box] ? BST_CHECKED : BST_UNCHECKED, 0);
    const bool watch = IsChecked(chkWatchFolder);
    ::ShowWindow(watch ? m_w.fraDontWatch : m_w.fraWatch, SW_HIDE);
    ShowPluginTab();
    TabCtrl_SetCurSel(m_w.tabMain, m_tab);
    ShowTabPage();
    FillPluginList();
    SyncEnabledStates();
}

void zarqPropMain::SyncEnabledStates()
{
    if (!m_w.root)
        return;
    ::EnableWindow(m_w.txtSoundFile, m_soundFileEnabled);
    ::EnableWindow(m_w.btnChooseSound, m_soundFileEnabled);
    ::EnableWindow(m_w.boxes[chkUseDefaultSound], m_useDefaultSoundEnabled);
    ::EnableWindow(m_w.btnInfo, m_pluginButtonsEnabled);
    ::EnableWindow(m_w.btnConfig, m_pluginButtonsEnabled);
}

// The tab "Plugins" is shown or taken out of the tab control.
void zarqPropMain::ShowPluginTab()
{
    if (!m_w.tabMain)
        return;
    const int count = TabCtrl_GetItemCount(m_w.tabMain);
    if (m_pluginTabVisible && count == 1) {
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = const_cast<wchar_t*>(L"Plugins");
        ::SendMessageW(m_w.tabMain, TCM_INSERTITEMW, 1, reinterpret_cast<LPARAM>(&item));
    } else if (!m_pluginTabVisible && count == 2) {
        if (m_tab == 1) {
            m_tab = 0;
            TabCtrl_SetCurSel(m_w.tabMain, 0);
            ShowTabPage();
        }
        TabCtrl_DeleteItem(m_w.tabMain, 1);
    }
}

void zarqPropMain::ShowTabPage()
{
    if (!m_w.tabMain)
        return;
    ::ShowWindow(m_w.tabPages[m_tab == 1 ? 0 : 1], SW_HIDE);
    ::ShowWindow(m_w.tabPages[m_tab == 1 ? 1 : 0], SW_SHOW);
}

// The tab with this index is shown as a click on it shows it.
void zarqPropMain::SelectTab(int tab)
{
    if (!m_w.tabMain)
        return;
    TabCtrl_SetCurSel(m_w.tabMain, tab);
    m_tab = TabCtrl_GetCurSel(m_w.tabMain) == 1 ? 1 : 0;
    ShowTabPage();
    TabClicked();
}

// A mnemonic's control on the tab that is not shown: its tab is shown.
void zarqPropMain::RevealControl(HWND window) noexcept
{
    for (int tab = 0; tab < 2; ++tab)
        if (tab != m_tab && m_w.tabPages[tab] && ::IsChild(m_w.tabPages[tab], window))
            RunSkipped([&] { SelectTab(tab); });
}

void zarqPropMain::FillPluginList()
{
    if (!m_w.lvwPlugin)
        return;
    m_quiet = true;
    ListView_DeleteAllItems(m_w.lvwPlugin);
    for (size_t i = 0; i < m_plugins.size(); ++i) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(i);
        item.pszText = m_plugins[i].text.data();
        const int at =
            static_cast<int>(::SendMessageW(m_w.lvwPlugin, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
        LVITEMW sub{};
        sub.iSubItem = 1;
        sub.pszText = m_plugins[i].description.data();
        ::SendMessageW(m_w.lvwPlugin, LVM_SETITEMTEXTW, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&sub));
        ListView_SetCheckState(m_w.lvwPlugin, at, m_plugins[i].checked);
    }
    if (m_selected >= 0)
        ListView_SetItemState(m_w.lvwPlugin, m_selected, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_quiet = false;
}

void zarqPropMain::PaintBand(HDC hdc)
{
    RECT band = m_twips.ToPixels(120, 180, 5775, 435);
    ::FillRect(hdc, &band, ::GetSysColorBrush(COLOR_APPWORKSPACE));
}

void zarqPropMain::OnCommand(HWND control, WORD code)
{
    if (m_quiet)
        return;
    if (code == BN_CLICKED) {
        for (int box = 0; box < kBoxCount; ++box) {
            if (control != m_w.boxes[box])
                continue;
            m_boxes[box] = ::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
            BoxClicked(static_cast<Box>(box));
            return;
        }
        if (control == m_w.btnChooseSound)
            ChooseSound();
        else if (control == m_w.btnInfo)
            RunPluginMethod(pmInfo);
        else if (control == m_w.btnConfig)
            RunPluginMethod(pmOptions);
    } else if (code == EN_CHANGE && control == m_w.txtSoundFile) {
        const int length = ::GetWindowTextLengthW(control);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        text.resize(static_cast<size_t>(::GetWindowTextW(control, text.data(), length + 1)));
        m_soundFile = text;
        SoundFileChanged();
    }
}

void zarqPropMain::OnNotify(const NMHDR& header)
{
    if (header.hwndFrom == m_w.tabMain && header.code == TCN_SELCHANGE) {
        SelectTab(TabCtrl_GetCurSel(m_w.tabMain));
        return;
    }
    if (header.hwndFrom != m_w.lvwPlugin || header.code != LVN_ITEMCHANGED || m_quiet)
        return;
    const auto& change = reinterpret_cast<const NMLISTVIEW&>(header);
    if (change.iItem < 0 || static_cast<size_t>(change.iItem) >= m_plugins.size() || !(change.uChanged & LVIF_STATE))
        return;
    const UINT changed = change.uNewState ^ change.uOldState;
    if ((changed & LVIS_STATEIMAGEMASK) && (change.uOldState & LVIS_STATEIMAGEMASK)) {
        m_plugins[static_cast<size_t>(change.iItem)].checked = ListView_GetCheckState(m_w.lvwPlugin, change.iItem) != 0;
        ItemChecked(change.iItem);
    }
    if ((changed & LVIS_SELECTED) && (change.uNewState & LVIS_SELECTED)) {
        m_selected = change.iItem;
        ItemClicked(m_selected);
    }
}

LRESULT zarqPropMain::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_COMMAND:
        OnCommand(reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        return 0;
    case WM_NOTIFY:
        OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        return 0;
    case WM_CTLCOLORSTATIC:
        if (reinterpret_cast<HWND>(lParam) == m_w.lblCurrentFolder) {
            HDC hdc = reinterpret_cast<HDC>(wParam);
            ::SetTextColor(hdc, ::GetSysColor(COLOR_CAPTIONTEXT));
            ::SetBkColor(hdc, ::GetSysColor(COLOR_APPWORKSPACE));
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_APPWORKSPACE));
        }
        break;
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        HDC hdc = ::BeginPaint(m_w.root, &ps);
        PaintBand(hdc);
        ::EndPaint(m_w.root, &ps);
        return 0;
    }
    case WM_PRINTCLIENT:
        PaintBand(reinterpret_cast<HDC>(wParam));
        return 0;
    case WM_SETFOCUS:
        // The focus goes on to the first control of the page.
        if (HWND first = ::GetNextDlgTabItem(m_w.root, nullptr, FALSE))
            ::SetFocus(first);
        return 0;
    default:
        break;
    }
    return ::DefWindowProcW(m_w.root, msg, wParam, lParam);
}

LRESULT CALLBACK zarqPropMain::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE) {
        auto* self = static_cast<zarqPropMain*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->m_w.root = hwnd;
    }
    auto* self = reinterpret_cast<zarqPropMain*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (msg == WM_DESTROY && self && self->m_w.tooltip) {
        ::DestroyWindow(self->m_w.tooltip); // a popup: it does not go with the page's window
        self->m_w.tooltip = nullptr;
    }
    if (msg == WM_NCDESTROY && self) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->m_w = Windows{};
        self->ControlWindowGone();
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    }
    if (!self || !self->m_w.root)
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    return RunAnswered<LRESULT>("zarqPropMain::WndProc()", 0, [&] { return self->OnMessage(msg, wParam, lParam); });
}

// A frame or a tab page: its controls' messages go to the page's window.
LRESULT CALLBACK zarqPropMain::PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_NCCREATE)
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    HWND root = reinterpret_cast<HWND>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    switch (msg) {
    case WM_COMMAND:
    case WM_NOTIFY:
        if (root)
            return ::SendMessageW(root, msg, wParam, lParam);
        break;
    case WM_PAINT:
    case WM_PRINTCLIENT:
        if (com::olecontrol::IsTabPage(hwnd)) {
            PAINTSTRUCT ps{};
            HDC hdc = msg == WM_PAINT ? ::BeginPaint(hwnd, &ps) : reinterpret_cast<HDC>(wParam);
            RECT rc{};
            ::GetClientRect(hwnd, &rc);
            ::DrawEdge(hdc, &rc, EDGE_RAISED, BF_LEFT | BF_RIGHT | BF_BOTTOM);
            if (msg == WM_PAINT)
                ::EndPaint(hwnd, &ps);
            return 0;
        }
        break;
    case WM_NCDESTROY:
        com::olecontrol::UnmarkTabPage(hwnd);
        break;
    default:
        break;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}
