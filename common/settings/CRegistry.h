// The settings wrapper: a component's own settings in the registry, kept
// through the registry library's published object model (rovane.Registry,
// created by its ProgID). Open one key, then read or write named values;
// whatever is missing reads as the caller's default. Nothing here ever
// raises: every failure becomes the default or false. A key the user may
// only read (a standard user and a key under HKEY_LOCAL_MACHINE) opens for
// reading: its values read as usual, writes to it return false. Names and
// texts are taken as views, so that a call with literals allocates nothing
// before the wrapper's own guard.
//
//   CRegistry reg;
//   if (reg.OpenKey("HKEY_CURRENT_USER\\Software\\Wendmoor\\Corvane\\ZarqNotifier", true))
//       bOnTop = reg.ReadDWORD("AlwaysOnTop", 0) == 1;
//   reg.CloseKey();
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>
#include <string_view>

#include "RovaneClient.h"
#include "com/ComRaii.h"

class CRegistry {
  public:
    CRegistry() noexcept;
    ~CRegistry();
    CRegistry(const CRegistry&) = delete;
    CRegistry& operator=(const CRegistry&) = delete;

    void CloseKey() noexcept;
    // Opens sKey ("HKCU\\Software\\..." or "\\HKEY_CURRENT_USER\\Software\\..."),
    // creating the whole missing path when bCanCreate. True when a key is open.
    bool OpenKey(std::string_view sKey, bool bCanCreate) noexcept;

    // The value as a number; lDefault when there is no key or no such value,
    // 0 when the value's data is no number.
    long ReadDWORD(std::string_view sName, long lDefault) noexcept;
    // The value's first eight bytes as a date; false (dResult untouched)
    // when there is no key, no such value or no valid date.
    bool ReadDate(std::string_view sName, DATE& dResult) noexcept;
    // The value as a number; false (lResult untouched) when there is no key,
    // no such value or its data is no number.
    bool ReadNumber(std::string_view sName, long& lResult) noexcept;
    // The value as text; sDefault when there is no key or no such value,
    // "" when the value's data is no text.
    std::string ReadString(std::string_view sName, std::string_view sDefault) noexcept;

    // Writes a value of the open key. An existing value takes the registry
    // type the library chooses for the data; a missing one is created (as
    // REG_DWORD, REG_BINARY or REG_SZ) only when bCanCreate. True when the
    // library accepted the data.
    bool WriteDWORD(std::string_view sName, long lValue, bool bCanCreate) noexcept;
    bool WriteBinary(std::string_view sName, const VARIANT& vValue, bool bCanCreate) noexcept;
    bool WriteString(std::string_view sName, std::string_view sValue, bool bCanCreate) noexcept;

  private:
    // The open key's value sName, or null.
    com::ComPtr<IRegistryValue> FindValue(std::string_view sName) noexcept;
    // The value's data in its natural form; false when it cannot be read.
    bool ReadData(std::string_view sName, DataTypeConstants type, com::Variant& data) noexcept;
    bool Write(std::string_view sName, const VARIANT& vData, DataTypeConstants createType, bool bCanCreate) noexcept;

    com::ComPtr<IRegistry> m_Registry;
    com::ComPtr<IRegistryKey> m_Key;
};
