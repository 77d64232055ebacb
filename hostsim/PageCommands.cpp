#include "PageCommands.h"

#include <commctrl.h>

#include <cwctype>

#include "FolderPropertiesDialog.h"
#include "MessagePump.h"
#include "OutlookWorld.h"
#include "PageHost.h"
#include "WindowText.h"
#include "com/ComRaii.h"
#include "config/ProductKeys.h"

namespace outlooksim {

namespace {

constexpr const wchar_t* kPluginKey = productkeys::kInstallSubKey;
constexpr const wchar_t kPluginValue[] = L"PluginPath";
constexpr int kFileNameBox = 0x47c;  // cmb13: the file name of the open-file dialog
constexpr int kFileNameEdit = 0x480; // edt1: the same in older templates
constexpr int kFilterBox = 0x470;    // cmb1: the file types

bool ClassIs(HWND window, const wchar_t* name)
{
    return ::CompareStringOrdinal(ClassOf(window).c_str(), -1, name, -1, TRUE) == CSTR_EQUAL;
}

// Every descendant of the page, parents before children, in z-order.
void Collect(HWND parent, std::vector<HWND>& out)
{
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        out.push_back(child);
        Collect(child, out);
    }
}

std::vector<HWND> Descendants(HWND page)
{
    std::vector<HWND> all;
    if (page)
        Collect(page, all);
    return all;
}

HWND FindByClass(HWND page, const wchar_t* name)
{
    for (HWND w : Descendants(page))
        if (ClassIs(w, name))
            return w;
    return nullptr;
}

std::wstring ListText(HWND list, int item, int subItem)
{
    wchar_t text[256] = {};
    LVITEMW lv{};
    lv.iSubItem = subItem;
    lv.pszText = text;
    lv.cchTextMax = 256;
    ::SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(item), reinterpret_cast<LPARAM>(&lv));
    return text;
}

