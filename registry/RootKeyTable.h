// The root key table of a Registry object: which predefined keys exist on
// this platform, locally or on a connected computer, with their short and
// long names and their open handles.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "com/ComRaii.h"

namespace reg {

struct RootKey {
    std::wstring shortName; // "\HKLM"
    std::wstring longName;  // "\HKEY_LOCAL_MACHINE"
    HKEY predefined = nullptr;
    HKEY handle = nullptr;
    com::UniqueHKey connection; // a handle from RegConnectRegistryA, closed with the table
};

class RootKeyTable {
  public:
    RootKeyTable() = default;
    RootKeyTable(const RootKeyTable&) = delete;
    RootKeyTable& operator=(const RootKeyTable&) = delete;
    ~RootKeyTable() { Close(); }

    // Builds the table for the local computer (empty name) or a remote one.
    // The new table replaces the old one only when it is complete: after a
    // failure the table is the one it was.
    void Build(const std::wstring& computerName);
    void Close() noexcept;
    void Swap(RootKeyTable& other) noexcept { m_entries.swap(other.m_entries); }

    size_t Count() const noexcept { return m_entries.size(); }
    const RootKey& At(size_t i) const { return m_entries.at(i); }

    // The entry whose short or long name is component (with its leading
    // backslash, compared without regard to case), or nullptr.
    const RootKey* Find(std::wstring_view component) const noexcept;

  private:
    void Fill(const std::wstring& computerName);

    std::vector<RootKey> m_entries;
};

} // namespace reg
