#include "KeyPath.h"

#include "RegistryErrors.h"
#include "com/ComRaii.h"

namespace reg
{

namespace
{

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

bool IsSameOrBelow(std::wstring_view path, std::wstring_view base)
{
    if (path.size() < base.size() || !com::EqualsIgnoreCase(path.substr(0, base.size()), base))
        return false;
    return path.size() == base.size() || path[base.size()] == L'\\';
}

KeyLocation Locate(std::wstring_view path, const RootKeyTable& roots)
{
    HKEY root = GetRootKeyHandle(path, roots);
    return KeyLocation{root, com::Narrow(GetKeyTail(path))};
}

} // namespace reg
