// regcapture: what a COM server's DllRegisterServer writes, without writing
// it. The Windows Installer packages carry the servers' registration as
// their own registry entries, made from this program's output at build time
// (installer/msi/build-msi.sh); their test compares the entries a package
// installed with what the installed servers write.
//
//   regcapture capture <dll>...    loads each DLL, calls its DllRegisterServer
//                                  with HKEY_CLASSES_ROOT and
//                                  HKEY_LOCAL_MACHINE mapped to scratch keys,
//                                  and prints what was written there
//   regcapture show <key>...       prints the keys given (HKCR\... or
//                                  HKLM\...) with everything below them, as
//                                  they are in the registry
//
// Output: one line per value, "<key>\t<name>\t<type>\t<data>", and one line
// "<key>" for a key without values or subkeys; sorted, keys compared without
// regard to case. The default value's name is empty. Exit code 0, 1 when a
// registration failed, 2 for a wrong command line.
//
// RegOverridePredefKey is meant for this: "to capture the registry changes
// made by a component's self-registration, such as DllRegisterServer"
// (Microsoft documentation of RegOverridePredefKey; Windows 2000 and later).
// The DLL is loaded before the keys are mapped, so that the loader and the
// DLL's start-up see the real registry.
#include <windows.h>
#include <objbase.h>
#include <shlwapi.h>

#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "com/ComRaii.h"

