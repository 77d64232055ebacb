// Items: a folder's item collection, the source of ItemsEvents. Each
// MAPIFolder.Items call makes a new one, and the folder raises ItemAdd on
// every one that is still held. Count, Item and Sort read the folder's
// items as they are at the call; a sorted collection keeps its order.
#pragma once

#include <vector>

#include "com/ComObject.h"
#include "com/ConnectionPoint.h"
#include "outlook.h"

namespace outlooksim {

class Folder;
struct FolderItem;

class Items final : public com::ComObject<Items, _Items, ISupportErrorInfo, com::ConnectionPointContainer> {
  public:
    static const wchar_t* ErrorSource() noexcept { return L"Microsoft Outlook"; }

    explicit Items(Folder* folder);
    ~Items() override;

    // _Items
    HRESULT STDMETHODCALLTYPE get_Count(long* value) noexcept override;
    HRESULT STDMETHODCALLTYPE Item(VARIANT Index, IDispatch** value) noexcept override;
    HRESULT STDMETHODCALLTYPE Sort(BSTR Property, VARIANT Descending) noexcept override;

    int SubscriberCount() const noexcept;
    void RaiseItemAdd(IDispatch* item) noexcept;

    static constexpr const wchar_t* kBadIndex = L"Array index out of bounds.";
    static constexpr const wchar_t* kUnknownProperty = L"Unknown property";

  private:
    enum class Order { Unsorted, ReceivedAscending, ReceivedDescending };
    // The folder's items in this collection's order.
    std::vector<const FolderItem*> Ordered() const;
    void Note(const std::wstring& text) const;

    com::ComPtr<Folder> m_folder;
    Order m_order = Order::Unsorted;
};

} // namespace outlooksim
