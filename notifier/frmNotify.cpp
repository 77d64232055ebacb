#include "frmNotify.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cwctype>

#include "CRegistry.h"
#include "Reported.h"
#include "Resources.h"
#include "com/ComModule.h"
#include "com/LateBound.h"
#include "g_modDebug.h"
#include "g_modMinMax.h"
#include "g_modRegFunc.h"

namespace {

using namespace notifylayout;

constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;
constexpr COLORREF kTransparent = RGB(255, 0, 255);
const ui::WindowClass kWindowClass{frmNotify::kClassName};

// Keyboard navigation (Tab, Enter, Esc, Alt+letter) inside the window: the
// message loop is the host's, so a message hook lets the dialog manager see
// the window's keystrokes first, as a modeless dialog of a program would.
ui::UniqueHHook g_keyboardHook;
HWND g_keyboardWindow = nullptr;

LRESULT CALLBACK DialogKeysHook(int code, WPARAM wParam, LPARAM lParam)
{
    auto* msg = reinterpret_cast<MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg && g_keyboardWindow && msg->message >= WM_KEYFIRST &&
        msg->message <= WM_KEYLAST && (msg->hwnd == g_keyboardWindow || ::IsChild(g_keyboardWindow, msg->hwnd)) &&
        ::IsDialogMessageW(g_keyboardWindow, msg)) {
        msg->message = WM_NULL;
        msg->wParam = 0;
        msg->lParam = 0;
    }
    return ::CallNextHookEx(g_keyboardHook.get(), code, wParam, lParam);
}

