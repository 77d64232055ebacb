#include "ProbeAddin.h"

#include <cwchar>

#include "ProbeLog.h"
#include "ProbePage.h"
#include "ProbeTrayWindow.h"
#include "com/AutomationValues.h"
#include "com/LateBound.h"
#include "outlook/OutlookIds.h"

using probe::Hex;
using probe::Quoted;
using probe::Record;

namespace {

// How the host passed the custom array.
std::wstring DescribeCustom(SAFEARRAY** custom)
{
    if (!custom || !*custom)
        return L"custom null";
    VARTYPE vt = VT_EMPTY;
    ::SafeArrayGetVartype(*custom, &vt);
    LONG lower = 0, upper = -1;
    ::SafeArrayGetLBound(*custom, 1, &lower);
    ::SafeArrayGetUBound(*custom, 1, &upper);
    return std::wstring(vt == VT_VARIANT ? L"custom VT_VARIANT[" : L"custom other[") +
           std::to_wstring(upper - lower + 1) + L"]";
}

std::wstring Text(IDispatch* object, const wchar_t* name)
{
    com::Variant v;
    return SUCCEEDED(com::GetProperty(object, name, &v)) ? v.ToString() : L"(error)";
}

std::wstring Date(IDispatch* object, const wchar_t* name)
{
    com::Variant v;
    if (FAILED(com::GetProperty(object, name, &v)) || v.vt != VT_DATE)
        return L"(not a date)";
    SYSTEMTIME st{};
    ::VariantTimeToSystemTime(v.date, &st);
    wchar_t text[32];
    std::swprintf(text, 32, L"%02u.%02u.%04u %02u:%02u", st.wDay, st.wMonth, st.wYear, st.wHour, st.wMinute);
    return text;
}

} // namespace

ProbeAddin::ProbeAddin(bool failConnection)
    : m_ns(kOlDiidNameSpaceEvents,
           [this](DISPID id, DISPPARAMS* p) {
               if (id == OL_DISPID_OPTIONSPAGESADD)
                   OnOptionsPagesAdd(com::Variant(com::EventArg(p, 0)).ToDispatch().Get(),
                                     com::Variant(com::EventArg(p, 1)).ToDispatch().Get());
           }),
      m_failConnection(failConnection)
{
    Record(L"created");
}

ProbeAddin::~ProbeAddin()
{
    m_watched.clear();
    m_ns.Clear();
    Record(L"released");
}

HRESULT ProbeAddin::get_LastItem(IDispatch** value) noexcept { return com::Out(value, m_lastItem.Get()); }

HRESULT ProbeAddin::get_LastPage(IDispatch** value) noexcept { return com::Out(value, m_lastPage.Get()); }

HRESULT ProbeAddin::Watch(IDispatch* Folder) noexcept
{
    return Guard([&] {
        std::wstring name = Text(Folder, L"Name");
        com::ComPtr<IDispatch> items = com::GetObjectProperty(Folder, L"Items");
        if (!items) {
            Record(L"watch " + Quoted(name) + L": no Items");
            return S_OK;
        }
        com::ComPtr<IDispatch> folder(Folder);
        auto member = std::make_unique<com::EventMember<IDispatch>>(
            kOlDiidItemsEvents, [this, name, folder](DISPID id, DISPPARAMS* p) {
                if (id == OL_DISPID_ITEMS_ITEMADD)
                    OnItemAdd(name, folder.Get(), com::Variant(com::EventArg(p, 0)).ToDispatch().Get());
            });
        member->Assign(items.Get());
        Record(L"watching " + Quoted(name) + (member->Subscribed() ? L"" : L" (no subscription)"));
        m_watched.push_back(Watched{folder, name, std::move(member)});
        return S_OK;
    });
}

HRESULT ProbeAddin::OnConnection(IDispatch* Application, ext_ConnectMode ConnectMode, IDispatch* AddInInst,
                                 SAFEARRAY** custom) noexcept
{
    return Guard([&] {
        com::ComPtr<IUnknown> outlookApp;
        bool isOutlook = Application && SUCCEEDED(Application->QueryInterface(
                                            kOlIidApplication, reinterpret_cast<void**>(outlookApp.GetAddressOf())));
        Record(L"OnConnection(Application " + std::wstring(isOutlook ? L"_Application" : L"other") + L", ConnectMode " +
               std::to_wstring(ConnectMode) + L", AddInInst " + (AddInInst ? L"object" : L"Nothing") + L", " +
               DescribeCustom(custom) + L")");
        if (m_failConnection)
            return Fail(E_FAIL, L"connection refused");
        m_app = Application;
        m_ns.Assign(com::GetObjectProperty(m_app.Get(), L"GetNamespace", {com::Variant(L"MAPI")}).Get());
        Record(std::wstring(L"GetNamespace(\"MAPI\") -> ") + (m_ns ? L"NameSpace" : L"Nothing") +
               (m_ns.Subscribed() ? L", subscribed" : L""));
        AskForInbox();
        m_tray = std::make_unique<ProbeTrayWindow>(this);
        return S_OK;
    });
}

