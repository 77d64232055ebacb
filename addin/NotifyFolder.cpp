#include "NotifyFolder.h"

#include "AddinErrors.h"
#include "AddinSeams.h"
#include "NotifyFolders.h"
#include "NotifyFoldersIni.h"
#include "com/AutomationValues.h"
#include "com/LateBound.h"
#include "g_modDebug.h"
#include "modValidatePointer.h"
#include "outlook/OutlookIds.h"

using com::Flag;
using com::Out;
using com::Text;

NotifyFolder::NotifyFolder()
    : m_olItems(kOlDiidItemsEvents, [this](DISPID id, DISPPARAMS* p) { m_olItems_Event(id, p); }),
      m_plugins(com::Make<ZarqPlugins>())
{
}

NotifyFolder::~NotifyFolder()
{
    // The plug-ins are released, neither shut down nor unregistered.
    m_plugins->Clear();
    m_plugins.Reset();
    m_olNs.Reset();
    m_olItems.Clear();
}

// Plain stored values.
HRESULT NotifyFolder::get_ChangeCursor(VARIANT_BOOL* value) noexcept
{
    return Guard([&] { return Out(value, m_bChangeCursor); });
}
HRESULT NotifyFolder::put_ChangeCursor(VARIANT_BOOL value) noexcept
{
    return Guard([&] { return m_bChangeCursor = Flag(value), S_OK; });
}
HRESULT NotifyFolder::get_PlaySound(VARIANT_BOOL* value) noexcept
{
    return Guard([&] { return Out(value, m_bPlaySound); });
}
HRESULT NotifyFolder::put_PlaySound(VARIANT_BOOL value) noexcept
{
    return Guard([&] { return m_bPlaySound = Flag(value), S_OK; });
}
HRESULT NotifyFolder::get_ShowTrayIcon(VARIANT_BOOL* value) noexcept
{
    return Guard([&] { return Out(value, m_bShowTrayIcon); });
}
HRESULT NotifyFolder::put_ShowTrayIcon(VARIANT_BOOL value) noexcept
{
    return Guard([&] { return m_bShowTrayIcon = Flag(value), S_OK; });
}
HRESULT NotifyFolder::get_UseDefaultSound(VARIANT_BOOL* value) noexcept
{
    return Guard([&] { return Out(value, m_bUseDefaultSound); });
}
HRESULT NotifyFolder::put_UseDefaultSound(VARIANT_BOOL value) noexcept
{
    return Guard([&] { return m_bUseDefaultSound = Flag(value), S_OK; });
}
HRESULT NotifyFolder::put_CollectionPtr(long lCollectionPtr) noexcept
{
    return Guard([&] { return m_lCollectionPtr = static_cast<int32_t>(lCollectionPtr), S_OK; });
}

HRESULT NotifyFolder::get_SoundFile(BSTR* value) noexcept
{
    return Guard([&] { return Out(value, m_sSoundFile); });
}
HRESULT NotifyFolder::get_EntryId(BSTR* value) noexcept
{
    return Guard([&] { return Out(value, m_sEntryId); });
}
HRESULT NotifyFolder::get_StoreId(BSTR* value) noexcept
{
    return Guard([&] { return Out(value, m_sStoreId); });
}
HRESULT NotifyFolder::get_FriendlyName(BSTR* value) noexcept
{
    return Guard([&] { return Out(value, m_sFriendlyName); });
}

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
    return Guard([&] { return m_olNs = olNs, S_OK; });
}

HRESULT NotifyFolder::get_OutlookItems(IDispatch** value) noexcept
{
    return Guard([&] { return Out(value, m_olItems.Get()); });
}

HRESULT NotifyFolder::ConnectOutlookFolder(VARIANT_BOOL* value) noexcept
{
    if (!value)
        return E_POINTER;
    *value = VARIANT_FALSE;
    return Guard([&] {
        std::wstring description;
        const HRESULT hr = Bind(description);
        if (FAILED(hr)) {
            ReportFailure("NotifyFolder::ConnectOutlookFolder()", hr, com::Narrow(description));
            return S_OK;
        }
        *value = hr == S_OK ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    });
}

