#include "modValidatePointer.h"

#include <unordered_map>

namespace modValidatePointer {

namespace {

struct Registry {
    bool initialised = false;
    std::vector<int32_t> items;
    std::unordered_map<int32_t, _NotifyFolders*> objects; // not counted
    int32_t nextIdentity = 0;
};

Registry& This() noexcept
{
    thread_local Registry registry;
    return registry;
}

// Binary search; lastMiddle receives the last middle position looked at.
long Search(const std::vector<int32_t>& a, int32_t v, long& lastMiddle) noexcept
{
    long low = 0;
    long high = static_cast<long>(a.size()) - 1;
    lastMiddle = 0;
    while (low <= high) {
        long middle = low + (high - low) / 2;
        lastMiddle = middle;
        if (a[static_cast<size_t>(middle)] == v)
            return middle;
        if (v < a[static_cast<size_t>(middle)])
            high = middle - 1;
        else
            low = middle + 1;
    }
    return -1;
}

} // namespace

int32_t NewIdentity() noexcept
{
    Registry& r = This();
    if (++r.nextIdentity <= 0)
        r.nextIdentity = 1;
    return r.nextIdentity;
}

long FindPointer(int32_t v) noexcept
{
    long ignored = 0;
    return Search(This().items, v, ignored);
}

void AddPointer(int32_t v)
{
    Registry& r = This();
    if (!r.initialised) {
        r.initialised = true;
        r.items.assign(1, v);
        return;
    }
    long p = 0;
    if (Search(r.items, v, p) >= 0)
        return; // already present
    if (r.items.front() != 0)
        r.items.push_back(0);
    const long last = static_cast<long>(r.items.size()) - 1;
    if (r.items[static_cast<size_t>(p)] < v)
        ++p;
    if (p > last)
        p = last;
    for (long i = last; i > p; --i)
        r.items[static_cast<size_t>(i)] = r.items[static_cast<size_t>(i - 1)];
    r.items[static_cast<size_t>(p)] = v;
}

void RemovePointer(int32_t v) noexcept
{
    Registry& r = This();
    long ignored = 0;
    long at = Search(r.items, v, ignored);
    if (at < 0)
        return;
    r.items.erase(r.items.begin() + at);
    if (r.items.empty())
        r.items.push_back(0); // the empty state: one slot holding 0
}

void Bind(int32_t v, _NotifyFolders* collection) { This().objects[v] = collection; }

void Unbind(int32_t v) noexcept { This().objects.erase(v); }

com::ComPtr<_NotifyFolders> ObjectFromPointer(int32_t v) noexcept
{
    if (FindPointer(v) < 0)
        return nullptr;
    auto& objects = This().objects;
    auto it = objects.find(v);
    return it == objects.end() ? nullptr : com::ComPtr<_NotifyFolders>(it->second);
}

std::vector<int32_t> Contents() { return This().items; }

} // namespace modValidatePointer
