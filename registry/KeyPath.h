// Key paths: "\HKEY_LOCAL_MACHINE\SOFTWARE" or "\hklm\SOFTWARE"; the root in
// its short or long form, in any letter case. Paths handed out by the
// library always carry the long root name.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "RootKeyTable.h"

namespace reg {

// The text after the last backslash ("" for an empty path).
std::wstring GetKeyFoot(std::wstring_view path);
// The subkey path after the root component, without leading backslash.
std::wstring GetKeyTail(std::wstring_view path);
// The text before the last backslash ("" for a bare root).
std::wstring GetParentKey(std::wstring_view path);
// The open handle of the path's root.
HKEY GetRootKeyHandle(std::wstring_view path, const RootKeyTable& roots);
// The child path combined with its parent, with the long root name.
std::wstring MergeKeys(std::wstring_view parent, std::wstring_view child, const RootKeyTable& roots);

// True if path names the same key as base or a key below it, compared as the
// registry resolves paths: names without regard to case, and empty
// components (doubled or trailing backslashes) skipped. Both paths carry
// their root in its long form (MergeKeys).
bool IsSameOrBelow(std::wstring_view path, std::wstring_view base);
// True if both paths name the same key, by the same rules.
bool IsSameKey(std::wstring_view a, std::wstring_view b);
// True if two value names name the same value (letter case ignored).
bool SameValueName(const std::string& a, const std::string& b);

// A full path split into what the registry API takes.
struct KeyLocation {
    HKEY root;
    std::string tail; // ANSI subkey path, empty for a bare root
};
KeyLocation Locate(std::wstring_view path, const RootKeyTable& roots);

} // namespace reg
