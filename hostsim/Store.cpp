#include "Store.h"

#include <algorithm>

#include "Folder.h"
#include "Ids.h"

namespace outlooksim {

Store::Store(StoreKind kind, std::wstring displayName, std::wstring storeId, const GUID& provider, const GUID& database)
    : m_kind(kind), m_displayName(std::move(displayName)), m_storeId(std::move(storeId)), m_provider(provider),
      m_database(database)
{
}

std::wstring Store::EntryIdFor(uint64_t number) const
{
    return Ids::FolderEntryId(m_kind == StoreKind::Public, m_provider, m_database, number);
}

void Store::Add(Folder* folder) { m_folders.emplace_back(folder); }

std::vector<com::ComPtr<Folder>> Store::Remove(Folder* folder)
{
    std::vector<com::ComPtr<Folder>> removed;
    auto below = [&](Folder* f) {
        for (Folder* p = f; p; p = p->ParentFolder())
            if (p == folder)
                return true;
        return false;
    };
    for (auto it = m_folders.begin(); it != m_folders.end();) {
        if (below(it->Get())) {
            removed.push_back(*it);
            it = m_folders.erase(it);
        } else {
            ++it;
        }
    }
    std::erase_if(m_defaults, [&](const auto& entry) { return below(entry.second); });
    return removed;
}

Folder* Store::Find(std::wstring_view entryId) const noexcept
{
    for (const auto& f : m_folders)
        if (Ids::Same(f->EntryId(), entryId))
            return f.Get();
    return nullptr;
}

Folder* Store::FindByName(std::wstring_view name) const noexcept
{
    for (const auto& f : m_folders)
        if (f->Name() == name)
            return f.Get();
    return nullptr;
}

Folder* Store::DefaultFolder(long folderType) const noexcept
{
    auto it = m_defaults.find(folderType);
    return it == m_defaults.end() ? nullptr : it->second;
}

void Store::Clear() noexcept
{
    m_defaults.clear();
    m_folders.clear();
}

} // namespace outlooksim