namespace {

constexpr wchar_t kScratchKey[] = L"Software\\Wendmoor\\RegCapture";

struct Root {
    HKEY predefined;
    const wchar_t* name;
};
const Root kRoots[] = {{HKEY_CLASSES_ROOT, L"HKCR"}, {HKEY_LOCAL_MACHINE, L"HKLM"}};

std::wstring TypeName(DWORD type)
{
    switch (type) {
    case REG_SZ:
        return L"REG_SZ";
    case REG_EXPAND_SZ:
        return L"REG_EXPAND_SZ";
    case REG_DWORD:
        return L"REG_DWORD";
    case REG_MULTI_SZ:
        return L"REG_MULTI_SZ";
    default:
        return L"REG_BINARY";
    }
}

// The data as text: strings as they are (a REG_MULTI_SZ's strings joined by
// "\0"), a DWORD in decimal, anything else in hex.
std::wstring DataText(DWORD type, const std::vector<BYTE>& data)
{
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ) {
        std::wstring text(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
        while (!text.empty() && text.back() == L'\0')
            text.pop_back();
        std::wstring joined;
        for (wchar_t c : text)
            joined += c ? std::wstring(1, c) : std::wstring(L"\\0");
        return joined;
    }
    if (type == REG_DWORD && data.size() == sizeof(DWORD))
        return std::to_wstring(*reinterpret_cast<const DWORD*>(data.data()));
    std::wstring hex;
    wchar_t byte[4];
    for (BYTE b : data) {
        std::swprintf(byte, 4, L"%02x", b);
        hex += byte;
    }
    return hex;
}

// Appends the lines of key (named path) and of every key below it.
void Collect(HKEY key, const std::wstring& path, std::vector<std::wstring>& lines)
{
    DWORD values = 0, subkeys = 0, maxName = 0, maxData = 0;
    if (::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, &maxName, &maxData,
                           nullptr, nullptr) != ERROR_SUCCESS)
        return;
    if (!values && !subkeys)
        lines.push_back(path);
    for (DWORD i = 0; i < values; ++i) {
        std::wstring name(maxName + 1, L'\0');
        std::vector<BYTE> data(maxData + 2);
        DWORD nameSize = maxName + 1, dataSize = maxData, type = 0;
        if (::RegEnumValueW(key, i, name.data(), &nameSize, nullptr, &type, data.data(), &dataSize) != ERROR_SUCCESS)
            continue;
        name.resize(nameSize);
        data.resize(dataSize);
        lines.push_back(path + L"\t" + name + L"\t" + TypeName(type) + L"\t" + DataText(type, data));
    }
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameSize = 256;
        if (::RegEnumKeyExW(key, i, name, &nameSize, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        com::UniqueHKey subkey;
        if (::RegOpenKeyExW(key, name, 0, KEY_READ, subkey.put()) == ERROR_SUCCESS)
            Collect(subkey.get(), path + L"\\" + name, lines);
    }
}

void Print(std::vector<std::wstring> lines)
{
    std::sort(lines.begin(), lines.end(), [](const std::wstring& a, const std::wstring& b) {
        return ::CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_LESS_THAN;
    });
    for (const std::wstring& line : lines)
        std::printf("%s\n", com::Narrow(line).c_str());
}

using RegisterFunction = HRESULT(STDAPICALLTYPE*)();

int Capture(int count, wchar_t** dlls)
{
    std::vector<HMODULE> modules;
    std::vector<RegisterFunction> functions;
    for (int i = 0; i < count; ++i) {
        HMODULE module = ::LoadLibraryExW(dlls[i], nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
        auto function =
            module ? reinterpret_cast<RegisterFunction>(::GetProcAddress(module, "DllRegisterServer")) : nullptr;
        if (!function) {
            std::fprintf(stderr, "regcapture: %ls: %s\n", dlls[i],
                         module ? "no DllRegisterServer" : "cannot be loaded");
            return 1;
        }
        modules.push_back(module);
        functions.push_back(function);
    }
    ::SHDeleteKeyW(HKEY_CURRENT_USER, kScratchKey);
    std::vector<com::UniqueHKey> scratch(std::size(kRoots));
    for (size_t i = 0; i < std::size(kRoots); ++i) {
        const std::wstring path = std::wstring(kScratchKey) + L"\\" + kRoots[i].name;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, scratch[i].put(),
                              nullptr) != ERROR_SUCCESS) {
            std::fprintf(stderr, "regcapture: the scratch key cannot be made\n");
            return 1;
        }
    }
    int status = 0;
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    for (size_t i = 0; i < std::size(kRoots); ++i)
        ::RegOverridePredefKey(kRoots[i].predefined, scratch[i].get());
    for (size_t i = 0; i < functions.size(); ++i) {
        const HRESULT hr = functions[i]();
        if (FAILED(hr)) {
            std::fprintf(stderr, "regcapture: %ls: DllRegisterServer failed (0x%08lX)\n", dlls[i],
                         static_cast<unsigned long>(hr));
            status = 1;
        }
    }
    for (const Root& root : kRoots)
        ::RegOverridePredefKey(root.predefined, nullptr);
    ::CoUninitialize();
    std::vector<std::wstring> lines;
    for (size_t i = 0; i < std::size(kRoots); ++i) {
        const std::wstring prefix = kRoots[i].name;
        std::vector<std::wstring> below;
        Collect(scratch[i].get(), prefix, below);
        // The scratch root itself is no key of the registration.
        std::erase(below, prefix);
        lines.insert(lines.end(), below.begin(), below.end());
    }
    scratch.clear();
    ::SHDeleteKeyW(HKEY_CURRENT_USER, kScratchKey);
    Print(std::move(lines));
    for (HMODULE module : modules)
        ::FreeLibrary(module);
    return status;
}

int Show(int count, wchar_t** keys)
{
    std::vector<std::wstring> lines;
    for (int i = 0; i < count; ++i) {
        const std::wstring key = keys[i];
        const size_t slash = key.find(L'\\');
        const Root* root = nullptr;
        for (const Root& r : kRoots)
            if (slash != std::wstring::npos && key.compare(0, slash, r.name) == 0)
                root = &r;
        if (!root) {
            std::fprintf(stderr, "regcapture: %ls: not a key under HKCR or HKLM\n", keys[i]);
            return 2;
        }
        com::UniqueHKey opened;
        if (::RegOpenKeyExW(root->predefined, key.c_str() + slash + 1, 0, KEY_READ, opened.put()) == ERROR_SUCCESS)
            Collect(opened.get(), key, lines);
    }
    Print(std::move(lines));
    return 0;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    // Lines end with "\n" alone, whatever reads them.
    ::_setmode(::_fileno(stdout), _O_BINARY);
    const std::wstring command = argc > 1 ? argv[1] : L"";
    if (command == L"capture" && argc > 2)
        return Capture(argc - 2, argv + 2);
    if (command == L"show" && argc > 2)
        return Show(argc - 2, argv + 2);
    std::fprintf(stderr, "usage: regcapture capture <dll>... | regcapture show <key>...\n");
    return 2;
}
