#include "FolderPropertiesDialog.h"

#include <commctrl.h>
#include <prsht.h>

#include "Explorer.h"
#include "Folder.h"
#include "GeneralPage.h"
#include "InPlaceFrame.h"
#include "NameSpace.h"
#include "PageHost.h"
#include "PropertyPages.h"
#include "Session.h"
#include "WindowText.h"

namespace outlooksim {

namespace {

constexpr int kApplyButton = 0x3021; // the sheet's Apply button
constexpr short kPageWidth = 264;    // dialog units: Outlook's page is about 400 x 355 pixels
constexpr short kPageHeight = 236;

struct ControlSearch {
    std::wstring text;
    HWND found = nullptr;
};

BOOL CALLBACK FindButton(HWND hwnd, LPARAM param)
{
    auto* search = reinterpret_cast<ControlSearch*>(param);
    wchar_t className[32] = {};
    ::GetClassNameW(hwnd, className, 32);
    if (::CompareStringOrdinal(className, -1, L"Button", -1, TRUE) != CSTR_EQUAL)
        return TRUE;
    wchar_t text[256] = {};
    ::GetWindowTextW(hwnd, text, 256);
    if (WithoutMnemonic(text) != search->text)
        return TRUE;
    search->found = hwnd;
    return FALSE;
}

} // namespace

FolderPropertiesDialog::FolderPropertiesDialog(std::shared_ptr<Session> session, Folder* folder, SheetRoutes routes)
    : m_session(std::move(session)), m_routes(routes), m_frame(com::Make<InPlaceFrame>(nullptr)), m_folder(folder),
      m_template(kPageWidth, kPageHeight)
{
}

FolderPropertiesDialog::~FolderPropertiesDialog()
{
    if (m_sheet) {
        m_lastButton = L"the host";
        ::DestroyWindow(m_sheet);
        Closed();
    }
}

Folder* FolderPropertiesDialog::GetFolder() const noexcept { return m_folder.Get(); }

bool FolderPropertiesDialog::Open()
{
    m_pages = com::Make<PropertyPages>(m_session, m_folder.Get());
    if (NameSpace* ns = m_session->Mapi())
        ns->RaiseOptionsPagesAdd(static_cast<::PropertyPages*>(m_pages.Get()), m_folder.Get());
    m_pages->Close();

    m_sheetPages.push_back(std::make_unique<GeneralPage>(m_folder.Get()));
    for (const auto& entry : m_pages->Entries()) {
        auto page = std::make_unique<PageHost>(m_session, entry.control.Get(), entry.title,
                                               static_cast<::PropertyPages*>(m_pages.Get()), m_frame.Get(), m_routes);
        m_addinPages.push_back(page.get());
        m_sheetPages.push_back(std::move(page));
    }
    // The sheet starts with its own page; the add-ins' pages are added to
    // it, created at once (Wine honours PSP_PREMATURE only for added pages).
    PROPSHEETPAGEW general = m_sheetPages.front()->Describe(m_template.Get(), false);
    m_caption = L"Eigenschaften von \"" + m_folder->Name() + L"\"";
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof header;
    header.dwFlags = PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_NOCONTEXTHELP;
    Explorer* explorer = m_session->ActiveExplorer();
    header.hwndParent = explorer ? explorer->Window() : nullptr;
    header.pszCaption = m_caption.c_str();
    header.nPages = 1;
    header.ppsp = &general;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&icc);
    m_sheet = reinterpret_cast<HWND>(::PropertySheetW(&header));
    if (!m_sheet || m_sheet == reinterpret_cast<HWND>(-1)) {
        m_sheet = nullptr;
        m_session->GetTrace().Outlook(L"Properties of " + Trace::Quoted(m_folder->Name()) + L": the sheet failed");
        Closed();
        return false;
    }
    m_frame->SetWindow(m_sheet);
    // The buttons in German, as in a German Outlook.
    ::SetDlgItemTextW(m_sheet, IDCANCEL, L"Abbrechen");
    ::SetDlgItemTextW(m_sheet, kApplyButton, L"\u00DC&bernehmen");
    for (PageHost* page : m_addinPages) {
        PROPSHEETPAGEW description = page->Describe(m_template.Get(), true);
        PropSheet_AddPage(m_sheet, ::CreatePropertySheetPageW(&description));
    }
    MessagePump::Register(this);
    std::wstring titles;
    for (const auto& title : Titles())
        titles += (titles.empty() ? L"" : L", ") + Trace::Quoted(title);
    m_session->GetTrace().Outlook(L"Properties of " + Trace::Quoted(m_folder->Name()) + L" shown with " +
                                  Trace::Count(static_cast<long>(m_sheetPages.size()), L"page") + L": " + titles);
    return true;
}

std::vector<std::wstring> FolderPropertiesDialog::Titles() const
{
    std::vector<std::wstring> titles;
    for (const auto& page : m_sheetPages)
        titles.push_back(page->Title());
    return titles;
}

PageHost* FolderPropertiesDialog::AddinPage(size_t index) const noexcept
{
    return index < m_addinPages.size() ? m_addinPages[index] : nullptr;
}

bool FolderPropertiesDialog::Select(std::wstring_view titleOrNumber)
{
    if (!m_sheet)
        return false;
    for (size_t i = 0; i < m_sheetPages.size(); ++i) {
        if (m_sheetPages[i]->Title() == titleOrNumber || std::to_wstring(i + 1) == titleOrNumber)
            return PropSheet_SetCurSel(m_sheet, nullptr, static_cast<int>(i)) != FALSE;
    }
    return false;
}

