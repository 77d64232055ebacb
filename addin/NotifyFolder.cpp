#include "NotifyFolder.h"

#include "AutomationValues.h"
#include "com/LateBound.h"
#include "g_modDebug.h"
#include "modValidatePointer.h"
#include "outlook/OutlookIds.h"

using automation::Flag;
using automation::Out;
using automation::Text;

NotifyFolder::NotifyFolder()
    : m_olItems(kOlDiidItemsEvents, [this](DISPID id, DISPPARAMS* p) { m_olItems_Event(id, p); })
{
}

NotifyFolder::~NotifyFolder()
{
    m_olNs.Reset();
    m_olItems.Clear();
}

// Plain stored values.
HRESULT NotifyFolder::get_ChangeCursor(VARIANT_BOOL* value) noexcept { return Out(value, m_bChangeCursor); }
HRESULT NotifyFolder::put_ChangeCursor(VARIANT_BOOL value) noexcept { return m_bChangeCursor = Flag(value), S_OK; }
HRESULT NotifyFolder::get_PlaySound(VARIANT_BOOL* value) noexcept { return Out(value, m_bPlaySound); }
HRESULT NotifyFolder::put_PlaySound(VARIANT_BOOL value) noexcept { return m_bPlaySound = Flag(value), S_OK; }
HRESULT NotifyFolder::get_ShowTrayIcon(VARIANT_BOOL* value) noexcept { return Out(value, m_bShowTrayIcon); }
HRESULT NotifyFolder::put_ShowTrayIcon(VARIANT_BOOL value) noexcept { return m_bShowTrayIcon = Flag(value), S_OK; }
HRESULT NotifyFolder::get_UseDefaultSound(VARIANT_BOOL* value) noexcept { return Out(value, m_bUseDefaultSound); }
HRESULT NotifyFolder::put_UseDefaultSound(VARIANT_BOOL value) noexcept
{
    return m_bUseDefaultSound = Flag(value), S_OK;
}
HRESULT NotifyFolder::put_CollectionPtr(long lCollectionPtr) noexcept
{
    return m_lCollectionPtr = static_cast<int32_t>(lCollectionPtr), S_OK;
}

HRESULT NotifyFolder::get_SoundFile(BSTR* value) noexcept { return Out(value, m_sSoundFile); }
HRESULT NotifyFolder::get_EntryId(BSTR* value) noexcept { return Out(value, m_sEntryId); }
HRESULT NotifyFolder::get_StoreId(BSTR* value) noexcept { return Out(value, m_sStoreId); }
HRESULT NotifyFolder::get_FriendlyName(BSTR* value) noexcept { return Out(value, m_sFriendlyName); }

HRESULT NotifyFolder::put_SoundFile(BSTR value) noexcept
{
    return Guard([&] { return m_sSoundFile = Text(value), S_OK; });
}
HRESULT NotifyFolder::put_EntryId(BSTR value) noexcept
{
    return Guard([&] { return m_sEntryId = Text(value), S_OK; });
}
HRESULT NotifyFolder::put_StoreId(BSTR value) noexcept
{
    return Guard([&] { return m_sStoreId = Text(value), S_OK; });
}
HRESULT NotifyFolder::put_FriendlyName(BSTR value) noexcept
{
    return Guard([&] { return m_sFriendlyName = Text(value), S_OK; });
}

HRESULT NotifyFolder::putref_OutlookNamespace(IDispatch* olNs) noexcept
{
    m_olNs = olNs;
    return S_OK;
}

HRESULT NotifyFolder::get_OutlookItems(IDispatch** value) noexcept { return Out(value, m_olItems.Get()); }