int FindListEntry(HWND list, const std::wstring& text)
{
    const int count = list ? static_cast<int>(::SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
    for (int i = 0; i < count; ++i)
        if (ListText(list, i, 0) == text)
            return i;
    return -1;
}

std::wstring TabText(HWND tabs, int index)
{
    wchar_t text[128] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 128;
    ::SendMessageW(tabs, TCM_GETITEMW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return text;
}

std::wstring Flags(HWND window)
{
    std::wstring flags;
    if (!::IsWindowEnabled(window))
        flags += L" disabled";
    if (!::IsWindowVisible(window))
        flags += L" hidden";
    if (::GetFocus() == window)
        flags += L" focused";
    return flags;
}

struct DialogSearch {
    HWND found = nullptr;
};

// A visible dialog box of this thread: the open-file dialog or a message box.
BOOL CALLBACK FindDialog(HWND window, LPARAM param)
{
    if (::IsWindowVisible(window) && ClassIs(window, L"#32770")) {
        reinterpret_cast<DialogSearch*>(param)->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK CollectTooltips(HWND window, LPARAM param)
{
    if (ClassIs(window, L"tooltips_class32"))
        reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

} // namespace

PageCommands* PageCommands::s_answering = nullptr;

PageCommands::PageCommands(OutlookWorld& world, std::wstring programDir)
    : m_world(world), m_programDir(std::move(programDir))
{
}

PageCommands::~PageCommands()
{
    if (m_timer)
        ::KillTimer(nullptr, m_timer);
    if (s_answering == this)
        s_answering = nullptr;
    if (!m_pathChanged)
        return;
    com::UniqueHKey key;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kPluginKey, 0, nullptr, 0, KEY_WRITE, nullptr, key.put(), nullptr) !=
        ERROR_SUCCESS)
        return;
    if (m_savedPath)
        ::RegSetValueExW(key.get(), kPluginValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(m_savedPath->c_str()),
                         static_cast<DWORD>((m_savedPath->size() + 1) * sizeof(wchar_t)));
    else
        ::RegDeleteValueW(key.get(), kPluginValue);
}

void PageCommands::Note(const std::wstring& text) const { m_world.GetTrace().Host(text); }

void PageCommands::NotTaken(const std::wstring& text) const
{
    ++m_stepsNotTaken;
    Note(text);
}

bool PageCommands::Run(const ScenarioCommand& c)
{
    using Handler = void (PageCommands::*)(const ScenarioCommand&);
    static const std::pair<const wchar_t*, Handler> handlers[] = {
        {L"tab", &PageCommands::Tab},
        {L"check", &PageCommands::Check},
        {L"uncheck", &PageCommands::Check},
        {L"select", &PageCommands::Select},
        {L"type", &PageCommands::Type},
        {L"filedialog", &PageCommands::FileDialog},
        {L"key", &PageCommands::Key},
        {L"pluginpath", &PageCommands::PluginPath},
        {L"pagestate", &PageCommands::PageState},
        {L"sheet", &PageCommands::Sheet},
    };
    for (const auto& [name, handler] : handlers) {
        if (c.name == name) {
            (this->*handler)(c);
            MessagePump::PumpPending();
            return true;
        }
    }
    return false;
}

HWND PageCommands::Page() const
{
    FolderPropertiesDialog* dialog = m_world.Properties();
    if (!dialog) {
        NotTaken(L"no Properties dialog is open");
        return nullptr;
    }
    for (size_t i = 0; i < dialog->AddinPageCount(); ++i)
        if (HWND window = dialog->AddinPage(i)->ControlWindow())
            return window;
    NotTaken(L"the dialog has no add-in page in place");
    return nullptr;
}

// A click on the tab with this caption.
void PageCommands::Tab(const ScenarioCommand& c)
{
    HWND tabs = FindByClass(Page(), WC_TABCONTROLW);
    if (!tabs)
        return NotTaken(L"the page has no tabs");
    const int count = static_cast<int>(::SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        if (TabText(tabs, i) != c.args[0])
            continue;
        if (!::IsWindowVisible(tabs))
            return NotTaken(L"the tabs are hidden");
        RECT rc{};
        ::SendMessageW(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&rc));
        const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        ::SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::SendMessageW(tabs, WM_LBUTTONUP, 0, at);
        return;
    }
    NotTaken(L"the page has no tab " + Trace::Quoted(c.args[0]));
}

// A check box is clicked when its state differs; a list entry is selected
// and its check box toggled.
void PageCommands::Check(const ScenarioCommand& c)
{
    const bool wanted = c.name == L"check";
    HWND page = Page();
    for (HWND w : Descendants(page)) {
        if (!ClassIs(w, L"Button") || WithoutMnemonic(TextOf(w)) != WithoutMnemonic(c.args[0]))
            continue;
        if (!::IsWindowVisible(w) || !::IsWindowEnabled(w))
            return NotTaken(Trace::Quoted(c.args[0]) + L" is" + Flags(w) + L": not clicked");
        if ((::SendMessageW(w, BM_GETCHECK, 0, 0) == BST_CHECKED) != wanted)
            ::SendMessageW(w, BM_CLICK, 0, 0);
        return;
    }
    HWND list = FindByClass(page, WC_LISTVIEWW);
    const int entry = FindListEntry(list, c.args[0]);
    if (entry < 0)
        return NotTaken(L"the page has no check box or entry " + Trace::Quoted(c.args[0]));
    if (!::IsWindowVisible(list) || !::IsWindowEnabled(list))
        return NotTaken(L"the list is" + Flags(list) + L": not clicked");
    ::SetFocus(list);
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(entry), reinterpret_cast<LPARAM>(&state));
    const bool checked =
        (::SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(entry), LVIS_STATEIMAGEMASK) >> 12) == 2;
    if (checked == wanted)
        return;
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = INDEXTOSTATEIMAGEMASK(wanted ? 2 : 1);
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(entry), reinterpret_cast<LPARAM>(&state));
}

void PageCommands::Select(const ScenarioCommand& c)
{
    HWND list = FindByClass(Page(), WC_LISTVIEWW);
    const int entry = FindListEntry(list, c.args[0]);
    if (entry < 0)
        return NotTaken(L"the list has no entry " + Trace::Quoted(c.args[0]));
    ::SetFocus(list);
    LVITEMW state{};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    ::SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(entry), reinterpret_cast<LPARAM>(&state));
}

