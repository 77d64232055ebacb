// The depth-first walk over a registry subtree that the export and the
// search share: each key is opened for reading, reported, its values
// reported in enumeration order, then its subkeys walked. Only the keys on
// the current path are open; a visitor that stops the walk closes them all.
#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "RootKeyTable.h"

namespace reg {

class SubtreeVisitor {
  public:
    // path is the key's full path (ANSI, leading backslash, long root name).
    // Returning false ends the walk.
    virtual bool OnKey(const std::string& path, std::string_view name) = 0;
    virtual bool OnValue(const std::string& path, std::string_view name, DWORD type, std::span<const BYTE> data) = 0;

  protected:
    ~SubtreeVisitor() = default;
};

// The keys that Export and Find start from: with an empty key, the roots
// HKEY_LOCAL_MACHINE and HKEY_USERS in table order; otherwise the key itself.
std::vector<std::wstring> StartKeys(const RootKeyTable& roots, std::wstring_view key);

// Walks the subtree at the full path. A key that is missing or not readable
// is skipped with its subtree. Returns false if the visitor ended the walk.
bool WalkSubtree(const RootKeyTable& roots, const std::wstring& path, bool subKeys, SubtreeVisitor& visitor);

} // namespace reg
