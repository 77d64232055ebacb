// Find: walks a subtree and reports every key name, value name or value
// data that contains the search pattern, one Found event per hit, to the
// sinks of the Registry's IRegistryEvents connection point.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <span>
#include <string>

#include "RootKeyTable.h"

namespace reg {

// True if the pattern lies inside the field: bytes compared exactly with
// foMatchCase, else with A-Z mapped to a-z; with foMatchLength the two must
// also have the same length. An empty pattern lies inside every field.
bool Matches(std::span<const BYTE> field, std::span<const BYTE> pattern, long options);

// Searches the start keys (Export's choice) for the pattern's bytes.
void FindInRegistry(const RootKeyTable& roots, IConnectionPoint& events, const VARIANT& what, std::wstring_view key,
                    bool subKeys, long options);

} // namespace reg
