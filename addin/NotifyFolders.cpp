#include "NotifyFolders.h"

#include <algorithm>

#include "AddinErrors.h"
#include "CorvaneIds.h"
#include "FolderBinder.h"
#include "NotifyFoldersIni.h"
#include "com/AutomationValues.h"
#include "com/SnapshotEnum.h"
#include "modValidatePointer.h"

using com::Out;
using com::Text;

NotifyFolders::NotifyFolders() : m_lIdentity(modValidatePointer::NewIdentity()), m_catalogue(com::Make<ZarqPlugins>())
{
    AddConnectionPoint(DIID___NotifyFolders);
    modValidatePointer::AddPointer(m_lIdentity, this);
}

NotifyFolders::~NotifyFolders()
{
    m_folders.clear();
    // Released without ShutDown unless BeginShutdown ran.
    m_catalogue.Reset();
    m_olNs.Reset();
    modValidatePointer::RemovePointer(m_lIdentity);
}

size_t NotifyFolders::IndexOfKey(const std::wstring& key) const noexcept
{
    for (size_t i = 0; i < m_folders.size(); ++i)
        if (com::EqualsIgnoreCase(m_folders[i].key, key))
            return i;
    return std::wstring::npos;
}

HRESULT NotifyFolders::Add(BSTR sEntryId, BSTR sStoreId, BSTR sFriendlyName, long* value) noexcept
{
    if (!value)
        return E_POINTER;
    *value = 0;
    return Guard([&] {
        if (!m_olNs)
            return S_OK;
        com::ComPtr<NotifyFolder> folder = com::Make<NotifyFolder>();
        // A folder whose identifiers could not be kept would be saved without them.
        Check(folder->putref_OutlookNamespace(m_olNs.Get()));
        Check(folder->put_CollectionPtr(m_lIdentity));
        Check(folder->put_EntryId(sEntryId));
        Check(folder->put_StoreId(sStoreId));
        Check(folder->put_FriendlyName(sFriendlyName));
        if (m_binder) {
            folder->DeferPlugins(); // bound later, by the binder
        } else {
            VARIANT_BOOL connected = VARIANT_FALSE;
            folder->ConnectOutlookFolder(&connected);
            if (!connected)
                Warn("Could not connect to outlook folder " + com::Narrow(Text(sEntryId)), "NotifyFolders::Add()");
        }
        // A key that is already present inserts nothing; the new folder goes.
        std::wstring key = Text(sEntryId);
        if (IndexOfKey(key) == std::wstring::npos) {
            m_folders.push_back(Stored{std::move(key), folder});
            if (m_binder)
                m_binder->Queue(folder.Get());
        }
        *value = static_cast<long>(m_folders.size());
        return S_OK;
    });
}

bool NotifyFolders::Holds(const NotifyFolder* nf) const noexcept
{
    return std::any_of(m_folders.begin(), m_folders.end(),
                       [nf](const Stored& stored) { return stored.folder.Get() == nf; });
}

HRESULT NotifyFolders::Find(BSTR sEntryId, VARIANT_BOOL* value) noexcept
{
    if (!value)
        return E_POINTER;
    *value = VARIANT_FALSE;
    return Guard([&] {
        const std::wstring key = Text(sEntryId);
        for (const Stored& stored : m_folders)
            if (stored.folder->EntryId() == key) // exact: letter case counts
                return Out(value, true);
        return Out(value, false);
    });
}

HRESULT NotifyFolders::get_Count(long* value) noexcept
{
    return Guard([&] { return Out(value, static_cast<long>(m_folders.size())); });
}

HRESULT NotifyFolders::GetAt(long lIndex, _NotifyFolder** value) noexcept
{
    return Guard([&] {
        if (lIndex < 1 || static_cast<size_t>(lIndex) > m_folders.size())
            return Out<_NotifyFolder>(value, nullptr);
        return Out<_NotifyFolder>(value, m_folders[static_cast<size_t>(lIndex - 1)].folder.Get());
    });
}

HRESULT NotifyFolders::GetFromEntryId(BSTR sEntryId, _NotifyFolder** value) noexcept
{
    if (value)
        *value = nullptr;
    return Guard([&] {
        size_t at = IndexOfKey(Text(sEntryId));
        return Out<_NotifyFolder>(value, at == std::wstring::npos ? nullptr : m_folders[at].folder.Get());
    });
}

HRESULT NotifyFolders::get_NewEnum(IUnknown** value) noexcept
{
    return Guard([&] {
        std::vector<com::Variant> items;
        items.reserve(m_folders.size());
        for (const Stored& stored : m_folders)
            items.emplace_back(static_cast<IDispatch*>(stored.folder.Get()));
        return com::MakeVariantEnum(std::move(items), value);
    });
}

HRESULT NotifyFolders::Remove(BSTR sEntryId) noexcept
{
    return Guard([&] {
        size_t at = IndexOfKey(Text(sEntryId));
        if (at == std::wstring::npos) {
            ReportFailure("NotifyFolders::Remove()", kInvalidCall);
            return S_OK;
        }
        com::ComPtr<NotifyFolder> removed = std::move(m_folders[at].folder);
        m_folders.erase(m_folders.begin() + static_cast<std::ptrdiff_t>(at));
        return S_OK; // the folder is released here, after the store is consistent
    });
}