void PageCommands::Type(const ScenarioCommand& c)
{
    HWND edit = FindByClass(Page(), L"Edit");
    if (!edit)
        return NotTaken(L"the page has no text box");
    if (!::IsWindowVisible(edit) || !::IsWindowEnabled(edit))
        return NotTaken(L"the text box is" + Flags(edit) + L": nothing typed");
    ::SetFocus(edit);
    ::SetWindowTextW(edit, c.args[0].c_str());
}

// The next file-open dialog is answered from a timer that runs in its modal loop.
void PageCommands::FileDialog(const ScenarioCommand& c)
{
    m_fileAnswer = c.args[0] == L"answer" ? c.args[1] : L"";
    s_answering = this;
    if (!m_timer)
        m_timer = ::SetTimer(nullptr, 0, 100, &AnswerFileDialog);
}

void CALLBACK PageCommands::AnswerFileDialog(HWND, UINT, UINT_PTR, DWORD)
{
    PageCommands* self = s_answering;
    if (!self || !self->m_fileAnswer)
        return;
    DialogSearch search;
    ::EnumThreadWindows(::GetCurrentThreadId(), &FindDialog, reinterpret_cast<LPARAM>(&search));
    if (!search.found)
        return;
    HWND dialog = search.found;
    ::KillTimer(nullptr, self->m_timer);
    self->m_timer = 0;
    const std::wstring answer = *self->m_fileAnswer;
    self->m_fileAnswer.reset();
    HWND name = ::GetDlgItem(dialog, kFileNameBox);
    if (!name)
        name = ::GetDlgItem(dialog, kFileNameEdit);
    if (!name) {
        // Not a file dialog: a message box, which is confirmed.
        HWND text = ::GetDlgItem(dialog, 0xFFFF);
        self->Note(L"message box " + Trace::Quoted(TextOf(dialog)) + L": " + Trace::Quoted(text ? TextOf(text) : L"") +
                   L" -> OK");
        ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
        return;
    }
    std::wstring filters;
    HWND types = ::GetDlgItem(dialog, kFilterBox);
    const int count = types ? static_cast<int>(::SendMessageW(types, CB_GETCOUNT, 0, 0)) : 0;
    for (int i = 0; i < count; ++i) {
        wchar_t item[128] = {};
        ::SendMessageW(types, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(item));
        filters += (filters.empty() ? L"" : L", ") + Trace::Quoted(item);
    }
    const int selected = types ? static_cast<int>(::SendMessageW(types, CB_GETCURSEL, 0, 0)) : -1;
    self->Note(L"file dialog " + Trace::Quoted(TextOf(dialog)) + L", file types " + filters + L", chosen " +
               std::to_wstring(selected + 1) + (answer.empty() ? L" -> cancelled" : L" -> " + Trace::Quoted(answer)));
    if (answer.empty()) {
        ::PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    ::SetWindowTextW(name, answer.c_str());
    ::PostMessageW(dialog, WM_COMMAND, IDOK, 0);
}

// A key for the control with the focus, through the message queue, so the
// dialog's keyboard handling sees it as it sees a user's key.
void PageCommands::Key(const ScenarioCommand& c)
{
    HWND focus = ::GetFocus();
    if (!focus)
        return Note(L"no window has the focus");
    const std::wstring& key = c.args[0];
    BYTE keys[256] = {};
    ::GetKeyboardState(keys);
    BYTE pressed[256];
    std::copy(std::begin(keys), std::end(keys), pressed);
    if (key.rfind(L"alt+", 0) == 0) {
        const wchar_t letter = static_cast<wchar_t>(std::towlower(key[4]));
        pressed[VK_MENU] = 0x80;
        ::SetKeyboardState(pressed);
        // What the translation of Alt+letter leaves in the queue.
        ::PostMessageW(focus, WM_SYSCHAR, letter, 0x20000001);
    } else {
        const UINT vk = key == L"space" ? VK_SPACE : key == L"enter" ? VK_RETURN : VK_TAB;
        if (key == L"shift+tab")
            pressed[VK_SHIFT] = 0x80;
        ::SetKeyboardState(pressed);
        ::PostMessageW(focus, WM_KEYDOWN, vk, 1);
        ::PostMessageW(focus, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001));
    }
    MessagePump::PumpPending();
    ::SetKeyboardState(keys);
    Note(L"focus on " + FocusName());
}

