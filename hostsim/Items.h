// Items: a folder's item collection, the source of ItemsEvents. Each
// MAPIFolder.Items call makes a new one, and the folder raises ItemAdd on
// every one that is still held.
#pragma once

#include "com/ComObject.h"
#include "com/ConnectionPoint.h"
#include "outlook.h"

namespace outlooksim {

class Folder;

class Items final : public com::ComObject<Items, _Items, ISupportErrorInfo, com::ConnectionPointContainer> {
  public:
    static const wchar_t* ErrorSource() noexcept { return L"Microsoft Outlook"; }

    explicit Items(Folder* folder);
    ~Items() override;

    int SubscriberCount() const noexcept;
    void RaiseItemAdd(IDispatch* item) noexcept;

  private:
    com::ComPtr<Folder> m_folder;
};

} // namespace outlooksim
