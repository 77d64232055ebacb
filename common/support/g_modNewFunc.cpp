#include "g_modNewFunc.h"

#include <windows.h>

#include <vector>

#include "com/ComModule.h"
#include "com/ComRaii.h"
#include "g_modSeams.h"

namespace {

const char kNotAvailable[] = "<n/a>";

// Both names are read into a 255-character buffer whose declared size is 254.
constexpr DWORD kNameBufferChars = 255;
constexpr DWORD kNameDeclaredSize = 254;

} // namespace

bool FileExists(const std::string& sPath) noexcept
{
    try {
        return FileExists(com::Widen(sPath));
    } catch (...) {
        return false;
    }
}

bool FileExists(const std::wstring& sPath) noexcept
{
    if (sPath.empty())
        return false;
    // The attribute query answers with the length without opening the
    // file, so a file that another process holds open still counts.
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(sPath.c_str(), GetFileExInfoStandard, &data))
        return false;
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string CurrentComputerName() noexcept
{
    try {
        char buffer[kNameBufferChars] = {};
        DWORD size = kNameDeclaredSize;
        if (!g_supportSeams.GetComputerNameA(buffer, &size) || size >= kNameBufferChars)
            return kNotAvailable;
        // The returned size excludes the terminating character.
        return std::string(buffer, size);
    } catch (...) {
        return kNotAvailable;
    }
}

std::string CurrentUserName() noexcept
{
    try {
        char buffer[kNameBufferChars] = {};
        DWORD size = kNameDeclaredSize;
        if (!g_supportSeams.GetUserNameA(buffer, &size) || size == 0 || size > kNameBufferChars)
            return kNotAvailable;
        // The returned size includes the terminating character.
        return std::string(buffer, size - 1);
    } catch (...) {
        return kNotAvailable;
    }
}

void SetBusyCursor(bool bBusy) noexcept
{
    if (HCURSOR cursor = ::LoadCursorA(nullptr, bBusy ? IDC_WAIT : IDC_ARROW))
        ::SetCursor(cursor);
}

ModuleVersionNumbers ModuleVersion()
{
    ModuleVersionNumbers version;
    const std::wstring path = com::Module::Path();
    DWORD ignored = 0;
    const DWORD size = path.empty() ? 0 : ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
    std::vector<BYTE> block(size);
    VS_FIXEDFILEINFO* info = nullptr;
    UINT infoSize = 0;
    if (size && ::GetFileVersionInfoW(path.c_str(), 0, size, block.data()) &&
        ::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &infoSize) && info &&
        infoSize >= sizeof *info) {
        version.major = HIWORD(info->dwFileVersionMS);
        version.minor = LOWORD(info->dwFileVersionMS);
        version.revision = LOWORD(info->dwFileVersionLS);
    }
    return version;
}

std::string ModuleVersionText()
{
    const ModuleVersionNumbers v = ModuleVersion();
    return std::to_string(v.major) + "." + std::to_string(v.minor) + "." + std::to_string(v.revision);
}
