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

// The design, in twips: the client area and each control's rectangle.
constexpr int kClientWidth = 6075, kClientHeight = 3885;
struct Layout {
    int left, top, width, height;
};
constexpr Layout kImgFolder{120, 120, 480, 480};
constexpr Layout kLblFolder{780, 180, 2715, 375};
constexpr Layout kLvwMsg{120, 660, 5835, 2535};
constexpr Layout kChkTop{120, 3360, 435, 375};
constexpr Layout kBtnOkay{4800, 3360, 1155, 359};
constexpr Layout kSizeGrip{600, 3360, 240, 240};

struct Column {
    const wchar_t* header;
    int width; // twips
    int format;
};
constexpr Column kColumns[] = {
    {L"Betreff", 2000, LVCFMT_LEFT},
    {L"Absender", 1440, LVCFMT_LEFT},
    {L"Datum", 1550, LVCFMT_RIGHT},
    {L"Ordner", 1440, LVCFMT_LEFT},
};

constexpr DWORD kStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kExStyle = WS_EX_CONTROLPARENT | WS_EX_APPWINDOW;
constexpr COLORREF kTransparent = RGB(255, 0, 255);

// Keyboard navigation (Tab, Enter, Esc, Alt+letter) inside the window: the
// message loop is the host's, so a message hook lets the dialog manager see
// the window's keystrokes first, as a modeless dialog of a program would.
HHOOK g_keyboardHook = nullptr;
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
    return ::CallNextHookEx(g_keyboardHook, code, wParam, lParam);
}