// S_OK when bound, S_FALSE when no folder came back, else the failure.
HRESULT NotifyFolder::Bind(std::wstring& description) noexcept
{
    description.clear();
    HRESULT hr = S_OK;
    RunGuarded(
        [&] {
            // The store of the default Inbox; empty if it cannot be read.
            std::wstring sDefaultStore;
            if (m_olNs) {
                if (auto inbox =
                        com::GetObjectProperty(m_olNs.Get(), L"GetDefaultFolder", {com::Variant(OL_FOLDER_INBOX)})) {
                    com::Variant store;
                    if (SUCCEEDED(com::GetProperty(inbox.Get(), L"StoreID", &store)))
                        sDefaultStore = store.ToString();
                }
            }

            com::Variant folder;
            if (!m_olNs) {
                hr = E_POINTER;
                description = L"No Outlook namespace";
            } else if (sDefaultStore != m_sStoreId) {
                hr = com::GetProperty(m_olNs.Get(), L"GetFolderFromID", &folder,
                                      {com::Variant(m_sEntryId), com::Variant(m_sStoreId)}, &description);
            } else {
                // A folder of the default store is looked up without the store.
                hr = com::GetProperty(m_olNs.Get(), L"GetFolderFromID", &folder, {com::Variant(m_sEntryId)},
                                      &description);
            }

            com::ComPtr<IDispatch> items;
            if (SUCCEEDED(hr)) {
                com::ComPtr<IDispatch> olFolder = folder.ToDispatch();
                if (!olFolder) {
                    hr = S_FALSE; // no folder came back
                    return;
                }
                com::Variant itemsVar;
                hr = com::GetProperty(olFolder.Get(), L"Items", &itemsVar, {}, &description);
                items = itemsVar.ToDispatch();
                if (SUCCEEDED(hr) && !items) {
                    hr = E_NOINTERFACE;
                    description = L"The folder has no item collection";
                }
            }
            if (SUCCEEDED(hr)) {
                m_olItems.Assign(items.Get());
                // Counting starts where the collection is assigned, wherever the binding runs.
                RunReported("NotifyFolder::Bind()", [&] { m_countWatch.Start(items.Get()); });
            }
        },
        [&](const com::ComError& e) noexcept {
            hr = e.hr();
            description = e.description();
        });
    if (FAILED(hr) && description.empty())
        description = com::DescribeError(hr);
    return hr;
}

void NotifyFolder::DeferPlugins() noexcept
{
    if (!m_pending)
        m_pending.emplace();
}

void NotifyFolder::StartPlugins() noexcept
{
    if (!m_pending)
        return;
    // A plug-in whose class is registered but that could not be started
    // now (no memory, its DLL not loadable at the moment) is missing from
    // the folder's list, and a save would drop it from the file for good:
    // the collection then keeps its hands off the file. A class that is
    // not registered at all is dropped, as a load of the file drops it.
    bool complete = false;
    RunReported("NotifyFolder::StartPlugins()", [&] {
        const PendingPlugins pending = std::move(*m_pending);
        m_pending.reset();
        bool started = true;
        // As the configuration file's load does it: every plug-in created and
        // started, then all of them handed their settings.
        for (const std::wstring& sPluginClass : pending.Classes()) {
            const com::Bstr name(sPluginClass);
            AddPluginByClass(name.get());
            VARIANT_BOOL present = VARIANT_FALSE;
            if (!name.get() || FAILED(m_plugins->Find(name.get(), &present)) || !present) {
                CLSID clsid{};
                if (SUCCEEDED(::CLSIDFromProgID((sPluginClass + ZarqPlugins::kProgIdSuffix).c_str(), &clsid)))
                    started = false;
            }
        }
        if (!pending.Section().empty())
            LoadPlugins(com::Bstr(pending.Section()).get());
        complete = started;
    });
    if (!complete)
        if (com::ComPtr<_NotifyFolders> collection = Collection())
            static_cast<NotifyFolders*>(collection.Get())->SetLoadIncomplete(true); // made by this library
}

void NotifyFolder::m_olItems_Event(DISPID dispid, DISPPARAMS* params) noexcept
{
    if (dispid != OL_DISPID_ITEMS_ITEMADD)
        return;
    com::ComPtr<IDispatch> item;
    RunReported("NotifyFolder::m_olItems_ItemAdd()",
                [&] { item = com::Variant(com::EventArg(params, 0)).ToDispatch(); });
    // Items that came before this one without an event go first.
    HandleUnannounced(1);
    HandleOutlookItemsEvent(oieItemAdd, item.Get());
}

void NotifyFolder::CheckItemCount() noexcept
{
    if (m_countWatch.Due(::GetTickCount(), g_dwItemCountInterval))
        HandleUnannounced(0);
}

