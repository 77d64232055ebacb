#include "modValidatePointer.h"

#include <unordered_map>

namespace modValidatePointer {

namespace {

using Collections = std::unordered_map<int32_t, _NotifyFolders*>; // not counted

// The thread's map exists from its first live collection to its last. The
// thread-local variables are plain values: MinGW's runtime may free the
// storage of a thread-local object before its destructor runs at thread
// exit, so nothing here is left for the exit to destroy.
thread_local Collections* t_collections = nullptr;
thread_local int32_t t_nextIdentity = 0;

} // namespace

int32_t NewIdentity() noexcept
{
    if (++t_nextIdentity <= 0)
        t_nextIdentity = 1;
    return t_nextIdentity;
}

void AddPointer(int32_t v, _NotifyFolders* collection)
{
    if (!t_collections)
        t_collections = new Collections;
    (*t_collections)[v] = collection;
}

void RemovePointer(int32_t v) noexcept
{
    if (!t_collections)
        return;
    t_collections->erase(v);
    if (t_collections->empty()) {
        delete t_collections;
        t_collections = nullptr;
    }
}

bool FindPointer(int32_t v) noexcept { return t_collections && t_collections->contains(v); }

com::ComPtr<_NotifyFolders> ObjectFromPointer(int32_t v) noexcept
{
    if (!t_collections)
        return nullptr;
    auto it = t_collections->find(v);
    return it == t_collections->end() ? nullptr : com::ComPtr<_NotifyFolders>(it->second);
}

} // namespace modValidatePointer