void ProbeAddin::AskForInbox()
{
    if (!m_ns)
        return;
    com::ComPtr<IDispatch> inbox = com::GetObjectProperty(m_ns.Get(), L"GetDefaultFolder", {com::Variant(6)});
    if (!inbox) {
        Record(L"GetDefaultFolder(6) -> error");
        return;
    }
    Record(L"GetDefaultFolder(6) -> " + Quoted(Text(inbox.Get(), L"Name")));
    std::wstring entryId = Text(inbox.Get(), L"EntryID");
    std::wstring storeId = Text(inbox.Get(), L"StoreID");
    for (bool withStore : {false, true}) {
        com::Variant result;
        std::wstring description;
        HRESULT hr =
            withStore ? com::CallMethod(m_ns.Get(), L"GetFolderFromID", {com::Variant(entryId), com::Variant(storeId)},
                                        &result, &description)
                      : com::CallMethod(m_ns.Get(), L"GetFolderFromID", {com::Variant(entryId)}, &result, &description);
        Record(std::wstring(L"GetFolderFromID(inbox") + (withStore ? L", store" : L"") + L") -> " +
               (SUCCEEDED(hr) ? Quoted(Text(result.ToDispatch().Get(), L"Name")) : Hex(hr) + L" " + description));
    }
    Watch(inbox.Get());
}

HRESULT ProbeAddin::OnDisconnection(ext_DisconnectMode RemoveMode, SAFEARRAY** custom) noexcept
{
    Record(L"OnDisconnection(RemoveMode " + std::to_wstring(RemoveMode) + L", " + DescribeCustom(custom) + L")");
    m_tray.reset();
    m_watched.clear();
    m_lastPage.Reset(); // the page holds the add-in
    return S_OK;
}

HRESULT ProbeAddin::OnAddInsUpdate(SAFEARRAY** custom) noexcept
{
    Record(L"OnAddInsUpdate(" + DescribeCustom(custom) + L")");
    return S_OK;
}

HRESULT ProbeAddin::OnStartupComplete(SAFEARRAY** custom) noexcept
{
    Record(L"OnStartupComplete(" + DescribeCustom(custom) + L")");
    return S_OK;
}

HRESULT ProbeAddin::OnBeginShutdown(SAFEARRAY** custom) noexcept
{
    Record(L"OnBeginShutdown(" + DescribeCustom(custom) + L")");
    return S_OK;
}

void ProbeAddin::OnItemAdd(const std::wstring& folderName, IDispatch* folder, IDispatch* item)
{
    m_lastItem = item;
    m_lastFolder = folder;
    com::ComPtr<IUnknown> mail;
    bool isMail =
        item && SUCCEEDED(item->QueryInterface(kOlIidMailItem, reinterpret_cast<void**>(mail.GetAddressOf())));
    Record(L"ItemAdd(" + Quoted(folderName) + L"): Subject " + Quoted(Text(item, L"Subject")) + L", SenderName " +
           Quoted(Text(item, L"SenderName")) + L", ReceivedTime " + Date(item, L"ReceivedTime") + L", _MailItem " +
           (isMail ? L"yes" : L"no"));
}

void ProbeAddin::OnOptionsPagesAdd(IDispatch* pages, IDispatch* folder)
{
    com::Variant type;
    com::GetProperty(folder, L"DefaultItemType", &type);
    std::wstring name = Text(folder, L"Name");
    Record(L"OptionsPagesAdd(" + Quoted(name) + L", DefaultItemType " + type.ToString() + L")");
    if (type.ToLong(-1) != 0)
        return;
    auto page = com::Make<ProbePage>(this, folder);
    m_lastPage = static_cast<IProbePage*>(page.Get());
    HRESULT hr = com::CallMethod(pages, L"Add", {com::Variant(m_lastPage.Get()), com::Variant(L"")});
    Record(L"Pages.Add(page, \"\") -> " + Hex(hr));
}

void ProbeAddin::TrayDoubleClick()
{
    com::ComPtr<IDispatch> explorer = com::GetObjectProperty(m_app.Get(), L"ActiveExplorer");
    if (!explorer) {
        Record(L"tray double-click: ActiveExplorer -> Nothing");
        return;
    }
    HRESULT set = m_lastFolder ? com::PutPropertyRef(explorer.Get(), L"CurrentFolder", m_lastFolder.Get()) : S_FALSE;
    HRESULT activate = com::CallMethod(explorer.Get(), L"Activate");
    Record(L"tray double-click: CurrentFolder -> " + Hex(set) + L", Activate -> " + Hex(activate));
}
