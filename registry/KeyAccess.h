// Small wrappers over the ANSI registry calls that the objects, the export
// and the search share. Failures become the library's errors.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "com/ComRaii.h"

namespace reg
{

// What RegQueryInfoKeyA reports about a key.
struct KeyInfo {
    DWORD subKeys = 0;
    DWORD maxSubKeyLen = 0;
    DWORD values = 0;
    DWORD maxValueNameLen = 0;
    DWORD maxValueLen = 0;
};

// The key's counts and longest names; a failure raises EMessageFromSystem.
KeyInfo QueryKeyInfo(HKEY key);
// The same, returning the system's result instead of raising.
LONG TryQueryKeyInfo(HKEY key, KeyInfo& info) noexcept;

// Name of subkey index in enumeration order; "" past the end.
std::string SubKeyName(HKEY key, DWORD index);
// Name of value index in enumeration order; "" past the end.
std::string ValueName(HKEY key, DWORD index);

// A value's registry type and data bytes.
struct RawValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> bytes;
};

// Reads a value with two RegQueryValueExA calls (type and size, then data).
// Returns the system's result of the first call when the value is missing.
LONG ReadValue(HKEY key, const std::string& name, RawValue& value);

// Writes a value (creating or replacing it); a failure raises EMessageFromSystem.
void WriteValue(HKEY key, const std::string& name, const RawValue& value);

// Opens subKey under parent; returns the system's result.
LONG OpenKey(HKEY parent, const std::string& subKey, REGSAM access, com::UniqueHKey& key) noexcept;
// Creates or opens subKey (missing keys on the way are created); raises EMessageFromSystem.
com::UniqueHKey CreateKey(HKEY parent, const std::string& subKey);

} // namespace reg
