// installcheck: what the installer test asks of an installed corvane, from a
// program of the installed architecture (so that it sees the registry view
// and the COM registrations that Outlook of that architecture sees).
//
//   installcheck load <folder>   creates each of the product's servers by
//                                ProgID; exit 0 when all come from DLLs in
//                                <folder>
//   installcheck keys            prints the installer's registry keys with
//                                their values, "(absent)" for missing ones
#include <windows.h>
#include <objbase.h>

#include <cstdio>
#include <string>

#include "com/ComRaii.h"
#include "config/ProductKeys.h"

using com::ComPtr;

namespace {

// The file name of the loaded module, or empty.
std::wstring ModuleFile(const wchar_t* name)
{
    HMODULE module = ::GetModuleHandleW(name);
    wchar_t path[MAX_PATH] = {};
    if (!module || !::GetModuleFileNameW(module, path, MAX_PATH))
        return {};
    return path;
}

std::wstring Folder(const std::wstring& file)
{
    const size_t slash = file.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : file.substr(0, slash);
}

std::wstring WithoutTrailingBackslash(std::wstring path)
{
    while (!path.empty() && (path.back() == L'\\' || path.back() == L'/'))
        path.pop_back();
    return path;
}

// Creates the object by ProgID in process; true when its DLL lies in folder.
bool LoadFrom(const wchar_t* progId, const wchar_t* dll, const std::wstring& folder)
{
    CLSID clsid{};
    HRESULT hr = ::CLSIDFromProgID(progId, &clsid);
    ComPtr<IUnknown> object;
    if (SUCCEEDED(hr))
        hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, &object);
    if (FAILED(hr)) {
        std::printf("%ls: not created (0x%08lX)\n", progId, static_cast<unsigned long>(hr));
        return false;
    }
    const std::wstring file = ModuleFile(dll);
    std::printf("%ls: created, from %ls\n", progId, file.empty() ? L"(no module)" : file.c_str());
    return com::EqualsIgnoreCase(WithoutTrailingBackslash(Folder(file)), WithoutTrailingBackslash(folder));
}

void PrintValue(const char* name, DWORD type, const BYTE* data, DWORD size)
{
    std::printf("    \"%s\" = ", *name ? name : "(default)");
    if (type == REG_SZ || type == REG_EXPAND_SZ)
        std::printf("\"%.*s\"\n", static_cast<int>(size && !data[size - 1] ? size - 1 : size),
                    reinterpret_cast<const char*>(data));
    else if (type == REG_DWORD && size == sizeof(DWORD))
        std::printf("dword:%lu\n", static_cast<unsigned long>(*reinterpret_cast<const DWORD*>(data)));
    else
        std::printf("(type %lu, %lu bytes)\n", static_cast<unsigned long>(type), static_cast<unsigned long>(size));
}

// Prints a key and its values, or "(absent)".
void PrintKey(HKEY root, const char* rootName, const std::string& path)
{
    com::UniqueHKey key;
    if (::RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
        std::printf("%s\\%s: (absent)\n", rootName, path.c_str());
        return;
    }
    std::printf("%s\\%s\n", rootName, path.c_str());
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[1024];
        DWORD nameSize = sizeof name, dataSize = sizeof data, type = 0;
        if (::RegEnumValueA(key.get(), i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS)
            break;
        PrintValue(name, type, data, dataSize);
    }
}

// The default value of a key, or empty.
std::string DefaultValue(HKEY root, const std::string& path)
{
    char data[512] = {};
    LONG size = sizeof data;
    return ::RegQueryValueA(root, path.c_str(), data, &size) == ERROR_SUCCESS ? data : "";
}

void PrintServer(const char* progId)
{
    PrintKey(HKEY_CLASSES_ROOT, "HKCR", progId);
    const std::string clsid = DefaultValue(HKEY_CLASSES_ROOT, std::string(progId) + "\\CLSID");
    if (!clsid.empty())
        PrintKey(HKEY_CLASSES_ROOT, "HKCR", "CLSID\\" + clsid + "\\InprocServer32");
}

// The product's COM servers: a ProgID of each and its DLL.
struct Server {
    const wchar_t* progId;
    const wchar_t* dll;
};
const Server kServers[] = {
#include "corvane-servers.h"
};

int Keys()
{
    PrintKey(HKEY_LOCAL_MACHINE, "HKLM", "Software\\Microsoft\\Office\\Outlook\\Addins\\corvane.Tarnwell");
    PrintKey(HKEY_LOCAL_MACHINE, "HKLM", com::Narrow(productkeys::kInstallSubKey));
    PrintKey(HKEY_LOCAL_MACHINE, "HKLM", "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\corvane");
    for (const Server& server : kServers)
        PrintServer(com::Narrow(server.progId).c_str());
    PrintKey(HKEY_CLASSES_ROOT, "HKCR", "TypeLib\\{7BCEE48A-3BF1-11D5-8054-0000CB711FAB}\\1.0");
    PrintKey(HKEY_CLASSES_ROOT, "HKCR", "TypeLib\\{60FFDE62-178E-11D1-B1A2-0060971F5C23}\\1.0");
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"keys")
        return Keys();
    if (command != L"load" || argc != 3) {
        std::fprintf(stderr, "usage: installcheck load <folder> | installcheck keys\n");
        return 2;
    }
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    bool all = true;
    for (const Server& server : kServers)
        all = LoadFrom(server.progId, server.dll, argv[2]) && all;
    ::CoUninitialize();
    std::printf("%s\n", all ? "all from the installation folder" : "NOT all from the installation folder");
    return all ? 0 : 1;
}