bool EnsureClass(WNDPROC proc) noexcept
{
    const HINSTANCE instance = com::Module::Instance();
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (::GetClassInfoExW(instance, frmNotify::kClassName, &wc))
        return true;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = frmNotify::kClassName;
    return ::RegisterClassExW(&wc) || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// A picture with magenta as its transparent colour, drawn on the button face.
com::UniqueHBitmap LoadButtonPicture(int id) noexcept
{
    com::UniqueHBitmap bitmap(static_cast<HBITMAP>(::LoadImageW(com::Module::Instance(), MAKEINTRESOURCEW(id),
                                                                IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION)));
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

HFONT MakeFont(const Twips& twips, const wchar_t* face, double points, bool bold) noexcept
{
    LOGFONTW lf{};
    lf.lfHeight = twips.FontHeight(points);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = DEFAULT_QUALITY;
    wcsncpy(lf.lfFaceName, face, LF_FACESIZE - 1);
    return ::CreateFontIndirectW(&lf);
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
    if (m_hWnd)
        ::DestroyWindow(m_hWnd);
}

bool frmNotify::Create() noexcept
{
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    if (!EnsureClass(&frmNotify::WndProc))
        return false;
    m_twips = Twips();
    RECT frame{0, 0, m_twips.ToPixelsX(kClientWidth), m_twips.ToPixelsY(kClientHeight)};
    ::AdjustWindowRectEx(&frame, kStyle, FALSE, kExStyle);
    // The window keeps the module loaded while it exists.
    com::Module::Lock(true);
    HWND hWnd = ::CreateWindowExW(kExStyle, kClassName, kCaption, kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                  frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                  com::Module::Instance(), nullptr);
    if (!hWnd) {
        com::Module::Lock(false);
        return false;
    }
    m_hWnd = hWnd;
    // Messages of the creation itself need nothing of the form.
    ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_bEverShown = false;
    m_iPendingState = vbNormal;
    m_entries.clear();
    CreateControls();
    g_keyboardWindow = hWnd;
    if (!g_keyboardHook)
        g_keyboardHook = ::SetWindowsHookExW(WH_GETMESSAGE, &DialogKeysHook, nullptr, ::GetCurrentThreadId());
    Form_Load();
    return true;
}

void frmNotify::CreateControls() noexcept
{
    const HINSTANCE instance = com::Module::Instance();
    m_fntHeading.reset(MakeFont(m_twips, L"Arial", 14.25, true));
    m_fntList.reset(MakeFont(m_twips, L"Tahoma", 8.25, false));
    m_fntListBold.reset(MakeFont(m_twips, L"Tahoma", 8.25, true));
    const auto create = [&](const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle, const Layout& l,
                            int id) {
        const RECT rc = m_twips.ToPixels(l.left, l.top, l.width, l.height);
        return ::CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | style, rc.left, rc.top,
                                 rc.right - rc.left, rc.bottom - rc.top, m_hWnd,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    };

    // Window icons.
    m_icoSmall.reset(LoadIconSized(IDI_NOTIFY, ::GetSystemMetrics(SM_CXSMICON)));
    m_icoBig.reset(LoadIconSized(IDI_NOTIFY, ::GetSystemMetrics(SM_CXICON)));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_icoSmall.get()));
    ::SendMessageW(m_hWnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_icoBig.get()));

    // The folder picture and the heading.
    HWND img = create(L"STATIC", nullptr, SS_ICON | SS_REALSIZECONTROL, 0, kImgFolder, IDC_IMGFOLDER);
    m_icoFolder.reset(LoadIconSized(IDI_FOLDER, m_twips.ToPixelsX(kImgFolder.width)));
    ::SendMessageW(img, STM_SETICON, reinterpret_cast<WPARAM>(m_icoFolder.get()), 0);
    HWND lbl = create(L"STATIC", kCaption, SS_LEFT | SS_NOPREFIX, 0, kLblFolder, IDC_LBLFOLDER);
    ::SendMessageW(lbl, WM_SETFONT, reinterpret_cast<WPARAM>(m_fntHeading.get()), FALSE);

    // The list: report view, one row selected at a time, rows kept here.
    HWND lvw = create(WC_LISTVIEWW, nullptr,
                      WS_TABSTOP | WS_GROUP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA,
                      WS_EX_CLIENTEDGE, kLvwMsg, IDC_LVWMSG);
    ::SendMessageW(lvw, WM_SETFONT, reinterpret_cast<WPARAM>(m_fntList.get()), FALSE);
    ::SendMessageW(lvw, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    HIMAGELIST images = ::ImageList_Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 0);
    if (images) {
        if (HICON icon = LoadIconSized(IDI_NEWMAIL, 16)) {
            ::ImageList_AddIcon(images, icon); // "IDI_NEWMAIL", index 0
            ::DestroyIcon(icon);
        }
        ::SendMessageW(lvw, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    }
    for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
        LVCOLUMNW col{};
        col.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        col.fmt = kColumns[i].format;
        col.cx = m_twips.ToPixelsX(kColumns[i].width);
        col.pszText = const_cast<wchar_t*>(kColumns[i].header);
        col.iSubItem = i;
        ::SendMessageW(lvw, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&col));
    }

    // The stay-on-top button: a push-like check box with a picture per state.
    m_imgTopUp = LoadButtonPicture(IDB_TOP_UP);
    m_imgTopDown = LoadButtonPicture(IDB_TOP_DOWN);
    HWND chk = create(L"BUTTON", nullptr, WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX | BS_PUSHLIKE | BS_BITMAP, 0, kChkTop,
                      IDC_CHKTOP);
    ::SendMessageW(chk, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(m_imgTopUp.get()));

    HWND btn = create(L"BUTTON", L"&Schlie\u00dfen", WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 0, kBtnOkay, IDC_BTNOKAY);
    ::SendMessageW(btn, WM_SETFONT, reinterpret_cast<WPARAM>(m_fntList.get()), FALSE);

    create(L"SCROLLBAR", nullptr, SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN, 0, kSizeGrip, IDC_SIZEGRIP);

    // Tooltips of the two buttons.
    m_hWndTip = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr,
                                  instance, nullptr);
    const auto tip = [&](HWND control, const wchar_t* text) {
        TTTOOLINFOW ti{};
        ti.cbSize = TTTOOLINFOW_V2_SIZE; // understood by every version of the common controls
        ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        ti.hwnd = m_hWnd;
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

void frmNotify::Form_Load() noexcept
{
    // The gaps between the client area's edges and the list and the button.
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const auto rectOf = [&](int id) {
        RECT rc{};
        ::GetWindowRect(Control(id), &rc);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    };
    const RECT list = rectOf(IDC_LVWMSG);
    const RECT button = rectOf(IDC_BTNOKAY);
    const float scaleWidth = static_cast<float>(m_twips.ToTwipsX(client.right));
    const float scaleHeight = static_cast<float>(m_twips.ToTwipsY(client.bottom));
    m_sngListWidthGap = scaleWidth - static_cast<float>(m_twips.ToTwipsX(list.right - list.left));
    m_sngListHeightGap = scaleHeight - static_cast<float>(m_twips.ToTwipsY(list.bottom - list.top));
    m_sngButtonTopGap = scaleHeight - static_cast<float>(m_twips.ToTwipsY(button.top));
    m_sngButtonLeftGap = scaleWidth - static_cast<float>(m_twips.ToTwipsX(button.left));

    long maxWidth = 0, maxHeight = 0;
    SetMinMax(*this, 250, 250, maxWidth, maxHeight, false, false, false, false);
    LoadFormSettings(*this, kSettingsSubKey, false); // failures keep the design placement
    ReadAlwaysOnTop();
}

void frmNotify::Form_Resize() noexcept
{
    if (::IsIconic(m_hWnd))
        return;
    RECT client{};
    ::GetClientRect(m_hWnd, &client);
    const double scaleWidth = m_twips.ToTwipsX(client.right);
    const double scaleHeight = m_twips.ToTwipsY(client.bottom);
    const auto place = [&](int id, int x, int y, int cx, int cy, UINT flags) {
        ::SetWindowPos(Control(id), nullptr, x, y, std::max(cx, 0), std::max(cy, 0),
                       flags | SWP_NOZORDER | SWP_NOACTIVATE);
    };
    const auto rectOf = [&](int id) {
        RECT rc{};
        ::GetWindowRect(Control(id), &rc);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&rc), 2);
        return rc;
    };
    place(IDC_LVWMSG, 0, 0, m_twips.ToPixelsX(scaleWidth - m_sngListWidthGap),
          m_twips.ToPixelsY(scaleHeight - m_sngListHeightGap), SWP_NOMOVE);
    place(IDC_BTNOKAY, m_twips.ToPixelsX(scaleWidth - m_sngButtonLeftGap),
          m_twips.ToPixelsY(scaleHeight - m_sngButtonTopGap), 0, 0, SWP_NOSIZE);
    place(IDC_CHKTOP, rectOf(IDC_CHKTOP).left, m_twips.ToPixelsY(scaleHeight - m_sngButtonTopGap), 0, 0, SWP_NOSIZE);
    // The size grip keeps itself in the lower-right corner; a maximized
    // window cannot be sized and shows none.
    const RECT grip = rectOf(IDC_SIZEGRIP);
    const int gw = grip.right - grip.left, gh = grip.bottom - grip.top;
    place(IDC_SIZEGRIP, client.right - gw, client.bottom - gh, 0, 0, SWP_NOSIZE);
    ::ShowWindow(Control(IDC_SIZEGRIP), ::IsZoomed(m_hWnd) ? SW_HIDE : SW_SHOWNA);
}

