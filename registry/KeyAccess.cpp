#include "KeyAccess.h"

#include "RegistryErrors.h"

namespace reg
{

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
    CheckSystem(::RegSetValueExA(key, name.c_str(), 0, value.type, data, static_cast<DWORD>(value.bytes.size())));
}

LONG OpenKey(HKEY parent, const std::string& subKey, REGSAM access, com::UniqueHKey& key) noexcept
{
    return ::RegOpenKeyExA(parent, subKey.c_str(), 0, access, key.put());
}

com::UniqueHKey CreateKey(HKEY parent, const std::string& subKey)
{
    com::UniqueHKey key;
    CheckSystem(::RegCreateKeyExA(parent, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr,
                                  key.put(), nullptr));
    return key;
}

} // namespace reg
