// The page's window: every control at its design position in twips from
// the page's layout tables, converted at the window's DPI, and the messages
// of the controls, found by their ids, turned into the page's handlers.
//
// The frames and the two tab pages are panels: plain child windows that
// hand their controls' messages to the page's window. The tab control
// itself covers only its strip of tabs; the panel of the current tab lies
// below it and draws the rest of the tab's border, so no two windows
// overlap.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>

#include "Guarded.h"
#include "PropsResources.h"
#include "Reported.h"
#include "com/ComModule.h"
#include "zarqPropMain.h"
#include "zarqPropMainLayout.h"

using namespace pagelayout;

namespace {

const ui::WindowClass kPageClass{L"corvaneProps.zarqPropMain"};
const ui::WindowClass kPanelClass{L"corvaneProps.Panel"};

// The check boxes' ids, in the order of the page's Box values.
constexpr int kBoxIds[] = {IDC_CHKWATCHFOLDER, IDC_CHKPLAYSOUND, IDC_CHKUSEDEFAULTSOUND, IDC_CHKCHANGECURSOR,
                           IDC_CHKSHOWTRAYICON};

void InitPageControls()
{
    static bool done = false;
    if (done)
        return;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    done = true;
}

} // namespace

HWND zarqPropMain::CreateControlWindow(HWND parent, const RECT& pos)
{
    InitPageControls();
    HWND root = CreateFor(kPageClass, WS_EX_CONTROLPARENT, L"", WS_CHILD | WS_CLIPCHILDREN, pos, parent);
    if (!root)
        return nullptr;
    m_twips = Scale();
    CreateChildren();
    return root;
}

// The strip of tabs, in pixels: the tab control's client area above its
// display area, less the top line of the border (two pixels, an edge).
int zarqPropMain::TabStrip() const noexcept
{
    const RECT tab = ui::ControlRect(kTabMain, m_twips);
    RECT display{0, 0, tab.right - tab.left, tab.bottom - tab.top};
    TabCtrl_AdjustRect(m_w.tabMain, FALSE, &display);
    return display.top - ::GetSystemMetrics(SM_CYEDGE);
}

// The tab control narrowed to its strip, the tab pages below it (shorter
// than the design by as many pixels as the page is).
void zarqPropMain::PlaceTabs(int shorter) noexcept
{
    const RECT tab = ui::ControlRect(kTabMain, m_twips);
    const int strip = TabStrip();
    ::MoveWindow(m_w.tabMain, tab.left, tab.top, tab.right - tab.left, strip + ::GetSystemMetrics(SM_CYEDGE), FALSE);
    for (HWND page : m_w.tabPages)
        ::MoveWindow(page, tab.left, tab.top + strip, tab.right - tab.left, tab.bottom - tab.top - strip - shorter,
                     FALSE);
}

// How many pixels the page is shorter than its design. A property sheet
// sizes its pages in dialog units, which follow the height of the sheet's
// font rather than the DPI, so a sheet at 144 dpi can give the page less
// than its design height. The page then gives up the room below the
// controls of the tab "Standardaktionen", and no more.
int zarqPropMain::ShortenBy() const noexcept
{
    RECT client{};
    if (!m_w.root || !::GetClientRect(m_w.root, &client))
        return 0;
    return std::clamp(m_twips.ToPixelsY(kDesignTwips.cy) - static_cast<int>(client.bottom), 0,
                      m_twips.ToPixelsY(kMostShortening));
}

// The frames, their borders and the tab pages as long as the page allows;
// the plug-in list shortened with them, its buttons kept at its foot.
void zarqPropMain::FitToHeight() noexcept
{
    if (!m_w.root)
        return;
    const int shorter = ShortenBy();
    const auto place = [](HWND control, const RECT& design, int up, int shortened) {
        ::MoveWindow(control, design.left, design.top - up, design.right - design.left,
                     design.bottom - design.top - shortened, TRUE);
    };
    for (size_t i = 0; i < std::size(kFrames); ++i)
        place(m_frames[i].Hwnd(), ui::ControlRect(kFrames[i], m_twips), 0, shorter);
    place(::GetDlgItem(m_w.fraWatch, IDC_FRAWATCHBORDER),
          ui::ControlRect(ui::DesignIn(kWatchFrame, IDC_FRAWATCHBORDER), m_twips), 0, shorter);
    place(::GetDlgItem(m_w.fraDontWatch, IDC_FRADONTWATCHBORDER),
          ui::ControlRect(ui::DesignIn(kDontWatchFrame, IDC_FRADONTWATCHBORDER), m_twips), 0, shorter);
    PlaceTabs(shorter);
    const POINT onTab{0, TabStrip()};
    place(m_w.lvwPlugin, ui::ControlRect(ui::DesignIn(kPluginTab, IDC_LVWPLUGIN), m_twips, onTab), 0, shorter);
    place(m_w.btnInfo, ui::ControlRect(ui::DesignIn(kPluginTab, IDC_BTNINFO), m_twips, onTab), shorter, 0);
    place(m_w.btnConfig, ui::ControlRect(ui::DesignIn(kPluginTab, IDC_BTNCONFIG), m_twips, onTab), shorter, 0);
}

