#include "ZarqPlugin.h"

#include <limits>

#include "Reported.h"
#include "com/AutomationValues.h"
#include "g_modDebug.h"
#include "g_modNewFunc.h"
#include "modNotify.h"
#include "outlook/OutlookIds.h"

namespace {

constexpr const char* kHandleItemAdd = "ZarqPlugin_HandleItemAdd()";

} // namespace

// Building the text may run out of memory: the guard makes that an error.
HRESULT ZarqPlugin::GetClass(BSTR* value) noexcept
{
    return Guard([&] { return com::Out(value, std::wstring(L"ZarqNotifier")); });
}

HRESULT ZarqPlugin::GetFriendlyName(BSTR* value) noexcept
{
    return Guard([&] { return com::Out(value, std::wstring(L"Notifier")); });
}

HRESULT ZarqPlugin::GetDescription(BSTR* value) noexcept
{
    return Guard([&] { return com::Out(value, std::wstring(L"Zeigt neue Nachrichten in einer Liste an")); });
}

HRESULT ZarqPlugin::GetId(VARIANT* value) noexcept
{
    return Guard([&] {
        if (!value)
            return E_POINTER;
        // A string, not a GUID: no braces, "11d5" in lower case.
        com::Variant id(L"5CF3ECF3-42FB-11d5-B141-00105AAFBBEA");
        *value = id.Detach();
        return S_OK;
    });
}

HRESULT ZarqPlugin::PluginAddRef() noexcept
{
    if (m_iRefCount == std::numeric_limits<short>::max())
        return Fail(DISP_E_OVERFLOW, L"Overflow");
    ++m_iRefCount;
    return S_OK;
}

HRESULT ZarqPlugin::DeleteRef() noexcept
{
    if (m_iRefCount == std::numeric_limits<short>::min())
        return Fail(DISP_E_OVERFLOW, L"Overflow");
    --m_iRefCount;
    return S_OK;
}

HRESULT ZarqPlugin::get_RefCount(short* value) noexcept
{
    if (!value)
        return E_POINTER;
    *value = m_iRefCount;
    return S_OK;
}

HRESULT ZarqPlugin::LoadSettings(BSTR) noexcept { return S_OK; }
HRESULT ZarqPlugin::SaveSettings(BSTR) noexcept { return S_OK; }
HRESULT ZarqPlugin::BeforeSaveSettings() noexcept { return S_OK; }

HRESULT ZarqPlugin::StartUp() noexcept
{
    CreateNotifyWindow();
    return S_OK;
}

HRESULT ZarqPlugin::ShutDown() noexcept
{
    DestroyNotifyWindow();
    return S_OK;
}

HRESULT ZarqPlugin::HandleItemAdd(IDispatch* Item, _NotifyFolder* Nf) noexcept
{
    // Whatever happens inside, the host hears of success; a failure that
    // ends the handler is logged.
    RunReported(kHandleItemAdd, [&] {
        if (!Item || !Nf) {
            WarnError("An invalid item oder NotifyFolder object was passed", kHandleItemAdd);
            return;
        }
        com::ComPtr<IDispatch> items;
        if (FAILED(Nf->get_OutlookItems(items.GetAddressOf())) || !items) {
            WarnError("Could not get a valid Outlook.Items collection", kHandleItemAdd);
            return;
        }
        // Anything but a mail item arrives at the window as no item.
        com::ComPtr<IDispatch> mailItem;
        if (FAILED(Item->QueryInterface(kOlIidMailItem, reinterpret_cast<void**>(mailItem.GetAddressOf()))))
            mailItem.Reset();
        com::Bstr folderName;
        if (FAILED(Nf->get_FriendlyName(folderName.put())))
            folderName = com::Bstr();
        AddNotifyItem(mailItem.Get(), folderName.str());
        ShowNotifyWindow();
    });
    return S_OK;
}

std::wstring ZarqPlugin::InfoText()
{
    return L"ZarqNotifier v" + com::Widen(ModuleVersionText()) +
           L"\r\n\r\n"
           L"Copyright \u00a9 Wendmoor. Alle Rechte vorbehalten."
           L"\r\n\r\n"
           L"E-Mail: corvane@wendmoor.example"
           L"\r\n"
           L"Web: https://wendmoor.example/corvane";
}

HRESULT ZarqPlugin::ShowMessage(const std::wstring& sText, const wchar_t* sCaption) noexcept
{
    if (::MessageBoxW(::GetActiveWindow(), sText.c_str(), sCaption, MB_OK | MB_ICONINFORMATION) == 0)
        return Fail(HRESULT_FROM_WIN32(::GetLastError()), L"The message box could not be shown");
    return S_OK;
}

HRESULT ZarqPlugin::Configure() noexcept
{
    return Guard(
        [&] { return ShowMessage(L"Dieses Plugin hat keine weiteren Einstellungsm\u00f6glichkeiten.", L"Hinweis"); });
}

HRESULT ZarqPlugin::Info() noexcept
{
    return Guard([&] { return ShowMessage(InfoText(), L"Info"); });
}