HRESULT NotifyFolder::ConnectOutlookFolder(VARIANT_BOOL* value) noexcept
{
    if (!value)
        return E_POINTER;
    *value = VARIANT_FALSE;
    return Guard([&] {
        // The store of the default Inbox; empty if it cannot be read.
        std::wstring sDefaultStore;
        if (m_olNs) {
            if (auto inbox = com::GetObjectProperty(m_olNs.Get(), L"GetDefaultFolder", {com::Variant(OL_FOLDER_INBOX)})) {
                com::Variant store;
                if (SUCCEEDED(com::GetProperty(inbox.Get(), L"StoreID", &store)))
                    sDefaultStore = store.ToString();
            }
        }

        HRESULT hr = S_OK;
        std::wstring description;
        com::Variant folder;
        if (!m_olNs) {
            hr = E_POINTER;
            description = L"No Outlook namespace";
        } else if (sDefaultStore != m_sStoreId) {
            hr = com::GetProperty(m_olNs.Get(), L"GetFolderFromID", &folder,
                                  {com::Variant(m_sEntryId), com::Variant(m_sStoreId)}, &description);
        } else {
            // A folder of the default store is looked up without the store.
            hr = com::GetProperty(m_olNs.Get(), L"GetFolderFromID", &folder, {com::Variant(m_sEntryId)}, &description);
        }

        com::ComPtr<IDispatch> items;
        if (SUCCEEDED(hr)) {
            com::ComPtr<IDispatch> olFolder = folder.ToDispatch();
            if (!olFolder)
                return S_OK; // no folder came back
            com::Variant itemsVar;
            hr = com::GetProperty(olFolder.Get(), L"Items", &itemsVar, {}, &description);
            items = itemsVar.ToDispatch();
            if (SUCCEEDED(hr) && !items) {
                hr = E_NOINTERFACE;
                description = L"The folder has no item collection";
            }
        }
        if (FAILED(hr)) {
            if (description.empty())
                description = com::DescribeError(hr);
            ReportError("NotifyFolder::ConnectOutlookFolder()", com::Narrow(description), hr, true);
            return S_OK;
        }
        m_olItems.Assign(items.Get());
        *value = VARIANT_TRUE;
        return S_OK;
    });
}

void NotifyFolder::m_olItems_Event(DISPID dispid, DISPPARAMS* params) noexcept
{
    if (dispid != OL_DISPID_ITEMS_ITEMADD)
        return;
    com::ComPtr<IDispatch> item = com::Variant(com::EventArg(params, 0)).ToDispatch();
    HandleOutlookItemsEvent(oieItemAdd, item.Get());
}

void NotifyFolder::HandleOutlookItemsEvent(OutlookItemsEvent oie, IDispatch* Item) noexcept
{
    // A folder whose collection no longer exists ignores its items.
    if (modValidatePointer::FindPointer(m_lCollectionPtr) < 0)
        return;
    com::ComPtr<_NotifyFolders> collection = modValidatePointer::ObjectFromPointer(m_lCollectionPtr);
    if (!collection)
        return;
    // Keep this folder alive while its collection's listeners run.
    com::ComPtr<_NotifyFolder> self(this);
    com::Bstr entryId(m_sEntryId), storeId(m_sStoreId);
    switch (oie) {
    case oieItemAdd:
        collection->HandleItemAdd(Item, entryId.get(), storeId.get());
        // Then every plug-in of the folder, in list order.
        break;
    case oieItemRemove:
        collection->HandleItemRemove(Item, entryId.get(), storeId.get());
        break;
    case oieItemChange:
        collection->HandleItemChange(Item, entryId.get(), storeId.get());
        break;
    }
}

// The plug-in operations arrive with the plug-in host.
HRESULT NotifyFolder::PluginsNotAvailable() noexcept { return Fail(E_NOTIMPL, L"Plug-ins are not available"); }
HRESULT NotifyFolder::AddPluginByClass(BSTR) noexcept { return PluginsNotAvailable(); }
HRESULT NotifyFolder::GetPluginClassByIndex(long, BSTR* value) noexcept
{
    if (value)
        *value = nullptr;
    return PluginsNotAvailable();
}
HRESULT NotifyFolder::get_IsPluginActive(BSTR, VARIANT_BOOL* value) noexcept { return Out(value, false); }
HRESULT NotifyFolder::LoadPlugins(BSTR) noexcept { return S_OK; }
HRESULT NotifyFolder::PluginConfig(VARIANT) noexcept { return PluginsNotAvailable(); }
HRESULT NotifyFolder::get_PluginCount(long* value) noexcept { return Out(value, 0L); }
HRESULT NotifyFolder::PluginInfo(VARIANT) noexcept { return PluginsNotAvailable(); }
HRESULT NotifyFolder::RemovePluginByClass(BSTR) noexcept { return PluginsNotAvailable(); }
HRESULT NotifyFolder::RemovePluginById(BSTR) noexcept { return S_OK; }
HRESULT NotifyFolder::SavePlugins(BSTR) noexcept { return S_OK; }