std::wstring FolderPropertiesDialog::CurrentTitle() const
{
    if (!m_sheet)
        return {};
    int index = static_cast<int>(::SendMessageW(PropSheet_GetTabControl(m_sheet), TCM_GETCURSEL, 0, 0));
    return index >= 0 && static_cast<size_t>(index) < m_sheetPages.size() ? m_sheetPages[index]->Title() : L"";
}

bool FolderPropertiesDialog::ApplyEnabled() const noexcept
{
    HWND apply = m_sheet ? ::GetDlgItem(m_sheet, kApplyButton) : nullptr;
    return apply && ::IsWindowEnabled(apply);
}

bool FolderPropertiesDialog::Press(Button button)
{
    if (!m_sheet)
        return false;
    switch (button) {
    case Button::Apply:
        if (!ApplyEnabled())
            return false;
        m_lastButton = L"Apply";
        PropSheet_PressButton(m_sheet, PSBTN_APPLYNOW);
        break;
    case Button::Ok:
        m_lastButton = L"OK";
        PropSheet_PressButton(m_sheet, PSBTN_OK);
        break;
    case Button::Cancel:
        m_lastButton = L"Cancel";
        PropSheet_PressButton(m_sheet, PSBTN_CANCEL);
        break;
    }
    MessagePump::PumpPending();
    return true;
}

int FolderPropertiesDialog::PageIndexOf(HWND control) const noexcept
{
    for (HWND w = control; w && w != m_sheet; w = ::GetParent(w))
        for (size_t i = 0; i < m_sheetPages.size(); ++i)
            if (m_sheetPages[i]->Window() == w)
                return static_cast<int>(i);
    return -1;
}

bool FolderPropertiesDialog::Click(std::wstring_view text)
{
    if (!m_sheet)
        return false;
    ControlSearch search{WithoutMnemonic(std::wstring(text))};
    ::EnumChildWindows(m_sheet, &FindButton, reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        return false;
    int page = PageIndexOf(search.found);
    if (page >= 0)
        PropSheet_SetCurSel(m_sheet, nullptr, page);
    ::SendMessageW(search.found, BM_CLICK, 0, 0);
    MessagePump::PumpPending();
    return true;
}

bool FolderPropertiesDialog::PreTranslate(MSG& msg) noexcept
{
    if (!m_sheet)
        return false;
    const bool key = msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST;
    try {
        if (key && m_routes.keys == SheetRoutes::Keys::Accelerator && TranslateForControls(msg))
            return true;
    } catch (...) {
    }
    return PropSheet_IsDialogMessage(m_sheet, &msg);
}

// The active object first; then the mnemonics of the shown page's control,
// as its GetControlInfo gives them; Tab inside a control's window that the
// control did not take leaves the control as a whole. Everything else is
// the sheet's dialog handling.
bool FolderPropertiesDialog::TranslateForControls(MSG& msg)
{
    if (IOleInPlaceActiveObject* active = m_frame->ActiveObject())
        if (com::ComPtr<IOleInPlaceActiveObject>(active)->TranslateAccelerator(&msg) == S_OK)
            return true;
    if (PageHost* shown = ShownAddinPage(); shown && shown->RunMnemonic(msg))
        return true;
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB)
        return false;
    for (PageHost* page : m_addinPages) {
        if (page->Holds(msg.hwnd)) {
            MovePast(*page, (::GetKeyState(VK_SHIFT) & 0x8000) != 0);
            return true;
        }
    }
    return false;
}

void FolderPropertiesDialog::MovePast(const PageHost& page, bool backwards)
{
    HWND from = ::GetFocus();
    HWND next = from;
    for (int step = 0; step < 1000; ++step) {
        next = ::GetNextDlgTabItem(m_sheet, next, backwards);
        if (!next || next == from)
            return;
        if (!page.Holds(next)) {
            ::SetFocus(next);
            return;
        }
    }
}

PageHost* FolderPropertiesDialog::ShownAddinPage() const noexcept
{
    HWND current = m_sheet ? PropSheet_GetCurrentPageHwnd(m_sheet) : nullptr;
    for (PageHost* page : m_addinPages)
        if (current && page->Window() == current)
            return page;
    return nullptr;
}

// A modeless sheet that OK or Cancel has ended has no current page any more.
// While it is open, a control the user has left gives up its user interface.
void FolderPropertiesDialog::AfterMessages() noexcept
{
    if (m_sheet && PropSheet_GetCurrentPageHwnd(m_sheet)) {
        try {
            for (PageHost* page : m_addinPages)
                page->DeactivateIfLeft();
        } catch (...) {
        }
    }
    if (m_sheet && !PropSheet_GetCurrentPageHwnd(m_sheet)) {
        ::DestroyWindow(m_sheet);
        Closed();
    }
}

void FolderPropertiesDialog::Closed() noexcept
{
    MessagePump::Unregister(this);
    if (m_sheet)
        m_session->GetTrace().Outlook(L"Properties of " + Trace::Quoted(m_folder->Name()) + L" closed (" +
                                      m_lastButton + L")");
    m_sheet = nullptr;
    m_addinPages.clear();
    m_sheetPages.clear(); // the pages let go of their controls,
    if (m_pages)
        m_pages->Clear(); // and so does the collection
}

} // namespace outlooksim
