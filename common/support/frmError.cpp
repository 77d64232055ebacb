#include "frmError.h"

#include <utility>

#include "com/ComModule.h"
#include "g_modSeams.h"

namespace {

const wchar_t kClassName[] = L"corvane.frmError";
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

// Courier New 8.25 pt, in hundredths of a point.
constexpr int kCourierCentiPoints = 825;

struct ControlLayout {
    frmError::Control id;
    const wchar_t* className;
    DWORD style;
    DWORD exStyle;
    int left, top, width, height; // twips
    const wchar_t* text;
    bool courier;
};

// Created in this order, which is also the tab order of the buttons and boxes.
const ControlLayout kControls[] = {
    {frmError::imgError, L"STATIC", SS_ICON | SS_CENTERIMAGE, 0, 120, 360, 480, 480, nullptr, false},
    {frmError::Label1, L"STATIC", SS_LEFT | SS_NOPREFIX, 0, 840, 120, 4815, 1035, kExplanation, false},
    {frmError::btnOkay, L"BUTTON", BS_DEFPUSHBUTTON | WS_TABSTOP, 0, 3300, 1320, 1155, 359, L"&OK", false},
    {frmError::btnDetails, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0, 4500, 1320, 1155, 359, L"&Details >>", false},
    {frmError::txtProc, L"EDIT", ES_AUTOHSCROLL | ES_READONLY | WS_TABSTOP, WS_EX_CLIENTEDGE, 840, 1860, 4815, 315,
     L"", true},
    {frmError::txtDetails, L"EDIT", ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | WS_VSCROLL | WS_TABSTOP,
     WS_EX_CLIENTEDGE, 840, 2280, 4815, 1515, L"", true},
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
    if (m_hWnd)
        return true;

    const HINSTANCE instance = com::Module::Instance();
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kClassName;
    if (!::RegisterClassExW(&wc) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return false;

    m_twips = Twips();

    // The design width is the client's; the collapsed height is the outer one.
    RECT frame{0, 0, m_twips.ToPixelsX(kClientWidth), 0};
    ::AdjustWindowRectEx(&frame, kFormStyle, FALSE, kFormExStyle);
    const int width = frame.right - frame.left;
    const int height = m_twips.ToPixelsY(kCollapsedHeight);
    const HWND owner = ::GetActiveWindow();
    const RECT area = CenteringArea(owner);
    const int left = area.left + (area.right - area.left - width) / 2;
    const int top = area.top + (area.bottom - area.top - height) / 2;

    if (!::CreateWindowExW(kFormExStyle, kClassName, kCaption, kFormStyle, left, top, width, height, owner, nullptr,
                           instance, this))
        return false;
    CreateControls();
    m_bShowDetails = false;
    return true;
}

void frmError::CreateControls() noexcept
{
    m_fntCourier.reset(::CreateFontW(-::MulDiv(kCourierCentiPoints, m_twips.DpiY(), 7200), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                                     FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                     FIXED_PITCH | FF_MODERN, L"Courier New"));
    const HGDIOBJ guiFont = ::GetStockObject(DEFAULT_GUI_FONT);
    for (const ControlLayout& c : kControls) {
        HWND control = ::CreateWindowExW(
            c.exStyle, c.className, c.text, WS_CHILD | WS_VISIBLE | c.style, m_twips.ToPixelsX(c.left),
            m_twips.ToPixelsY(c.top), m_twips.ToPixelsX(c.width), m_twips.ToPixelsY(c.height), m_hWnd,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), com::Module::Instance(), nullptr);
        if (!control)
            continue;
        const HGDIOBJ font = c.courier && m_fntCourier ? m_fntCourier.get() : guiFont;
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    // The system's error icon, 32 x 32; a shared system icon is never destroyed.
    if (HANDLE icon = ::LoadImageA(nullptr, IDI_ERROR, IMAGE_ICON, 32, 32, LR_SHARED))
        ::SendDlgItemMessageW(m_hWnd, imgError, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
}

void frmError::SetErrorMessage(const std::string& sProc, long lError, const std::string& sError) noexcept
{
    if (!m_hWnd)
        return;
    try {
        ::SetDlgItemTextW(m_hWnd, txtProc, com::Widen(sProc).c_str());
        const std::string sDetails = "[ " + std::to_string(lError) + " ] " + sError;
        ::SetDlgItemTextW(m_hWnd, txtDetails, com::Widen(sDetails).c_str());
    } catch (...) {
        // The boxes keep what they had.
    }
}

void frmError::Show() noexcept
{
    if (!m_hWnd)
        return;
    m_hWndOwner = ::GetWindow(m_hWnd, GW_OWNER);
    if (m_hWndOwner && ::IsWindowEnabled(m_hWndOwner)) {
        ::EnableWindow(m_hWndOwner, FALSE);
        m_bOwnerDisabled = true;
    }
    ::ShowWindow(m_hWnd, SW_SHOW);
    ::UpdateWindow(m_hWnd);
    ::SetFocus(::GetDlgItem(m_hWnd, btnOkay));

    if (g_supportSeams.ErrorFormShown)
        g_supportSeams.ErrorFormShown(m_hWnd);

    // Until the form is unloaded. A WM_QUIT ends the display early and is
    // put back for the loop that owns it.
    MSG msg{};
    while (m_hWnd) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1)
            break;
        if (got == 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!::IsDialogMessageW(m_hWnd, &msg)) {
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
    if (HWND hwnd = std::exchange(m_hWnd, nullptr))
        ::DestroyWindow(hwnd);
    m_fntCourier.reset();
    m_bShowDetails = false;
    ::UnregisterClassW(kClassName, com::Module::Instance()); // fails harmlessly while another form is loaded
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
    ::SetDlgItemTextW(m_hWnd, btnDetails, bShowDetails ? L"Details <<" : L"Details >>");
    ResizeForm(bShowDetails);
}

void frmError::ResizeForm(bool bExpanded) noexcept
{
    RECT outer{};
    if (!::GetWindowRect(m_hWnd, &outer))
        return;
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, outer.right - outer.left,
                   m_twips.ToPixelsY(bExpanded ? kExpandedHeight : kCollapsedHeight),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void frmError::btnDetails_Click() noexcept { ShowDetails(!m_bShowDetails); }

void frmError::btnOkay_Click() noexcept { Unload(); }


LRESULT CALLBACK frmError::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept
{
    if (msg == WM_NCCREATE) {
        auto* form = static_cast<frmError*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        form->m_hWnd = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<frmError*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (form && form->m_hWnd == hwnd)
        return form->HandleMessage(msg, wParam, lParam);
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT frmError::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) noexcept
{
    const HWND hwnd = m_hWnd;
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
    case WM_NCDESTROY:
        // Destroyed from outside (with its owner, say): the form is gone.
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        EndModal();
        m_hWnd = nullptr;
        break;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}
