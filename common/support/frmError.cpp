#include "frmError.h"

#include "com/ComModule.h"
#include "g_modSeams.h"
#include "ui/Layout.h"

namespace {

const ui::WindowClass kWindowClass{L"corvane.frmError"};
const wchar_t kCaption[] = L"Fehler in Anwendung";
const wchar_t kExplanation[] =
    L"In dieser Anwendung ist eine nicht vorhergesehene Ausnahmesituation aufgetreten. Details zu diesem Problem "
    L"wurden in einer Protokolldatei festgehalten. Sollte diese Meldung \u00f6fter auftauchen, setzen Sie sich bitte "
    L"mit dem Hersteller dieser Anwendung in Verbindung.";

constexpr DWORD kFormStyle = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_DLGMODALFRAME | WS_EX_CONTROLPARENT;

// Design sizes in twips.
constexpr int kClientWidth = 5790;
constexpr int kCollapsedHeight = 2175; // outer height: 1785 client plus the frame
constexpr int kExpandedHeight = 4320;  // outer height

// The dialog font of the system (what DEFAULT_GUI_FONT is at 96 dpi: "MS
// Shell Dlg", 8 points; Microsoft documentation, "GetStockObject"), and
// Courier New 8.25 points for the boxes.
enum Font : int { fntDialog, fntCourier };
const ui::FontDesign kFonts[] = {
    {L"MS Shell Dlg", 8, FW_NORMAL},
    {L"Courier New", 8.25, FW_NORMAL, FIXED_PITCH | FF_MODERN},
};

// Created in this order, which is also the tab order of the buttons and boxes.
const ui::ControlDesign kControls[] = {
    {frmError::imgError, L"STATIC", nullptr, SS_ICON | SS_CENTERIMAGE, 0, 120, 360, 480, 480, fntDialog},
    {frmError::Label1, L"STATIC", kExplanation, SS_LEFT | SS_NOPREFIX, 0, 840, 120, 4815, 1035, fntDialog},
    {frmError::btnOkay, L"BUTTON", L"&OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 3300, 1320, 1155, 359, fntDialog},
    {frmError::btnDetails, L"BUTTON", L"&Details >>", BS_PUSHBUTTON | WS_TABSTOP, 0, 4500, 1320, 1155, 359, fntDialog},
    {frmError::txtProc, L"EDIT", L"", ES_AUTOHSCROLL | ES_READONLY | WS_TABSTOP, WS_EX_CLIENTEDGE, 840, 1860, 4815, 315,
     fntCourier},
    {frmError::txtDetails, L"EDIT", L"", ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | WS_VSCROLL | WS_TABSTOP,
     WS_EX_CLIENTEDGE, 840, 2280, 4815, 1515, fntCourier},
};

// The owner's window rectangle; without an owner, the primary monitor's work area.
RECT CenteringArea(HWND owner) noexcept
{
    RECT area{};
    if (!owner || !::GetWindowRect(owner, &area))
        ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

} // namespace

bool frmError::Load() noexcept
{
    if (Hwnd())
        return true;

    // The design width is the client's; the collapsed height is the outer one.
    const Twips twips = ui::WindowTwips(nullptr);
    RECT frame{0, 0, twips.ToPixelsX(kClientWidth), 0};
    ::AdjustWindowRectEx(&frame, kFormStyle, FALSE, kFormExStyle);
    const int width = frame.right - frame.left;
    const int height = twips.ToPixelsY(kCollapsedHeight);
    const HWND owner = ::GetActiveWindow();
    const RECT area = CenteringArea(owner);
    const int left = area.left + (area.right - area.left - width) / 2;
    const int top = area.top + (area.bottom - area.top - height) / 2;

    if (!CreateFor(kWindowClass, kFormExStyle, kCaption, kFormStyle, RECT{left, top, left + width, top + height},
                   owner))
        return false;
    m_bShowDetails = false;
    if (Scale().DpiY() != twips.DpiY())
        ResizeForm(false);
    CreateControls();
    return true;
}

void frmError::CreateControls() noexcept
{
    m_fonts.Make(kFonts, Scale());
    ui::CreateControls({Hwnd()}, kControls, Scale(), m_fonts);
    ShowErrorIcon();
}

// The system's error icon at the size of its control; a shared system icon
// is never destroyed.
void frmError::ShowErrorIcon() noexcept
{
    const int size = Scale().ToPixelsX(kControls[0].width);
    if (HANDLE icon = ::LoadImageA(nullptr, IDI_ERROR, IMAGE_ICON, size, size, LR_SHARED))
        ::SendDlgItemMessageW(Hwnd(), imgError, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

void frmError::OnDpiChanged()
{
    m_fonts.Make(kFonts, Scale());
    ui::PlaceControls({Hwnd()}, kControls, Scale(), m_fonts);
    ShowErrorIcon();
}

void frmError::SetErrorMessage(const std::string& sProc, long lError, const std::string& sError) noexcept
{
    if (!Hwnd())
        return;
    try {
        ::SetDlgItemTextW(Hwnd(), txtProc, com::Widen(sProc).c_str());
        const std::string sDetails = "[ " + std::to_string(lError) + " ] " + sError;
        ::SetDlgItemTextW(Hwnd(), txtDetails, com::Widen(sDetails).c_str());
    } catch (...) {
        // The boxes keep what they had.
    }
}

void frmError::Show() noexcept
{
    if (!Hwnd())
        return;
    m_hWndOwner = ::GetWindow(Hwnd(), GW_OWNER);
    if (m_hWndOwner && ::IsWindowEnabled(m_hWndOwner)) {
        ::EnableWindow(m_hWndOwner, FALSE);
        m_bOwnerDisabled = true;
    }
    ::ShowWindow(Hwnd(), SW_SHOW);
    ::UpdateWindow(Hwnd());
    ::SetFocus(::GetDlgItem(Hwnd(), btnOkay));

    if (g_supportSeams.ErrorFormShown)
        g_supportSeams.ErrorFormShown(Hwnd());

    // Until the form is unloaded. A WM_QUIT ends the display early and is
    // put back for the loop that owns it.
    MSG msg{};
    while (Hwnd()) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1)
            break;
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!::IsDialogMessageW(Hwnd(), &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    EndModal();
}

void frmError::Unload() noexcept
{
    // The owner is enabled again first, so that it becomes active when the form goes.
    EndModal();
    if (HWND hwnd = Hwnd())
        ::DestroyWindow(hwnd);
    m_bShowDetails = false;
}

void frmError::EndModal() noexcept
{
    if (m_bOwnerDisabled)
        ::EnableWindow(m_hWndOwner, TRUE);
    m_bOwnerDisabled = false;
    m_hWndOwner = nullptr;
}

void frmError::ShowDetails(bool bShowDetails) noexcept
{
    m_bShowDetails = bShowDetails;
    ::SetDlgItemTextW(Hwnd(), btnDetails, bShowDetails ? L"Details <<" : L"Details >>");
    ResizeForm(bShowDetails);
}

// The design's client width and outer height at the window's DPI.
void frmError::ResizeForm(bool bExpanded) noexcept
{
    RECT frame{0, 0, Scale().ToPixelsX(kClientWidth), 0};
    ::AdjustWindowRectEx(&frame, kFormStyle, FALSE, kFormExStyle);
    ::SetWindowPos(Hwnd(), nullptr, 0, 0, frame.right - frame.left,
                   Scale().ToPixelsY(bExpanded ? kExpandedHeight : kCollapsedHeight),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmError::btnDetails_Click() noexcept { ShowDetails(!m_bShowDetails); }

void frmError::btnOkay_Click() noexcept { Unload(); }

LRESULT frmError::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED) {
            switch (LOWORD(wParam)) {
            case btnOkay:
            case IDCANCEL: // Escape
                btnOkay_Click();
                return 0;
            case btnDetails:
                btnDetails_Click();
                return 0;
            }
        }
        break;
    case WM_CLOSE:
        Unload();
        return 0;
    }
    return Default(msg, wParam, lParam);
}

// Destroyed from outside (with its owner, say): the form is gone.
void frmError::OnDestroyed() noexcept { EndModal(); }
