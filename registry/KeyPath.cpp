#include "KeyPath.h"

#include "RegistryErrors.h"
#include "com/ComRaii.h"

namespace reg {

namespace {

void RequireLeadingBackslash(std::wstring_view path)
{
    if (path.empty() || path.front() != L'\\')
        Raise(EInvalidKey);
}

// The first component with its leading backslash: "\HKLM" of "\HKLM\SOFTWARE".
std::wstring_view RootComponent(std::wstring_view path)
{
    size_t end = path.find(L'\\', 1);
    return path.substr(0, end);
}

} // namespace

std::wstring GetKeyFoot(std::wstring_view path)
{
    if (path.empty())
        return {};
    RequireLeadingBackslash(path);
    return std::wstring(path.substr(path.rfind(L'\\') + 1));
}

std::wstring GetKeyTail(std::wstring_view path)
{
    if (path.empty())
        return {};
    RequireLeadingBackslash(path);
    size_t second = path.find(L'\\', 1);
    return second == std::wstring_view::npos ? std::wstring() : std::wstring(path.substr(second + 1));
}

std::wstring GetParentKey(std::wstring_view path)
{
    if (path.empty())
        return {};
    RequireLeadingBackslash(path);
    return std::wstring(path.substr(0, path.rfind(L'\\')));
}

HKEY GetRootKeyHandle(std::wstring_view path, const RootKeyTable& roots)
{
    RequireLeadingBackslash(path);
    const RootKey* root = roots.Find(RootComponent(path));
    if (!root)
        Raise(EUnknownRootKey);
    return root->handle;
}

std::wstring MergeKeys(std::wstring_view parent, std::wstring_view child, const RootKeyTable& roots)
{
    std::wstring merged;
    if (child.empty()) {
        if (parent.empty())
            Raise(EInvalidKey);
        merged = parent;
    } else if (child.front() == L'\\') {
        merged = child;
    } else {
        merged.reserve(parent.size() + 1 + child.size());
        merged.append(parent).append(L"\\").append(child);
    }
    std::wstring_view first = RootComponent(merged);
    if (const RootKey* root = roots.Find(first))
        merged.replace(0, first.size(), root->longName);
    return merged;
}

namespace {

// The components of a path as the registry reads it: empty ones skipped.
std::vector<std::wstring_view> Components(std::wstring_view path)
{
    std::vector<std::wstring_view> parts;
    for (size_t start = 0; start <= path.size();) {
        size_t end = path.find(L'\\', start);
        if (end == std::wstring_view::npos)
            end = path.size();
        if (end > start)
            parts.push_back(path.substr(start, end - start));
        start = end + 1;
    }
    return parts;
}

// 1: path is base or below it; 2: also the same key; 0: neither.
int Relation(std::wstring_view path, std::wstring_view base)
{
    const std::vector<std::wstring_view> p = Components(path), b = Components(base);
    if (p.size() < b.size())
        return 0;
    for (size_t i = 0; i < b.size(); ++i)
        if (!com::EqualsIgnoreCase(p[i], b[i]))
            return 0;
    return p.size() == b.size() ? 2 : 1;
}

} // namespace

bool IsSameOrBelow(std::wstring_view path, std::wstring_view base) { return Relation(path, base) != 0; }

bool IsSameKey(std::wstring_view a, std::wstring_view b) { return Relation(a, b) == 2; }

bool SameValueName(const std::string& a, const std::string& b)
{
    return com::EqualsIgnoreCase(com::Widen(a), com::Widen(b));
}

KeyLocation Locate(std::wstring_view path, const RootKeyTable& roots)
{
    HKEY root = GetRootKeyHandle(path, roots);
    return KeyLocation{root, com::Narrow(GetKeyTail(path))};
}

} // namespace reg