void NotifyFolder::HandleUnannounced(long lAnnounced) noexcept
{
    RunReported("NotifyFolder::CheckItemCount()", [&] {
        com::ComPtr<_NotifyFolders> collection = Collection();
        if (!collection || !m_olItems)
            return;
        const std::vector<com::ComPtr<IDispatch>> missed = m_countWatch.Compare(m_olItems.Get(), lAnnounced);
        if (missed.empty())
            return;
        // Keep this folder alive while its collection's listeners run.
        com::ComPtr<_NotifyFolder> self(this);
        if (lAnnounced == 0) {
            com::Bstr entryId(m_sEntryId), storeId(m_sStoreId);
            collection->HandleItemAdd(missed.back().Get(), entryId.get(), storeId.get());
        }
        for (const auto& item : missed)
            HandToPlugins(item.Get());
    });
}

void NotifyFolder::HandToPlugins(IDispatch* Item)
{
    // Every plug-in of the folder, in list order; one that fails does not
    // keep the next from being called.
    for (const auto& pi : m_plugins->Instances())
        pi->HandleItemAdd(Item, this);
}

com::ComPtr<_NotifyFolders> NotifyFolder::Collection() const noexcept
{
    return modValidatePointer::ObjectFromPointer(m_lCollectionPtr);
}

void NotifyFolder::HandleOutlookItemsEvent(OutlookItemsEvent oie, IDispatch* Item) noexcept
{
    RunReported("NotifyFolder::HandleOutlookItemsEvent()", [&] {
        // A folder whose collection no longer exists ignores its items.
        com::ComPtr<_NotifyFolders> collection = Collection();
        if (!collection)
            return;
        // Keep this folder alive while its collection's listeners run.
        com::ComPtr<_NotifyFolder> self(this);
        com::Bstr entryId(m_sEntryId), storeId(m_sStoreId);
        switch (oie) {
        case oieItemAdd:
            collection->HandleItemAdd(Item, entryId.get(), storeId.get());
            HandToPlugins(Item);
            break;
        case oieItemRemove:
            collection->HandleItemRemove(Item, entryId.get(), storeId.get());
            break;
        case oieItemChange:
            collection->HandleItemChange(Item, entryId.get(), storeId.get());
            break;
        }
    });
}

void NotifyFolder::RegisterPlugin(_ZarqPlugin* pi) noexcept
{
    if (com::ComPtr<_NotifyFolders> collection = Collection()) {
        HRESULT hr = collection->RegisterPlugin(pi);
        if (FAILED(hr))
            ReportFailure("NotifyFolder::RegisterPlugin()", hr);
    }
}

void NotifyFolder::UnregisterPlugin(_ZarqPlugin* pi) noexcept
{
    if (com::ComPtr<_NotifyFolders> collection = Collection()) {
        HRESULT hr = collection->UnregisterPlugin(pi);
        if (FAILED(hr))
            ReportFailure("NotifyFolder::UnregisterPlugin()", hr);
    }
}

// A plug-in that is not installed is left out (ZarqPlugins::Add logs it);
// any other failure is the caller's, so that a load or an Apply that could
// not record a plug-in is not taken for complete and saved without it.
HRESULT NotifyFolder::AddPluginByClass(BSTR sPluginClass) noexcept
{
    return RunReportedHr("NotifyFolder::AddPluginByClass()", [&] {
        if (m_pending) {
            m_pending->Add(Text(sPluginClass));
            return S_OK;
        }
        VARIANT_BOOL present = VARIANT_FALSE;
        Check(m_plugins->Find(sPluginClass, &present));
        if (present)
            return S_OK;
        long index = 0;
        Check(m_plugins->Add(sPluginClass, &index));
        if (index > 0) {
            com::ComPtr<_ZarqPlugin> pi;
            Check(m_plugins->GetAt(index, &pi));
            if (pi)
                RegisterPlugin(pi.Get());
        }
        return S_OK;
    });
}

HRESULT NotifyFolder::RemovePluginByClass(BSTR sPluginClass) noexcept
{
    return RunReportedHr("NotifyFolder::RemovePluginByClass()", [&] {
        if (m_pending) {
            m_pending->Remove(Text(sPluginClass));
            return S_OK;
        }
        VARIANT_BOOL present = VARIANT_FALSE;
        Check(m_plugins->Find(sPluginClass, &present));
        if (!present)
            return S_OK;
        long index = 0;
        Check(m_plugins->FindIndex(sPluginClass, &index));
        if (index > 0) {
            com::ComPtr<_ZarqPlugin> pi;
            Check(m_plugins->GetAt(index, &pi));
            if (pi)
                UnregisterPlugin(pi.Get());
        }
        Check(m_plugins->Remove(sPluginClass));
        return S_OK;
    });
}

