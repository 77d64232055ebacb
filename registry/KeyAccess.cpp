#include "KeyAccess.h"

#include "RegistryErrors.h"
#include "RegistrySeams.h"

namespace reg {

namespace {

// Both leave out DELETE, WRITE_DAC and WRITE_OWNER, which KEY_ALL_ACCESS
// adds: deleting a subkey does not depend on the rights of the parent's
// handle (RegDeleteKeyEx, Microsoft documentation), and the library changes
// no key's security.
constexpr REGSAM kReadAccess = KEY_READ;
constexpr REGSAM kWriteAccess = KEY_READ | KEY_WRITE;

LONG TryCreateKey(HKEY parent, const std::string& subKey, com::UniqueHKey& key) noexcept
{
    return g_registrySeams.RegCreateKeyExA(parent, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kWriteAccess,
                                           nullptr, key.put(), nullptr);
}

} // namespace

LONG TryQueryKeyInfo(HKEY key, KeyInfo& info) noexcept
{
    return ::RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &info.subKeys, &info.maxSubKeyLen, nullptr, &info.values,
                              &info.maxValueNameLen, &info.maxValueLen, nullptr, nullptr);
}

KeyInfo QueryKeyInfo(HKEY key)
{
    KeyInfo info;
    CheckSystem(TryQueryKeyInfo(key, info));
    return info;
}

std::string SubKeyName(HKEY key, DWORD index)
{
    std::string name(QueryKeyInfo(key).maxSubKeyLen + 1, '\0');
    DWORD length = static_cast<DWORD>(name.size());
    LONG rc = ::RegEnumKeyExA(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS)
        return {};
    CheckSystem(rc);
    name.resize(length);
    return name;
}

std::string ValueName(HKEY key, DWORD index)
{
    std::string name(QueryKeyInfo(key).maxValueNameLen + 1, '\0');
    DWORD length = static_cast<DWORD>(name.size());
    LONG rc = ::RegEnumValueA(key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_NO_MORE_ITEMS)
        return {};
    CheckSystem(rc);
    name.resize(length);
    return name;
}

LONG ReadValue(HKEY key, const std::string& name, RawValue& value)
{
    DWORD type = REG_NONE;
    DWORD size = 0;
    LONG rc = ::RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size);
    if (rc != ERROR_SUCCESS)
        return rc;
    value.type = type;
    value.bytes.assign(size, 0);
    rc = ::RegQueryValueExA(key, name.c_str(), nullptr, &type, value.bytes.data(), &size);
    CheckSystem(rc);
    value.type = type;
    value.bytes.resize(size);
    return ERROR_SUCCESS;
}

void WriteValue(HKEY key, const std::string& name, const RawValue& value)
{
    static const BYTE none = 0;
    const BYTE* data = value.bytes.empty() ? &none : value.bytes.data();
    // For the string types RegSetValueExA looks at the byte after the data:
    // when the data does not end in a terminator and that byte is zero, it
    // is written too (Windows does so, and Wine after it). Handed over with
    // a byte after it that is not zero, the data is written as it is, and
    // the look stays inside the buffer.
    std::vector<BYTE> padded;
    const bool isString = value.type == REG_SZ || value.type == REG_EXPAND_SZ || value.type == REG_MULTI_SZ;
    if (isString && !value.bytes.empty() && value.bytes.back() != 0) {
        padded.reserve(value.bytes.size() + 1);
        padded.assign(value.bytes.begin(), value.bytes.end());
        padded.push_back(1);
        data = padded.data();
    }
    CheckSystem(::RegSetValueExA(key, name.c_str(), 0, value.type, data, static_cast<DWORD>(value.bytes.size())));
}

LONG OpenKey(HKEY parent, const char* subKey, KeyUse use, com::UniqueHKey& key) noexcept
{
    if (use == KeyUse::Update) {
        LONG rc = g_registrySeams.RegOpenKeyExA(parent, subKey, 0, kWriteAccess, key.put());
        if (rc != ERROR_ACCESS_DENIED)
            return rc;
    }
    return g_registrySeams.RegOpenKeyExA(parent, subKey, 0, kReadAccess, key.put());
}

com::UniqueHKey CreateKey(HKEY parent, const std::string& subKey)
{
    com::UniqueHKey key;
    CheckSystem(TryCreateKey(parent, subKey, key));
    return key;
}

com::UniqueHKey CreateOrOpenKey(HKEY parent, const std::string& subKey)
{
    com::UniqueHKey key;
    const LONG rc = TryCreateKey(parent, subKey, key);
    if (rc == ERROR_ACCESS_DENIED && OpenKey(parent, subKey.c_str(), KeyUse::Read, key) == ERROR_SUCCESS)
        return key;
    CheckSystem(rc);
    return key;
}

} // namespace reg
