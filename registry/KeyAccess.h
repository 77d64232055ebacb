// Small wrappers over the ANSI registry calls that the objects, the export
// and the search share. Failures become the library's errors.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "com/ComRaii.h"

namespace reg {

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

// What a key is opened for. A user may be allowed to read a key and not to
// write it (a standard user and the keys under HKEY_LOCAL_MACHINE): asking
// for more than reading then fails with ERROR_ACCESS_DENIED.
enum class KeyUse {
    // Only read through the handle: KEY_READ.
    Read,
    // Written through the handle where the user may: KEY_READ | KEY_WRITE,
    // or KEY_READ alone when writing is refused; a write through such a
    // handle then fails with ERROR_ACCESS_DENIED like any refused write.
    Update,
};

// Opens subKey under parent for use; returns the system's result.
LONG OpenKey(HKEY parent, const char* subKey, KeyUse use, com::UniqueHKey& key) noexcept;
// Creates or opens subKey for writing (missing keys on the way are created);
// raises EMessageFromSystem.
com::UniqueHKey CreateKey(HKEY parent, const std::string& subKey);
// CreateKey for a key object: an existing key that the user may not write
// is opened for reading instead. A missing key that may not be created
// raises EMessageFromSystem as CreateKey does.
com::UniqueHKey CreateOrOpenKey(HKEY parent, const std::string& subKey);

} // namespace reg
