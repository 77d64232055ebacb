#include "PluginPathSetting.h"

#include <windows.h>

#include "com/ComRaii.h"

bool ReadPluginPath(const char* sKey, std::string* path) noexcept
{
    try {
        constexpr char kRoot[] = "HKEY_LOCAL_MACHINE\\";
        std::string key = sKey;
        if (key.rfind(kRoot, 0) != 0)
            return false;
        com::UniqueHKey opened;
        if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.substr(sizeof kRoot - 1).c_str(), 0, nullptr, 0, KEY_READ,
                              nullptr, opened.put(), nullptr) != ERROR_SUCCESS)
            return false;
        path->clear();
        char value[MAX_PATH * 2] = {};
        DWORD size = sizeof value - 1;
        DWORD type = 0;
        if (::RegQueryValueExA(opened.get(), "PluginPath", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
                ERROR_SUCCESS &&
            (type == REG_SZ || type == REG_EXPAND_SZ))
            *path = value;
        return true;
    } catch (...) {
        return false;
    }
}