std::wstring PageCommands::FocusName() const
{
    HWND focus = ::GetFocus();
    if (!focus)
        return L"nothing";
    std::wstring text = TextOf(focus);
    if (ClassIs(focus, WC_LISTVIEWW))
        text = L"the plug-in list";
    else if (ClassIs(focus, WC_TABCONTROLW))
        text = L"the tabs";
    else if (ClassIs(focus, L"Edit"))
        text = L"the text box";
    HWND page = nullptr;
    if (FolderPropertiesDialog* dialog = m_world.Properties())
        for (size_t i = 0; i < dialog->AddinPageCount(); ++i)
            if (HWND window = dialog->AddinPage(i)->ControlWindow())
                page = window;
    const bool inPage = page && ::IsChild(page, focus);
    return Trace::Quoted(WithoutMnemonic(text)) + (inPage ? L" (on the page)" : L" (outside the page)");
}

void PageCommands::PluginPath(const ScenarioCommand& c)
{
    com::UniqueHKey key;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kPluginKey, 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, key.put(),
                          nullptr) != ERROR_SUCCESS)
        return Note(L"the plug-in directory cannot be set");
    if (!m_pathChanged) {
        m_pathChanged = true;
        wchar_t old[MAX_PATH * 2] = {};
        DWORD size = sizeof old - sizeof(wchar_t);
        if (::RegQueryValueExW(key.get(), kPluginValue, nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) ==
            ERROR_SUCCESS)
            m_savedPath = old;
    }
    std::wstring path = c.args[0];
    if (path == L"none") {
        ::RegDeleteValueW(key.get(), kPluginValue);
        return Note(L"PluginPath removed");
    }
    if (path == L".")
        path = m_programDir;
    else if (path.size() < 2 || (path[1] != L':' && path[0] != L'\\'))
        path = m_programDir + path;
    if (path.size() > 3 && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    ::RegSetValueExW(key.get(), kPluginValue, 0, REG_SZ, reinterpret_cast<const BYTE*>(path.c_str()),
                     static_cast<DWORD>((path.size() + 1) * sizeof(wchar_t)));
    Note(L"PluginPath = " + Trace::Quoted(path));
}

void PageCommands::Sheet(const ScenarioCommand& c)
{
    SheetRoutes routes = m_world.GetSheetRoutes();
    for (const std::wstring& choice : c.args) {
        if (choice == L"site=client" || choice == L"site=container")
            routes.site = choice == L"site=client" ? SheetRoutes::Site::Client : SheetRoutes::Site::Container;
        else
            routes.keys = choice == L"keys=dialog" ? SheetRoutes::Keys::Dialog : SheetRoutes::Keys::Accelerator;
    }
    m_world.SetSheetRoutes(routes);
    Note(std::wstring(L"Properties dialogs give their pages the site on the ") +
         (routes.site == SheetRoutes::Site::Client ? L"client site" : L"container") + L" and the keys through " +
         (routes.keys == SheetRoutes::Keys::Accelerator ? L"TranslateAccelerator" : L"IsDialogMessage"));
}