// A picture with magenta as its transparent colour, drawn on the button face.
com::UniqueHBitmap LoadButtonPicture(int id) noexcept
{
    com::UniqueHBitmap bitmap(static_cast<HBITMAP>(
        ::LoadImageW(com::Module::Instance(), MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
    if (!bitmap)
        return bitmap;
    if (HDC dc = ::CreateCompatibleDC(nullptr)) {
        const HGDIOBJ old = ::SelectObject(dc, bitmap.get());
        RGBQUAD colours[256];
        const UINT count = ::GetDIBColorTable(dc, 0, 256, colours);
        const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
        for (UINT i = 0; i < count; ++i)
            if (RGB(colours[i].rgbRed, colours[i].rgbGreen, colours[i].rgbBlue) == kTransparent)
                colours[i] = RGBQUAD{GetBValue(face), GetGValue(face), GetRValue(face), 0};
        if (count)
            ::SetDIBColorTable(dc, 0, count, colours);
        ::SelectObject(dc, old);
        ::DeleteDC(dc);
    }
    return bitmap;
}

HICON LoadIconSized(int id, int size) noexcept
{
    return static_cast<HICON>(
        ::LoadImageW(com::Module::Instance(), MAKEINTRESOURCEW(id), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

// "dd.mm.yyyy hh:mm" on a 24-hour clock; empty for no valid date.
std::wstring FormatReceived(const VARIANT& value)
{
    com::Variant date;
    if (FAILED(::VariantChangeType(&date, const_cast<VARIANT*>(&value), 0, VT_DATE)))
        return {};
    SYSTEMTIME st{};
    if (!::VariantTimeToSystemTime(date.date, &st))
        return {};
    wchar_t text[32];
    std::swprintf(text, 32, L"%02u.%02u.%04u %02u:%02u", st.wDay, st.wMonth, st.wYear, st.wHour, st.wMinute);
    return text;
}

bool StartsWithIgnoreCase(const std::wstring& text, const wchar_t* prefix) noexcept
{
    for (size_t i = 0; prefix[i]; ++i)
        if (i >= text.size() || std::towlower(text[i]) != std::towlower(prefix[i]))
            return false;
    return true;
}

} // namespace

std::unique_ptr<frmNotify> frmNotify::Load() noexcept
{
    std::unique_ptr<frmNotify> form(new (std::nothrow) frmNotify());
    if (!form || !form->Create())
        return nullptr;
    return form;
}

frmNotify::~frmNotify()
{
    if (Hwnd())
        ::DestroyWindow(Hwnd());
}

bool frmNotify::Create() noexcept
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    // Sized at the screen's DPI; the window's own may differ (another monitor).
    const Twips screen = ui::WindowTwips(nullptr);
    RECT frame{0, 0, screen.ToPixelsX(kClientWidth), screen.ToPixelsY(kClientHeight)};
    ::AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    const RECT rect{CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT + frame.right - frame.left,
                    CW_USEDEFAULT + frame.bottom - frame.top};
    // The window keeps the module loaded while it exists.
    com::Module::Lock(true);
    m_bEverShown = false;
    m_iPendingState = vbNormal;
    m_entries.clear();
    if (!CreateFor(kWindowClass, kExStyle, kCaption, kStyle, rect, nullptr)) {
        com::Module::Lock(false);
        return false;
    }
    if (Scale().DpiY() != screen.DpiY())
        FitClientArea();
    CreateControls();
    g_keyboardWindow = Hwnd();
    if (!g_keyboardHook)
        g_keyboardHook.reset(::SetWindowsHookExW(WH_GETMESSAGE, &DialogKeysHook, nullptr, ::GetCurrentThreadId()));
    Form_Load();
    return true;
}

void frmNotify::FitClientArea() noexcept
{
    RECT frame{0, 0, Scale().ToPixelsX(kClientWidth), Scale().ToPixelsY(kClientHeight)};
    ::AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    ::SetWindowPos(Hwnd(), nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmNotify::MakeFontsAndPictures() noexcept
{
    m_fonts.Make(kFonts, Scale());
    const int small = Scale().ToPixelsX(kSmallIcon);
    m_images.reset(::ImageList_Create(small, small, ILC_COLOR24 | ILC_MASK, 1, 0));
    if (m_images) {
        if (HICON icon = LoadIconSized(IDI_NEWMAIL, small)) {
            ::ImageList_AddIcon(m_images.get(), icon); // "IDI_NEWMAIL", index 0
            ::DestroyIcon(icon);
        }
    }
    m_icoFolder.reset(LoadIconSized(IDI_FOLDER, Scale().ToPixelsX(DesignOf(IDC_IMGFOLDER).width)));
}

void frmNotify::CreateControls() noexcept
{
    const HWND hWnd = Hwnd();
    // Window icons.
    m_icoSmall.reset(LoadIconSized(IDI_NOTIFY, ::GetSystemMetrics(SM_CXSMICON)));
    m_icoBig.reset(LoadIconSized(IDI_NOTIFY, ::GetSystemMetrics(SM_CXICON)));
    ::SendMessageW(hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icoSmall.get()));
    ::SendMessageW(hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icoBig.get()));

    MakeFontsAndPictures();
    ui::CreateControls({hWnd}, kControls, Scale(), m_fonts);
    ::SendDlgItemMessageW(hWnd, IDC_IMGFOLDER, STM_SETICON, reinterpret_cast<WPARAM>(m_icoFolder.get()), 0);

    // The list: report view, one row selected at a time, rows kept here.
    HWND lvw = Control(IDC_LVWMSG);
    ::SendMessageW(lvw, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    ::SendMessageW(lvw, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(m_images.get()));
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        col.fmt = kColumns[i].format;
        col.cx = Scale().ToPixelsX(kColumns[i].width);
        col.pszText = const_cast<wchar_t*>(kColumns[i].header);
        col.iSubItem = i;
        ::SendMessageW(lvw, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&col));
    }

    m_imgTopUp = LoadButtonPicture(IDB_TOP_UP);
    m_imgTopDown = LoadButtonPicture(IDB_TOP_DOWN);
    HWND chk = Control(IDC_CHKTOP);
    ::SendMessageW(chk, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_imgTopUp.get()));
    HWND btn = Control(IDC_BTNOKAY);

    // Tooltips of the two buttons.
    m_hWndTip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hWnd, nullptr,
                                  com::Module::Instance(), nullptr);
    const auto tip = [&](HWND control, const wchar_t* text) {
        TTTOOLINFOW ti{};
        ti.cbSize = TTTOOLINFOW_V2_SIZE; // understood by every version of the common controls
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ti.hwnd = hWnd;
        ti.uId = reinterpret_cast<UINT_PTR>(control);
        ti.lpszText = const_cast<wchar_t*>(text);
        ::SendMessageW(m_hWndTip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
    };
    if (m_hWndTip) {
        tip(chk, L"Immer im Vordergrund");
        tip(btn, L"Fenster schlie\u00dfen");
    }
    m_hWndFocus = lvw;
}

// The list and the button keep their design distances to the client
// area's lower and right edges, in twips.
void frmNotify::Form_Load() noexcept
{
    const ui::ControlDesign& list = DesignOf(IDC_LVWMSG);
    const ui::ControlDesign& button = DesignOf(IDC_BTNOKAY);
    m_sngListWidthGap = static_cast<float>(kClientWidth - list.width);
    m_sngListHeightGap = static_cast<float>(kClientHeight - list.height);
    m_sngButtonTopGap = static_cast<float>(kClientHeight - button.top);
    m_sngButtonLeftGap = static_cast<float>(kClientWidth - button.left);

    ApplySizeLimits();
    LoadFormSettings(*this, kSettingsKey, false); // failures keep the design placement
    ReadAlwaysOnTop();
    Form_Resize(); // the controls for the client area the window has now
}

// The smallest size at the window's DPI.
void frmNotify::ApplySizeLimits() noexcept
{
    long maxWidth = 0, maxHeight = 0;
    const long minSize = Scale().ToPixelsX(kMinSize);
    SetMinMax(*this, minSize, minSize, maxWidth, maxHeight, false, false, false, false);
}

// At another DPI the controls take their design places and fonts again;
// the base then moves the window to the suggested rectangle, and the size
// change places the list and the button.
void frmNotify::OnDpiChanged()
{
    const HWND hWnd = Hwnd();
    ApplySizeLimits();
    MakeFontsAndPictures();
    ui::PlaceControls({hWnd}, kControls, Scale(), m_fonts);
    ::SendDlgItemMessageW(hWnd, IDC_IMGFOLDER, STM_SETICON, reinterpret_cast<WPARAM>(m_icoFolder.get()), 0);
    HWND lvw = Control(IDC_LVWMSG);
    ::SendMessageW(lvw, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(m_images.get()));
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i)
        ::SendMessageW(lvw, LVM_SETCOLUMNWIDTH, i, Scale().ToPixelsX(kColumns[i].width));
    Form_Resize();
}

// The gaps are design twips at the window's DPI, so that at the design size
// every control is where the layout table puts it.
void frmNotify::Form_Resize() noexcept
{
    const HWND hWnd = Hwnd();
    if (!hWnd || ::IsIconic(hWnd))
        return;
    const Twips& twips = Scale();
    RECT client{};
    ::GetClientRect(hWnd, &client);
    const auto place = [&](int id, int x, int y, int cx, int cy, UINT flags) {
        ::SetWindowPos(Control(id), nullptr, x, y, std::max(cx, 0), std::max(cy, 0),
                       flags | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    const int buttonTop = client.bottom - twips.ToPixelsY(m_sngButtonTopGap);
    place(IDC_LVWMSG, 0, 0, client.right - twips.ToPixelsX(m_sngListWidthGap),
          client.bottom - twips.ToPixelsY(m_sngListHeightGap), SWP_NOMOVE);
    place(IDC_BTNOKAY, client.right - twips.ToPixelsX(m_sngButtonLeftGap), buttonTop, 0, 0, SWP_NOSIZE);
    place(IDC_CHKTOP, ui::ChildRect(Control(IDC_CHKTOP)).left, buttonTop, 0, 0, SWP_NOSIZE);
    // The size grip keeps itself in the lower-right corner; a maximized
    // window cannot be sized and shows none.
    const RECT grip = ui::ChildRect(Control(IDC_SIZEGRIP));
    const int gw = grip.right - grip.left, gh = grip.bottom - grip.top;
    place(IDC_SIZEGRIP, client.right - gw, client.bottom - gh, 0, 0, SWP_NOSIZE);
    ::ShowWindow(Control(IDC_SIZEGRIP), ::IsZoomed(hWnd) ? SW_HIDE : SW_SHOWNA);
}

void frmNotify::Unload() noexcept
{
    if (!Hwnd())
        return;
    Form_Unload();
    ::DestroyWindow(Hwnd());
}

void frmNotify::Form_Unload() noexcept
{
    SaveFormSettings(*this, kSettingsKey); // a failure leaves the rest unsaved
    WriteAlwaysOnTop();
    RemoveMinMax(*this);
}

bool frmNotify::EnsureLoaded() noexcept { return Hwnd() || Create(); }

void frmNotify::ReadAlwaysOnTop() noexcept
{
    CRegistry reg;
    if (reg.OpenKey(kSettingsKey, true) && reg.ReadDWORD("AlwaysOnTop", 0) == 1)
        SetTopChecked(true);
    reg.CloseKey();
}

void frmNotify::WriteAlwaysOnTop() noexcept
{
    CRegistry reg;
    if (reg.OpenKey(kSettingsKey, true))
        reg.WriteDWORD("AlwaysOnTop", TopChecked() ? 1 : 0, true);
    reg.CloseKey();
}

void frmNotify::MailItemAdd(IDispatch* mi, const std::wstring& sFolderName) noexcept
{
    constexpr const char* kSource = "frmNotify::MailItemAdd()";
    if (!mi) {
        WarnError("Supplied mailitem object is invalid", kSource);
        return;
    }
    // A failure (out of memory) leaves the item unlisted, with a record.
    const bool bAdded = RunAnswered(kSource, false, [&] {
        // Without a subject there is no entry, and nothing else to fill.
        com::Variant subject;
        if (FAILED(com::GetProperty(mi, L"Subject", &subject)))
            return false;
        Entry entry;
        entry.sSubject = subject.ToString();
        com::Variant sender;
        if (SUCCEEDED(com::GetProperty(mi, L"SenderName", &sender)))
            entry.sSender = sender.ToString();
        com::Variant received;
        if (SUCCEEDED(com::GetProperty(mi, L"ReceivedTime", &received)))
            entry.sDate = FormatReceived(received);
        entry.sFolder = sFolderName;
        entry.bBold = true;
        if (!EnsureLoaded())
            return false;
        m_entries.push_back(std::move(entry));
        return true;
    });
    if (bAdded)
        ShowEntries(true);
}

void frmNotify::ShowEntries(bool bScrollToTop) noexcept
{
    HWND lvw = Control(IDC_LVWMSG);
    if (!lvw)
        return;
    ::SendMessageW(lvw, LVM_SETITEMCOUNT, m_entries.size(), 0);
    if (!bScrollToTop)
        return;
    // The new entry, at the top, is the one selected, and it is in view.
    // The rows moved down by one, so the row marked before now shows
    // another entry: its marks go. (Only that row is touched: unmarking
    // every row would cost as much as the list is long.)
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = 0;
    for (UINT which : {static_cast<UINT>(LVNI_SELECTED), static_cast<UINT>(LVNI_FOCUSED)}) {
        const LRESULT row = ::SendMessageW(lvw, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), which);
        if (row > 0)
            ::SendMessageW(lvw, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
    }
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(lvw, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    ::SendMessageW(lvw, LVM_SETSELECTIONMARK, 0, 0);
    ::SendMessageW(lvw, LVM_ENSUREVISIBLE, 0, FALSE);
}

const frmNotify::Entry* frmNotify::EntryAtRow(int iRow) const noexcept
{
    if (iRow < 0 || static_cast<size_t>(iRow) >= m_entries.size())
        return nullptr;
    return &m_entries[m_entries.size() - 1 - static_cast<size_t>(iRow)];
}

void frmNotify::ClearNewMarks() noexcept
{
    for (auto it = m_entries.rbegin(); it != m_entries.rend() && it->bBold; ++it)
        it->bBold = false;
    if (HWND lvw = Control(IDC_LVWMSG))
        ::InvalidateRect(lvw, nullptr, FALSE);
}

void frmNotify::put_AlwaysOnTop(bool bAlwaysOnTop) noexcept
{
    if (Hwnd())
        ::SetWindowPos(Hwnd(), bAlwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void frmNotify::put_FolderName(const std::wstring& sFolderName) noexcept
{
    if (HWND lbl = Control(IDC_LBLFOLDER))
        ::SetWindowTextW(lbl, sFolderName.c_str());
}

void frmNotify::Show() noexcept
{
    if (!EnsureLoaded())
        return;
    if (!m_bEverShown) {
        m_bEverShown = true;
        const int show = m_iPendingState == vbMaximized   ? SW_SHOWMAXIMIZED
                         : m_iPendingState == vbMinimized ? SW_SHOWMINIMIZED
                                                          : SW_SHOW;
        ::ShowWindow(Hwnd(), show);
        if (show == SW_SHOW)
            ::SetFocus(m_hWndFocus);
        return;
    }
    ::ShowWindow(Hwnd(), SW_SHOW);
}

void frmNotify::Refresh() noexcept
{
    if (Hwnd())
        ::RedrawWindow(Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void frmNotify::Hide() noexcept
{
    if (Hwnd())
        ::ShowWindow(Hwnd(), SW_HIDE);
}

bool frmNotify::Visible() const noexcept { return Hwnd() && ::IsWindowVisible(Hwnd()); }

int frmNotify::GetWindowState() const noexcept
{
    if (!Hwnd())
        return vbNormal;
    if (!m_bEverShown)
        return m_iPendingState;
    return ::IsIconic(Hwnd()) ? vbMinimized : ::IsZoomed(Hwnd()) ? vbMaximized : vbNormal;
}

void frmNotify::SetWindowState(int iState) noexcept
{
    if (iState != vbNormal && iState != vbMinimized && iState != vbMaximized)
        return;
    if (!Hwnd() || !m_bEverShown) {
        m_iPendingState = iState;
        return;
    }
    ::ShowWindow(Hwnd(), iState == vbMaximized ? SW_MAXIMIZE : iState == vbMinimized ? SW_MINIMIZE : SW_RESTORE);
}

bool frmNotify::TopChecked() const noexcept
{
    return ::SendMessageW(Control(IDC_CHKTOP), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void frmNotify::SetTopChecked(bool bChecked) noexcept
{
    ::SendMessageW(Control(IDC_CHKTOP), BM_SETCHECK, bChecked ? BST_CHECKED : BST_UNCHECKED, 0);
    chkTop_Click();
}

void frmNotify::chkTop_Click() noexcept
{
    const bool checked = TopChecked();
    ::SendMessageW(Control(IDC_CHKTOP), BM_SETIMAGE, IMAGE_BITMAP,
                   reinterpret_cast<LPARAM>(checked ? m_imgTopDown.get() : m_imgTopUp.get()));
    put_AlwaysOnTop(checked);
}

void frmNotify::btnOkay_Click() noexcept
{
    Hide();
    ClearNewMarks();
}

void frmNotify::CloseByUser() noexcept
{
    ClearNewMarks();
    Hide();
}

LRESULT frmNotify::OnListCustomDraw(NMLVCUSTOMDRAW* draw) noexcept
{
    switch (draw->nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        return CDRF_NOTIFYITEMDRAW;
    case CDDS_ITEMPREPAINT: {
        const Entry* entry = EntryAtRow(static_cast<int>(draw->nmcd.dwItemSpec));
        if (entry && entry->bBold && m_fonts[fntListBold]) {
            ::SelectObject(draw->nmcd.hdc, m_fonts[fntListBold]);
            return CDRF_NEWFONT;
        }
        return CDRF_DODEFAULT;
    }
    default:
        return CDRF_DODEFAULT;
    }
}

LRESULT frmNotify::OnNotify(const NMHDR* header)
{
    if (header->idFrom != IDC_LVWMSG)
        return 0;
    switch (header->code) {
    case LVN_GETDISPINFOW: {
        auto* info = reinterpret_cast<NMLVDISPINFOW*>(const_cast<NMHDR*>(header));
        const Entry* entry = EntryAtRow(info->item.iItem);
        if (!entry)
            return 0;
        if (info->item.mask & LVIF_TEXT) {
            const std::wstring* texts[] = {&entry->sSubject, &entry->sSender, &entry->sDate, &entry->sFolder};
            const int sub = info->item.iSubItem;
            if (sub >= 0 && sub < 4 && info->item.pszText && info->item.cchTextMax > 0) {
                const std::wstring& text = *texts[sub];
                const size_t n = std::min(text.size(), static_cast<size_t>(info->item.cchTextMax - 1));
                text.copy(info->item.pszText, n);
                info->item.pszText[n] = L'\0';
            }
        }
        if (info->item.mask & LVIF_IMAGE)
            info->item.iImage = info->item.iSubItem == 0 ? 0 : -1;
        return 0;
    }
    case LVN_ODFINDITEMW: {
        // Typing the first letters of a subject selects the entry.
        auto* find = reinterpret_cast<const NMLVFINDITEMW*>(header);
        if (!(find->lvfi.flags & (LVFI_STRING | LVFI_PARTIAL)) || !find->lvfi.psz)
            return -1;
        const int count = static_cast<int>(m_entries.size());
        for (int i = 0; i < count; ++i) {
            const int row = (find->iStart + i) % count;
            if (StartsWithIgnoreCase(EntryAtRow(row)->sSubject, find->lvfi.psz))
                return row;
        }
        return -1;
    }
    case NM_CUSTOMDRAW:
        return OnListCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(const_cast<NMHDR*>(header)));
    default:
        return 0;
    }
}

LRESULT frmNotify::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const HWND hWnd = Hwnd();
    switch (msg) {
    case WM_SIZE:
        Form_Resize();
        return 0;
    case WM_COMMAND:
        switch (LOWORD(wParam)) {
        case IDC_BTNOKAY:
            if (HIWORD(wParam) == BN_CLICKED)
                btnOkay_Click();
            return 0;
        case IDCANCEL: // Esc closes the window as its close box does
            CloseByUser();
            return 0;
        case IDC_CHKTOP:
            if (HIWORD(wParam) == BN_CLICKED)
                chkTop_Click();
            return 0;
        default:
            break;
        }
        break;
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<const NMHDR*>(lParam));
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) {
            // The close box, the system menu and Alt+F4 only hide the window.
            m_bCloseCommand = true;
            const LRESULT result = ::DefWindowProcW(hWnd, msg, wParam, lParam);
            m_bCloseCommand = false;
            return result;
        }
        break;
    case WM_CLOSE:
        if (m_bCloseCommand) {
            CloseByUser();
            return 0;
        }
        // Closed from elsewhere (another program, the session): unload.
        Unload();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            HWND focus = ::GetFocus();
            if (focus && ::IsChild(hWnd, focus))
                m_hWndFocus = focus;
        }
        break;
    case WM_SETFOCUS:
        if (m_hWndFocus && ::IsWindow(m_hWndFocus))
            ::SetFocus(m_hWndFocus);
        return 0;
    case WM_NCDESTROY:
        if (g_keyboardWindow == hWnd) {
            g_keyboardWindow = nullptr;
            g_keyboardHook.reset();
        }
        break;
    default:
        break;
    }
    return Default(msg, wParam, lParam);
}

void frmNotify::OnDestroyed() noexcept
{
    m_hWndTip = nullptr;
    m_entries.clear();
    com::Module::Lock(false);
}
