// A message store: the user's mailbox or the public folders. It owns its
// folders (the COM objects) and knows its default folders.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "com/ComRaii.h"

namespace outlooksim {

class Folder;

enum class StoreKind { Mailbox, Public };

class Store {
  public:
    Store(StoreKind kind, std::wstring displayName, std::wstring storeId, const GUID& provider, const GUID& database);
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    StoreKind Kind() const noexcept { return m_kind; }
    const std::wstring& DisplayName() const noexcept { return m_displayName; }
    const std::wstring& Id() const noexcept { return m_storeId; }
    // The entry identifier of this store's folder with the given running number.
    std::wstring EntryIdFor(uint64_t number) const;

    void Add(Folder* folder);
    // Removes the folder and the folders below it; returns them, the folder first.
    std::vector<com::ComPtr<Folder>> Remove(Folder* folder);
    Folder* Find(std::wstring_view entryId) const noexcept;
    Folder* FindByName(std::wstring_view name) const noexcept;
    const std::vector<com::ComPtr<Folder>>& Folders() const noexcept { return m_folders; }
    Folder* Root() const noexcept { return m_folders.empty() ? nullptr : m_folders.front().Get(); }

    // A store that cannot be reached (offline, a network that is not up, a
    // server that is down) fails every folder lookup until it is online again.
    bool Online() const noexcept { return m_online; }
    void SetOnline(bool online) noexcept { m_online = online; }

    Folder* DefaultFolder(long folderType) const noexcept;
    void SetDefaultFolder(long folderType, Folder* folder) { m_defaults[folderType] = folder; }

    // Lets go of every folder (the object model is being taken down).
    void Clear() noexcept;

  private:
    StoreKind m_kind;
    std::wstring m_displayName;
    std::wstring m_storeId;
    GUID m_provider;
    GUID m_database;
    std::vector<com::ComPtr<Folder>> m_folders; // the root first, then in creation order
    std::map<long, Folder*> m_defaults;
    bool m_online = true;
};

} // namespace outlooksim