void PageCommands::DescribeWindow(HWND w, int depth) const
{
    const std::wstring indent(static_cast<size_t>(2 * depth), L' ');
    const std::wstring text = Trace::Quoted(TextOf(w));
    const LONG style = ::GetWindowLongW(w, GWL_STYLE);
    auto line = [&](const std::wstring& what) { m_world.GetTrace().Line(L"  | " + indent + what + Flags(w)); };
    if (ClassIs(w, L"Button")) {
        const LONG type = style & BS_TYPEMASK;
        if (type == BS_GROUPBOX)
            return line(L"frame " + text);
        if (type == BS_AUTOCHECKBOX || type == BS_CHECKBOX)
            return line(L"check box " + text +
                        (::SendMessageW(w, BM_GETCHECK, 0, 0) == BST_CHECKED ? L" = 1" : L" = 0"));
        return line(L"button " + text);
    }
    if (ClassIs(w, L"Static"))
        return line((style & SS_TYPEMASK) == SS_ICON ? L"picture" : L"label " + text);
    if (ClassIs(w, L"Edit"))
        return line(L"text box " + text);
    if (ClassIs(w, WC_TABCONTROLW)) {
        std::wstring tabs;
        const int count = static_cast<int>(::SendMessageW(w, TCM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i)
            tabs += (tabs.empty() ? L"" : L", ") + Trace::Quoted(TabText(w, i));
        const int current = static_cast<int>(::SendMessageW(w, TCM_GETCURSEL, 0, 0));
        return line(L"tabs " + tabs + L", current " + Trace::Quoted(current >= 0 ? TabText(w, current) : L""));
    }
    if (ClassIs(w, WC_LISTVIEWW)) {
        std::wstring columns;
        HWND header = reinterpret_cast<HWND>(::SendMessageW(w, LVM_GETHEADER, 0, 0));
        const int columnCount = header ? static_cast<int>(::SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
        for (int i = 0; i < columnCount; ++i) {
            wchar_t name[64] = {};
            LVCOLUMNW column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.pszText = name;
            column.cchTextMax = 64;
            ::SendMessageW(w, LVM_GETCOLUMNW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
            columns +=
                (columns.empty() ? L"" : L", ") + Trace::Quoted(name) + L" " + std::to_wstring(column.cx) + L"px";
        }
        const bool checkBoxes = (::SendMessageW(w, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_CHECKBOXES) != 0;
        line(L"list" + std::wstring(checkBoxes ? L" with check boxes" : L"") + L", columns " + columns);
        const int count = static_cast<int>(::SendMessageW(w, LVM_GETITEMCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            const UINT state = static_cast<UINT>(
                ::SendMessageW(w, LVM_GETITEMSTATE, static_cast<WPARAM>(i), LVIS_STATEIMAGEMASK | LVIS_SELECTED));
            m_world.GetTrace().Line(L"  | " + indent + L"  entry " + Trace::Quoted(ListText(w, i, 0)) + L" | " +
                                    Trace::Quoted(ListText(w, i, 1)) +
                                    ((state >> 12) == 2 ? L" checked" : L" unchecked") +
                                    (state & LVIS_SELECTED ? L" selected" : L""));
        }
        return;
    }
    if (ClassIs(w, L"tooltips_class32"))
        return;
    // A frame or tab page of the page: its controls, indented.
    line(L"panel");
    for (HWND child = ::GetWindow(w, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        DescribeWindow(child, depth + 1);
}

// Each control with its value, enabled and visible state; the tooltips of the page.
void PageCommands::PageState(const ScenarioCommand&)
{
    HWND page = Page();
    if (!page)
        return;
    FolderPropertiesDialog* dialog = m_world.Properties();
    Note(L"page state (Apply " + std::wstring(dialog->ApplyEnabled() ? L"enabled" : L"disabled") + L", focus on " +
         FocusName() + L"):");
    for (HWND child = ::GetWindow(page, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        DescribeWindow(child, 0);
    // The tooltips whose tools are on the page.
    std::vector<HWND> tips;
    ::EnumThreadWindows(::GetCurrentThreadId(), &CollectTooltips, reinterpret_cast<LPARAM>(&tips));
    for (HWND tip : tips) {
        const int count = static_cast<int>(::SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0));
        for (int i = 0; i < count; ++i) {
            wchar_t text[512] = {};
            TOOLINFOW tool{};
            tool.cbSize = sizeof tool;
            tool.lpszText = text;
            if (!::SendMessageW(tip, TTM_ENUMTOOLSW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&tool)))
                continue;
            HWND owner = (tool.uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(tool.uId) : tool.hwnd;
            if (!::IsChild(page, owner))
                continue;
            m_world.GetTrace().Line(L"  | tooltip of " + Trace::Quoted(TextOf(owner)) + L": " + Trace::Quoted(text));
        }
    }
}

} // namespace outlooksim