// Plug-ins are identified by class name everywhere; this operation does nothing.
HRESULT NotifyFolder::RemovePluginById(BSTR) noexcept { return S_OK; }

HRESULT NotifyFolder::get_IsPluginActive(BSTR sPluginClass, VARIANT_BOOL* value) noexcept
{
    if (!value)
        return E_POINTER;
    *value = VARIANT_FALSE;
    if (m_pending)
        return Guard([&] { return Out(value, m_pending->Has(Text(sPluginClass))); });
    m_plugins->Find(sPluginClass, value);
    return S_OK;
}

HRESULT NotifyFolder::get_PluginCount(long* value) noexcept
{
    return Guard([&] { return m_pending ? Out(value, m_pending->Count()) : m_plugins->get_Count(value); });
}

HRESULT NotifyFolder::GetPluginClassByIndex(long lIndex, BSTR* value) noexcept
{
    if (!value)
        return E_POINTER;
    *value = nullptr;
    const char* const sSource = "NotifyFolder::GetPluginClassByIndex()";
    return Guard([&] {
        long count = 0;
        get_PluginCount(&count);
        if (lIndex > count) {
            Warn("Index was too big ( was " + std::to_string(lIndex) + ", but must be max. " + std::to_string(count) +
                     ")",
                 sSource);
            return S_OK;
        }
        if (m_pending) {
            const std::wstring sClass = m_pending->ClassAt(lIndex);
            if (sClass.empty()) {
                Warn("Failed to get plugin with index " + std::to_string(lIndex), sSource);
                return S_OK;
            }
            return Out(value, sClass);
        }
        com::ComPtr<_ZarqPlugin> pi;
        m_plugins->GetAt(lIndex, &pi);
        if (!pi) {
            Warn("Failed to get plugin with index " + std::to_string(lIndex), sSource);
            return S_OK;
        }
        return pi->GetClass(value);
    });
}

void NotifyFolder::CallPlugin(const VARIANT& sPluginClass, const char* sSource,
                              HRESULT (STDMETHODCALLTYPE _ZarqPlugin::*op)())
{
    RunReported(sSource, [&] {
        const std::wstring sClass = static_cast<const com::Variant&>(sPluginClass).ToString();
        com::Bstr cls(sClass);
        long index = 0;
        Check(m_plugins->FindIndex(cls.get(), &index));
        if (index < 1) {
            Warn("Could not find plugin class " + com::Narrow(sClass), sSource);
            return;
        }
        com::ComPtr<_ZarqPlugin> pi;
        Check(m_plugins->GetAt(index, &pi));
        if (!pi) {
            Warn("Could not find plugin with index " + std::to_string(index), sSource);
            return;
        }
        Check((pi.Get()->*op)()); // the plug-in shows its own window
    });
}

HRESULT NotifyFolder::PluginConfig(VARIANT sPluginClass) noexcept
{
    return Guard([&] {
        CallPlugin(sPluginClass, "NotifyFolder::PluginConfig()", &_ZarqPlugin::Configure);
        return S_OK;
    });
}

HRESULT NotifyFolder::PluginInfo(VARIANT sPluginClass) noexcept
{
    return Guard([&] {
        CallPlugin(sPluginClass, "NotifyFolder::PluginInfo()", &_ZarqPlugin::Info);
        return S_OK;
    });
}

HRESULT NotifyFolder::LoadPlugins(BSTR sSection) noexcept
{
    return Guard([&] {
        if (m_pending) // the plug-ins receive their settings when they start
            return m_pending->Load(NotifyFoldersIni::ConfigurationFile(), Text(sSection)), S_OK;
        for (const auto& pi : m_plugins->Instances())
            pi->LoadSettings(sSection); // a failing plug-in is skipped
        return S_OK;
    });
}

HRESULT NotifyFolder::SavePlugins(BSTR sSection) noexcept
{
    return Guard([&] {
        if (m_pending) {
            m_pending->Save(NotifyFoldersIni::ConfigurationFile(), Text(sSection));
            m_pending->MovedTo(Text(sSection));
            return S_OK;
        }
        for (const auto& pi : m_plugins->Instances())
            pi->SaveSettings(sSection);
        return S_OK;
    });
}