void frmNotify::Unload() noexcept
{
    if (!m_hWnd)
        return;
    Form_Unload();
    ::DestroyWindow(m_hWnd);
}

void frmNotify::Form_Unload() noexcept
{
    SaveFormSettings(*this, kSettingsSubKey); // a failure leaves the rest unsaved
    WriteAlwaysOnTop();
    RemoveMinMax(*this);
}

bool frmNotify::EnsureLoaded() noexcept { return m_hWnd || Create(); }

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
    if (m_hWnd)
        ::SetWindowPos(m_hWnd, bAlwaysOnTop ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
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
        ::ShowWindow(m_hWnd, show);
        if (show == SW_SHOW)
            ::SetFocus(m_hWndFocus);
        return;
    }
    ::ShowWindow(m_hWnd, SW_SHOW);
}

void frmNotify::Refresh() noexcept
{
    if (m_hWnd)
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}

void frmNotify::Hide() noexcept
{
    if (m_hWnd)
        ::ShowWindow(m_hWnd, SW_HIDE);
}

bool frmNotify::Visible() const noexcept { return m_hWnd && ::IsWindowVisible(m_hWnd); }

int frmNotify::GetWindowState() const noexcept
{
    if (!m_hWnd)
        return vbNormal;
    if (!m_bEverShown)
        return m_iPendingState;
    return ::IsIconic(m_hWnd) ? vbMinimized : ::IsZoomed(m_hWnd) ? vbMaximized : vbNormal;
}

void frmNotify::SetWindowState(int iState) noexcept
{
    if (iState != vbNormal && iState != vbMinimized && iState != vbMaximized)
        return;
    if (!m_hWnd || !m_bEverShown) {
        m_iPendingState = iState;
        return;
    }
    ::ShowWindow(m_hWnd, iState == vbMaximized ? SW_MAXIMIZE : iState == vbMinimized ? SW_MINIMIZE : SW_RESTORE);
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
        if (entry && entry->bBold && m_fntListBold) {
            ::SelectObject(draw->nmcd.hdc, m_fntListBold.get());
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

LRESULT CALLBACK frmNotify::WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto* form = reinterpret_cast<frmNotify*>(::GetWindowLongPtrW(hWnd, GWLP_USERDATA));
    if (!form)
        return ::DefWindowProcW(hWnd, msg, wParam, lParam);
    return RunAnswered<LRESULT>("frmNotify::WndProc()", 0, [&] { return form->HandleMessage(msg, wParam, lParam); });
}

LRESULT frmNotify::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const HWND hWnd = m_hWnd;
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
    case WM_NCDESTROY: {
        if (g_keyboardWindow == hWnd) {
            g_keyboardWindow = nullptr;
            if (g_keyboardHook) {
                ::UnhookWindowsHookEx(g_keyboardHook);
                g_keyboardHook = nullptr;
            }
        }
        const LRESULT result = ::DefWindowProcW(hWnd, msg, wParam, lParam);
        ::SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
        m_hWnd = nullptr;
        m_hWndTip = nullptr;
        m_entries.clear();
        com::Module::Lock(false);
        return result;
    }
    default:
        break;
    }
    return ::DefWindowProcW(hWnd, msg, wParam, lParam);
}