// The pictures at the size of their controls, loaded again at each DPI.
void zarqPropMain::ShowPictures() noexcept
{
    const int size = m_twips.ToPixelsX(kStandardTab[0].width);
    static_assert(std::size(kPictures) == kPictureCount, "one icon per picture");
    for (size_t i = 0; i < std::size(kPictures); ++i) {
        m_pictures[i].reset(static_cast<HICON>(
            ::LoadImageW(com::Module::Instance(), MAKEINTRESOURCEW(kPictures[i].resource), IMAGE_ICON, size, size, 0)));
        for (HWND panel : {m_w.tabPages[0], m_w.fraDontWatch})
            if (HWND control = ::GetDlgItem(panel, kPictures[i].id))
                ::SendMessageW(control, STM_SETICON, reinterpret_cast<WPARAM>(m_pictures[i].get()), 0);
    }
}

// Where each table's controls go.
zarqPropMain::Targets zarqPropMain::LayoutTargets() const noexcept
{
    const POINT onTab{0, TabStrip()};
    return Targets{{m_w.root}, {m_w.fraWatch}, {m_w.tabPages[0], onTab}, {m_w.tabPages[1], onTab}, {m_w.fraDontWatch}};
}

void zarqPropMain::CreateChildren()
{
    HWND root = Hwnd();
    m_w.root = root;
    m_fonts.Make(kFonts, m_twips);
    ui::CreateControls({root}, kPage, m_twips, m_fonts);
    m_w.lblCurrentFolder = ::GetDlgItem(root, IDC_LBLCURRENTFOLDER);
    ::SetWindowTextW(m_w.lblCurrentFolder, m_folderDisplayName.c_str());
    m_w.boxes[chkWatchFolder] = ::GetDlgItem(root, IDC_CHKWATCHFOLDER);

    // The frame of a watched folder with its tab control.
    m_frames[0].Create(kPanelClass, {root}, kFrames[0], m_twips, root, ui::Panel::Border::None);
    m_w.fraWatch = m_frames[0].Hwnd();
    ui::CreateControls({m_w.fraWatch}, kWatchFrame, m_twips, m_fonts);
    m_w.tabMain = ::GetDlgItem(m_w.fraWatch, IDC_TABMAIN);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(L"Standardaktionen");
    ::SendMessageW(m_w.tabMain, TCM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    item.pszText = const_cast<wchar_t*>(L"Plugins");
    ::SendMessageW(m_w.tabMain, TCM_INSERTITEMW, 1, reinterpret_cast<LPARAM>(&item));
    for (int tab = 0; tab < 2; ++tab) {
        m_tabPanels[tab].Create(kPanelClass, {m_w.fraWatch}, kTabPages[tab], m_twips, root, ui::Panel::Border::TabPage);
        m_w.tabPages[tab] = m_tabPanels[tab].Hwnd();
        com::olecontrol::MarkTabPage(m_w.tabPages[tab]);
    }
    PlaceTabs();
    // The frame's border goes below everything inside it.
    ::SetWindowPos(::GetDlgItem(m_w.fraWatch, IDC_FRAWATCHBORDER), HWND_BOTTOM, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    // The frame of a folder that is not watched.
    m_frames[1].Create(kPanelClass, {root}, kFrames[1], m_twips, root, ui::Panel::Border::None);
    m_w.fraDontWatch = m_frames[1].Hwnd();

    const Targets targets = LayoutTargets();
    ui::CreateControls(targets.standardTab, kStandardTab, m_twips, m_fonts);
    ui::CreateControls(targets.pluginTab, kPluginTab, m_twips, m_fonts);
    ui::CreateControls(targets.dontWatchFrame, kDontWatchFrame, m_twips, m_fonts);
    ShowPictures();

    HWND page0 = m_w.tabPages[0];
    m_w.boxes[chkPlaySound] = ::GetDlgItem(page0, IDC_CHKPLAYSOUND);
    m_w.txtSoundFile = ::GetDlgItem(page0, IDC_TXTSOUNDFILE);
    m_quiet = true; // showing the member's text changes nothing
    ::SetWindowTextW(m_w.txtSoundFile, m_soundFile.c_str());
    m_quiet = false;
    m_w.btnChooseSound = ::GetDlgItem(page0, IDC_BTNCHOOSESOUND);
    m_w.boxes[chkUseDefaultSound] = ::GetDlgItem(page0, IDC_CHKUSEDEFAULTSOUND);
    m_w.boxes[chkChangeCursor] = ::GetDlgItem(page0, IDC_CHKCHANGECURSOR);
    m_w.boxes[chkShowTrayIcon] = ::GetDlgItem(page0, IDC_CHKSHOWTRAYICON);

    HWND page1 = m_w.tabPages[1];
    m_w.lvwPlugin = ::GetDlgItem(page1, IDC_LVWPLUGIN);
    ListView_SetExtendedListViewStyle(m_w.lvwPlugin, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = const_cast<wchar_t*>(L"Name");
    column.cx = m_twips.ToPixelsX(kNameColumnWidth);
    ::SendMessageW(m_w.lvwPlugin, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    column.pszText = const_cast<wchar_t*>(L"Beschreibung");
    column.cx = m_twips.ToPixelsX(m_descriptionWidth);
    ::SendMessageW(m_w.lvwPlugin, LVM_INSERTCOLUMNW, 1, reinterpret_cast<LPARAM>(&column));
    m_w.btnInfo = ::GetDlgItem(page1, IDC_BTNINFO);
    m_w.btnConfig = ::GetDlgItem(page1, IDC_BTNCONFIG);
    m_w.tooltip =
        ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, root, nullptr, com::Module::Instance(), nullptr);
    TOOLINFOW tool{};
    // The full structure is known to the common controls of version 6 only;
    // without a manifest (Outlook 2000 on Windows XP) version 5 refuses it.
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = page1;
    tool.uId = reinterpret_cast<UINT_PTR>(m_w.btnInfo);
    tool.lpszText = m_infoTip.data();
    ::SendMessageW(m_w.tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));

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
    FitToHeight();
}

// At another DPI: the fonts again, every table's controls at their design
// places, the strip of tabs measured again with its new font.
void zarqPropMain::OnDpiChanged()
{
    m_twips = Scale();
    m_fonts.Make(kFonts, m_twips);
    ui::PlaceControls({m_w.root}, kPage, m_twips, m_fonts);
    ui::PlaceControls({m_w.root}, kFrames, m_twips, m_fonts);
    ui::PlaceControls({m_w.fraWatch}, kWatchFrame, m_twips, m_fonts);
    PlaceTabs();
    const Targets targets = LayoutTargets();
    ui::PlaceControls(targets.standardTab, kStandardTab, m_twips, m_fonts);
    ui::PlaceControls(targets.pluginTab, kPluginTab, m_twips, m_fonts);
    ui::PlaceControls(targets.dontWatchFrame, kDontWatchFrame, m_twips, m_fonts);
    ShowPictures();
    ListView_SetColumnWidth(m_w.lvwPlugin, 0, m_twips.ToPixelsX(kNameColumnWidth));
    ListView_SetColumnWidth(m_w.lvwPlugin, 1, m_twips.ToPixelsX(m_descriptionWidth));
    FitToHeight();
    ::InvalidateRect(m_w.root, nullptr, TRUE);
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
    RECT band = m_twips.ToPixels(kBand.left, kBand.top, kBand.right - kBand.left, kBand.bottom - kBand.top);
    ::FillRect(hdc, &band, ::GetSysColorBrush(COLOR_APPWORKSPACE));
}

void zarqPropMain::OnCommand(int id, HWND control, WORD code)
{
    if (m_quiet)
        return;
    if (code == BN_CLICKED) {
        for (int box = 0; box < kBoxCount; ++box) {
            if (id != kBoxIds[box])
                continue;
            m_boxes[box] = ::SendMessageW(control, BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
            BoxClicked(static_cast<Box>(box));
            return;
        }
        switch (id) {
        case IDC_BTNCHOOSESOUND:
            ChooseSound();
            break;
        case IDC_BTNINFO:
            RunPluginMethod(pmInfo);
            break;
        case IDC_BTNCONFIG:
            RunPluginMethod(pmOptions);
            break;
        default:
            break;
        }
    } else if (code == EN_CHANGE && id == IDC_TXTSOUNDFILE) {
        const int length = ::GetWindowTextLengthW(control);
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        text.resize(static_cast<size_t>(::GetWindowTextW(control, text.data(), length + 1)));
        m_soundFile = text;
        SoundFileChanged();
    }
}

void zarqPropMain::OnNotify(const NMHDR& header)
{
    if (header.idFrom == IDC_TABMAIN && header.code == TCN_SELCHANGE) {
        SelectTab(TabCtrl_GetCurSel(m_w.tabMain));
        return;
    }
    if (header.idFrom != IDC_LVWPLUGIN || header.code != LVN_ITEMCHANGED || m_quiet)
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
        OnCommand(LOWORD(wParam), reinterpret_cast<HWND>(lParam), HIWORD(wParam));
        return 0;
    case WM_NOTIFY:
        OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
        return 0;
    case WM_CTLCOLORSTATIC:
        if (::GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) == IDC_LBLCURRENTFOLDER) {
            HDC hdc = reinterpret_cast<HDC>(wParam);
            ::SetTextColor(hdc, ::GetSysColor(COLOR_CAPTIONTEXT));
            ::SetBkColor(hdc, ::GetSysColor(COLOR_APPWORKSPACE));
            return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_APPWORKSPACE));
        }
        break;
    case WM_SIZE:
        FitToHeight();
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
    case WM_DESTROY:
        if (m_w.tooltip) {
            ::DestroyWindow(m_w.tooltip); // a popup: it does not go with the page's window
            m_w.tooltip = nullptr;
        }
        for (HWND page : m_w.tabPages)
            com::olecontrol::UnmarkTabPage(page);
        break;
    default:
        break;
    }
    return Default(msg, wParam, lParam);
}

void zarqPropMain::OnDestroyed() noexcept
{
    m_w = Windows{};
    ControlWindowGone();
}
