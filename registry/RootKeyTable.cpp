#include "RootKeyTable.h"

#include <utility>

#include "RegistryErrors.h"
#include "com/ComRaii.h"

namespace reg {

namespace {

struct RootRow {
    const wchar_t* shortName;
    const wchar_t* longName;
    HKEY predefined;
};

// Table order is the order of the top-level Keys collection.
const RootRow kRows[] = {
    {L"\\HKCR", L"\\HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},     {L"\\HKCU", L"\\HKEY_CURRENT_USER", HKEY_CURRENT_USER},
    {L"\\HKLM", L"\\HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},   {L"\\HKU", L"\\HKEY_USERS", HKEY_USERS},
    {L"\\HKCC", L"\\HKEY_CURRENT_CONFIG", HKEY_CURRENT_CONFIG}, {L"\\HKDD", L"\\HKEY_DYN_DATA", HKEY_DYN_DATA},
};

// Which rows the platform offers: Windows 9x and the NT family differ, and a
// remote registry offers fewer roots than the local one.
std::vector<HKEY> RootsFor(DWORD platform, bool remote)
{
    if (platform == VER_PLATFORM_WIN32_WINDOWS) {
        if (remote)
            return {HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CURRENT_CONFIG, HKEY_DYN_DATA};
        return {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER,   HKEY_LOCAL_MACHINE,
                HKEY_USERS,        HKEY_CURRENT_CONFIG, HKEY_DYN_DATA};
    }
    if (platform == VER_PLATFORM_WIN32_NT) {
        if (remote)
            return {HKEY_LOCAL_MACHINE, HKEY_USERS};
        return {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CURRENT_CONFIG};
    }
    Raise(EUnsupportedPlatform);
}

DWORD PlatformId()
{
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!::GetVersionExA(&info))
        RaiseSystem(ERROR_SUCCESS);
#pragma GCC diagnostic pop
    return info.dwPlatformId;
}

const RootRow& RowOf(HKEY predefined)
{
    for (const RootRow& row : kRows)
        if (row.predefined == predefined)
            return row;
    Raise(EInternalError);
}

} // namespace

void RootKeyTable::Build(const std::wstring& computerName)
{
    RootKeyTable fresh; // closes what it connected if the build fails
    fresh.Fill(computerName);
    Swap(fresh);
}

void RootKeyTable::Fill(const std::wstring& computerName)
{
    const bool remote = !computerName.empty();
    const std::string machine = com::Narrow(computerName);
    m_entries.reserve(std::size(kRows));
    for (HKEY predefined : RootsFor(PlatformId(), remote)) {
        const RootRow& row = RowOf(predefined);
        RootKey entry{row.shortName, row.longName, predefined, predefined, {}};
        if (remote) {
            // Wine connects only to its own computer name (and then locally);
            // any other name fails with ERROR_BAD_NETPATH. Windows connects
            // through the Remote Registry service.
            LONG rc = ::RegConnectRegistryA(machine.c_str(), predefined, entry.connection.put());
            if (rc != ERROR_SUCCESS)
                RaiseSystem(rc);
            entry.handle = entry.connection.get();
        }
        m_entries.push_back(std::move(entry));
    }
}

void RootKeyTable::Close() noexcept
{
    m_entries.clear(); // closes the connected handles
}

const RootKey* RootKeyTable::Find(std::wstring_view component) const noexcept
{
    for (const RootKey& entry : m_entries)
        if (com::EqualsIgnoreCase(entry.shortName, component) || com::EqualsIgnoreCase(entry.longName, component))
            return &entry;
    return nullptr;
}

} // namespace reg
