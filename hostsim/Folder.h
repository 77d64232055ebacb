// MAPIFolder: one folder of a store. It keeps its items and the Items
// collections it has handed out, on which it raises ItemAdd when an item
// is delivered.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "ItemData.h"
#include "com/ComObject.h"
#include "outlook.h"

namespace outlooksim {

class Items;
class Session;
class Store;
class Trace;

// An item in a folder: the object handed to the add-in and its properties.
struct FolderItem {
    com::ComPtr<IDispatch> object;
    std::shared_ptr<ItemData> data;
    OlItemType type;
};

class Folder final : public com::ComObject<Folder, MAPIFolder, ISupportErrorInfo> {
  public:
    static const wchar_t* ErrorSource() noexcept { return L"Microsoft Outlook"; }

    Folder(std::shared_ptr<Session> session, Store* store, Folder* parent, std::wstring name, OlItemType type,
           std::wstring entryId);

    // MAPIFolder
    HRESULT STDMETHODCALLTYPE get_DefaultItemType(OlItemType* value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_EntryID(BSTR* value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Items(_Items** value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_Name(BSTR value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_StoreID(BSTR* value) noexcept override;

    // The stand-in's own view of the folder.
    const std::wstring& Name() const noexcept { return m_name; }
    const std::wstring& EntryId() const noexcept { return m_entryId; }
    const std::wstring& StoreId() const noexcept;
    OlItemType ItemType() const noexcept { return m_type; }
    std::wstring KindText() const;
    Store* OwningStore() const noexcept { return m_store; }
    Folder* ParentFolder() const noexcept { return m_parent.Get(); }
    bool Deleted() const noexcept { return m_deleted; }
    const std::vector<FolderItem>& Contents() const noexcept { return m_contents; }

    // Adds an item and raises ItemAdd on every Items collection of this
    // folder that is still held; returns the number of subscribers called.
    int Deliver(const FolderItem& item);
    // Adds items that arrive at once. Outlook raises no ItemAdd when "a
    // large number of items are added to the folder at once" (Microsoft's
    // reference of Items.ItemAdd; more than 16 in Outlook 2000 to 2003): a
    // delivery of more than burstLimit items raises none, a smaller one
    // raises ItemAdd for each item. Returns the number of events raised.
    int DeliverAtOnce(const std::vector<FolderItem>& items, size_t burstLimit);
    Trace& GetTrace() const noexcept;
    // Subscribers to ItemsEvents over all live Items collections.
    int SubscriberCount() const noexcept;
    size_t LiveItemsCollections() const noexcept { return m_collections.size(); }
    void MarkDeleted() noexcept { m_deleted = true; }

    // Called by Items as it is made and destroyed.
    void Attach(Items* items) { m_collections.push_back(items); }
    void Detach(Items* items) noexcept;

  private:
    void Note(const std::wstring& text) const;

    std::shared_ptr<Session> m_session;
    Store* m_store;
    com::ComPtr<Folder> m_parent;
    std::wstring m_name;
    OlItemType m_type;
    std::wstring m_entryId;
    bool m_deleted = false;
    std::vector<FolderItem> m_contents;
    std::vector<Items*> m_collections; // not owned: each detaches itself when destroyed
};

} // namespace outlooksim
