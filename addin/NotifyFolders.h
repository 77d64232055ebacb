// The collection of all watched folders, and the one place where their
// Outlook item events become the add-in's own events.
#pragma once

#include <cstdint>
#include <vector>

#include "NotifyFolder.h"
#include "com/ComObject.h"
#include "com/ConnectionPoint.h"
#include "corvane.h"

class FolderBinder;

class NotifyFolders final
    : public com::ComObject<NotifyFolders, _NotifyFolders, ISupportErrorInfo, com::ConnectionPointContainer> {
  public:
    static const wchar_t* ErrorSource() noexcept { return L"corvane.NotifyFolders"; }

    NotifyFolders();
    ~NotifyFolders() override;

    // _NotifyFolders, in slot order
    HRESULT STDMETHODCALLTYPE Find(BSTR sEntryId, VARIANT_BOOL* value) noexcept override;
    HRESULT STDMETHODCALLTYPE Clear() noexcept override;
    HRESULT STDMETHODCALLTYPE get_Count(long* value) noexcept override;
    HRESULT STDMETHODCALLTYPE GetAt(long lIndex, _NotifyFolder** value) noexcept override;
    HRESULT STDMETHODCALLTYPE GetFromEntryId(BSTR sEntryId, _NotifyFolder** value) noexcept override;
    HRESULT STDMETHODCALLTYPE HandleItemChange(IDispatch* Item, BSTR sFolderEntryId,
                                               BSTR sFolderStoreId) noexcept override;
    HRESULT STDMETHODCALLTYPE HandleItemRemove(IDispatch* Item, BSTR sFolderEntryId,
                                               BSTR sFolderStoreId) noexcept override;
    HRESULT STDMETHODCALLTYPE LoadFromFile(VARIANT_BOOL* value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_NewEnum(IUnknown** value) noexcept override;
    HRESULT STDMETHODCALLTYPE Add(BSTR sEntryId, BSTR sStoreId, BSTR sFriendlyName, long* value) noexcept override;
    HRESULT STDMETHODCALLTYPE HandleItemAdd(IDispatch* Item, BSTR sFolderEntryId,
                                            BSTR sFolderStoreId) noexcept override;
    HRESULT STDMETHODCALLTYPE putref_OutlookNamespace(IDispatch* olNs) noexcept override;
    HRESULT STDMETHODCALLTYPE RegisterPlugin(_ZarqPlugin* pi) noexcept override;
    HRESULT STDMETHODCALLTYPE Remove(BSTR sEntryId) noexcept override;
    HRESULT STDMETHODCALLTYPE SaveToFile(VARIANT_BOOL* value) noexcept override;
    HRESULT STDMETHODCALLTYPE UnregisterPlugin(_ZarqPlugin* pi) noexcept override;
    HRESULT STDMETHODCALLTYPE BeginShutdown() noexcept override;

    // The shared catalogue of plug-in instances.
    ZarqPlugins* Catalogue() const noexcept { return m_catalogue.Get(); }
    // The identity under which folders find this collection.
    int32_t Identity() const noexcept { return m_lIdentity; }
    // One tick of the item-count timer: the next folder in turn compares
    // its item count if its interval has passed; no tick touches two folders.
    void CheckNextItemCount() noexcept;

    // While a binder is set, Add binds no folder: it lists the folder's
    // plug-ins without starting them and hands the folder to the binder.
    // (The connect class sets one while it loads the configuration file.)
    void DeferBindingTo(FolderBinder* binder) noexcept { m_binder = binder; }
    // Whether the folder is (still) one of this collection's.
    bool Holds(const NotifyFolder* nf) const noexcept;
    // After a load of the configuration file that failed part of the way,
    // the collection holds only some of the file's folders (or a folder
    // lacks a plug-in it could not start): it is never saved over the
    // file, which would lose the rest, until a load of the whole file
    // succeeds.
    void SetLoadIncomplete(bool incomplete) noexcept { m_loadIncomplete = incomplete; }

  private:
    // Position of the folder stored under a key (letter case ignored), or npos.
    size_t IndexOfKey(const std::wstring& key) const noexcept;
    HRESULT Raise(DISPID dispid, IDispatch* Item, BSTR sFolderEntryId, BSTR sFolderStoreId) noexcept;

    // A folder is found by the key it was stored under, whatever its
    // EntryId says later (a plug-in may change that property).
    struct Stored {
        std::wstring key; // the entry identifier given to Add
        com::ComPtr<NotifyFolder> folder;
    };

    int32_t m_lIdentity;
    std::vector<Stored> m_folders;        // insertion order
    com::ComPtr<ZarqPlugins> m_catalogue; // one shared instance per plug-in class, with its use count
    com::ComPtr<IDispatch> m_olNs;
    size_t m_nextCountCheck = 0; // the folder the next timer tick looks at
    FolderBinder* m_binder = nullptr;
    bool m_loadIncomplete = false;
};