HRESULT NotifyFolders::Clear() noexcept
{
    return Guard([&] {
        while (!m_folders.empty()) {
            com::ComPtr<NotifyFolder> last = std::move(m_folders.back().folder);
            m_folders.pop_back();
        }
        return S_OK;
    });
}

HRESULT NotifyFolders::putref_OutlookNamespace(IDispatch* olNs) noexcept
{
    return Guard([&] { return m_olNs = olNs, S_OK; });
}

HRESULT NotifyFolders::Raise(DISPID dispid, IDispatch* Item, BSTR sFolderEntryId, BSTR sFolderStoreId) noexcept
{
    return Guard([&] {
        Point(DIID___NotifyFolders)
            .Fire(dispid, {com::Variant(Item), com::Variant(Text(sFolderEntryId)), com::Variant(Text(sFolderStoreId))});
        return S_OK;
    });
}

HRESULT NotifyFolders::HandleItemAdd(IDispatch* Item, BSTR sFolderEntryId, BSTR sFolderStoreId) noexcept
{
    return Raise(NF_DISPID_NFITEMADD, Item, sFolderEntryId, sFolderStoreId);
}

HRESULT NotifyFolders::HandleItemRemove(IDispatch* Item, BSTR sFolderEntryId, BSTR sFolderStoreId) noexcept
{
    return Raise(NF_DISPID_NFITEMREMOVE, Item, sFolderEntryId, sFolderStoreId);
}

HRESULT NotifyFolders::HandleItemChange(IDispatch* Item, BSTR sFolderEntryId, BSTR sFolderStoreId) noexcept
{
    return Raise(NF_DISPID_NFITEMCHANGE, Item, sFolderEntryId, sFolderStoreId);
}

void NotifyFolders::CheckNextItemCount() noexcept
{
    if (m_folders.empty())
        return;
    m_nextCountCheck %= m_folders.size();
    // Held: the folder's listeners may empty the collection.
    const com::ComPtr<NotifyFolder> folder = m_folders[m_nextCountCheck++].folder;
    folder->CheckItemCount();
}

HRESULT NotifyFolders::BeginShutdown() noexcept
{
    return Guard([&] {
        Clear();
        // Every shared instance is shut down, whatever one of them answers.
        for (const auto& pi : m_catalogue->Instances())
            pi->ShutDown();
        m_catalogue->Clear();
        return S_OK;
    });
}

HRESULT NotifyFolders::RegisterPlugin(_ZarqPlugin* pi) noexcept
{
    return Guard([&] {
        if (!pi) {
            ReportFailure("NotifyFolders::RegisterPlugin()", E_POINTER);
            return S_OK;
        }
        HRESULT hr = pi->StartUp();
        if (FAILED(hr)) {
            // Not started: the instance stays out of the catalogue.
            ReportFailure("NotifyFolders::RegisterPlugin()", hr);
            return S_OK;
        }
        m_catalogue->AddInstance(pi);
        return S_OK;
    });
}

HRESULT NotifyFolders::UnregisterPlugin(_ZarqPlugin* pi) noexcept
{
    return Guard([&] {
        HRESULT hr = pi ? m_catalogue->RemoveInstance(pi) : E_POINTER;
        if (FAILED(hr))
            ReportFailure("NotifyFolders::UnregisterPlugin()", hr);
        return S_OK;
    });
}

HRESULT NotifyFolders::LoadFromFile(VARIANT_BOOL* value) noexcept
{
    Out(value, false);
    return Guard([&] {
        Clear();
        _NotifyFolders* nfFolders = this;
        m_loadIncomplete = true;
        const HRESULT hr = com::Make<NotifyFoldersIni>()->LoadFolders(&nfFolders);
        if (FAILED(hr)) {
            ReportFailure("NotifyFolders::LoadFromFile()", hr);
            return S_OK;
        }
        m_loadIncomplete = false;
        return Out(value, true);
    });
}

HRESULT NotifyFolders::SaveToFile(VARIANT_BOOL* value) noexcept
{
    Out(value, false);
    return Guard([&] {
        if (m_loadIncomplete) { // the file holds folders this collection lacks
            ReportFailure("NotifyFolders::SaveToFile()", E_ABORT);
            return S_OK;
        }
        for (const auto& pi : m_catalogue->Instances()) {
            const HRESULT hr = pi->BeforeSaveSettings();
            if (FAILED(hr)) { // that save does not take place
                ReportFailure("NotifyFolders::SaveToFile()", hr);
                return S_OK;
            }
        }
        _NotifyFolders* nfFolders = this;
        const HRESULT hr = com::Make<NotifyFoldersIni>()->SaveFolders(&nfFolders);
        if (FAILED(hr)) {
            ReportFailure("NotifyFolders::SaveToFile()", hr);
            return S_OK;
        }
        return Out(value, true);
    });
}
