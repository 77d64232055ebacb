// rovane_bench: how rovane's Export, Find and Import compare with a bare
// walk of the same subtree (RegEnumKeyExA / RegEnumValueA reading every
// value: the floor) and with the registry editor's own /e and /s.
//
// Run it (from the build folder, where rovane.dll lies next to it):
//   build/wine-run.sh build/bin/rovane_bench.exe [keys] [values]
// Defaults: 20000 keys and 100000 values of mixed types, generated under
// HKEY_CURRENT_USER\Software\corvane-bench\<process id>, deleted at the end.
// rovane.dll is loaded from the program's folder; it need not be registered.
#include <ocidl.h>
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "RovaneInterfaces.h"
#include "com/ComObject.h"
#include "com/ComRaii.h"

using com::ComPtr;

namespace
{

using Clock = std::chrono::steady_clock;

double Seconds(const std::function<void()>& work)
{
    auto start = Clock::now();
    work();
    return std::chrono::duration<double>(Clock::now() - start).count();
}

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "failed: %s\n", what);
        std::exit(1);
    }
}

void CheckHr(HRESULT hr, const char* what)
{
    if (FAILED(hr)) {
        com::ComPtr<IErrorInfo> info;
        com::Bstr text;
        if (::GetErrorInfo(0, &info) == S_OK && info)
            info->GetDescription(text.put());
        std::fprintf(stderr, "failed: %s (%08lx %s)\n", what, static_cast<unsigned long>(hr), text.ansi().c_str());
        std::exit(1);
    }
}

// The generated subtree: keys spread over two levels, five kinds of values.
struct Subtree {
    std::string path; // below HKEY_CURRENT_USER
    int keys = 0;
    int values = 0;
};

void SetValue(HKEY key, const std::string& name, DWORD type, const void* data, size_t size)
{
    Check(::RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size)) ==
              ERROR_SUCCESS,
          "RegSetValueExA");
}

void AddValue(HKEY key, int n)
{
    const std::string name = "val" + std::to_string(n);
    switch (n % 5) {
    case 0: {
        std::string text = "text value number " + std::to_string(n);
        SetValue(key, name, REG_SZ, text.c_str(), text.size() + 1);
        break;
    }
    case 1: {
        DWORD number = static_cast<DWORD>(n);
        SetValue(key, name, REG_DWORD, &number, 4);
        break;
    }
    case 2: {
        BYTE bytes[24];
        for (size_t i = 0; i < sizeof(bytes); ++i)
            bytes[i] = static_cast<BYTE>(n + i * 13);
        SetValue(key, name, REG_BINARY, bytes, sizeof(bytes));
        break;
    }
    case 3: {
        static const char multi[] = "first\0second\0third\0";
        SetValue(key, name, REG_MULTI_SZ, multi, sizeof(multi));
        break;
    }
    default: {
        static const char expand[] = "%SystemRoot%\\system32";
        SetValue(key, name, REG_EXPAND_SZ, expand, sizeof(expand));
    }
    }
}

Subtree Generate(int keyCount, int valueCount)
{
    Subtree tree;
    tree.path = "Software\\corvane-bench\\" + std::to_string(::GetCurrentProcessId());
    const int groups = keyCount / 100 > 0 ? keyCount / 100 : 1;
    int made = 0;
    for (int g = 0; g < groups && made < keyCount; ++g) {
        for (int k = 0; k < keyCount / groups && made < keyCount; ++k, ++made) {
            std::string sub = tree.path + "\\group" + std::to_string(g) + "\\key" + std::to_string(k);
            com::UniqueHKey key;
            Check(::RegCreateKeyExA(HKEY_CURRENT_USER, sub.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, key.put(),
                                    nullptr) == ERROR_SUCCESS,
                  "RegCreateKeyExA");
            const int first = static_cast<int>(static_cast<long long>(made) * valueCount / keyCount);
            const int last = static_cast<int>(static_cast<long long>(made + 1) * valueCount / keyCount);
            for (int v = first; v < last; ++v)
                AddValue(key.get(), v);
            tree.values += last - first;
        }
    }
    tree.keys = made;
    return tree;
}

// The floor: every key enumerated, every value read with its data.
void BareWalk(HKEY parent, const char* name, long long& keys, long long& values)
{
    com::UniqueHKey key;
    if (::RegOpenKeyExA(parent, name, 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return;
    ++keys;
    char valueName[256];
    BYTE data[4096];
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = sizeof(valueName), dataLength = sizeof(data), type = 0;
        if (::RegEnumValueA(key.get(), i, valueName, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS)
            break;
        ++values;
    }
    char child[256];
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof(child);
        if (::RegEnumKeyExA(key.get(), i, child, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        BareWalk(key.get(), child, keys, values);
    }
}

// Counts Found events.
class CountingSink final : public com::ComObject<CountingSink, IDispatch>
{
  public:
    HRESULT QueryInterfaceExtra(REFIID riid, void** ppv) noexcept
    {
        if (riid != IID_IRegistryEvents)
            return E_NOINTERFACE;
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) noexcept override
    {
        ++hits;
        return S_OK;
    }
    long long hits = 0;
};

ComPtr<IRegistry> LoadRegistry()
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string dll(path);
    dll = dll.substr(0, dll.rfind('\\') + 1) + "rovane.dll";
    HMODULE module = ::LoadLibraryA(dll.c_str());
    Check(module != nullptr, "LoadLibrary rovane.dll");
    using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    auto get = reinterpret_cast<GetClassObject>(::GetProcAddress(module, "DllGetClassObject"));
    Check(get != nullptr, "DllGetClassObject");
    ComPtr<IClassFactory> factory;
    CheckHr(get(CLSID_Registry, IID_PPV_ARGS(&factory)), "class factory");
    ComPtr<IRegistry> registry;
    CheckHr(factory->CreateInstance(nullptr, IID_PPV_ARGS(&registry)), "CreateInstance");
    return registry;
}

void RunRegedit(const std::string& arguments)
{
    std::string command = "regedit.exe " + arguments;
    STARTUPINFOA startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    Check(::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process),
          "CreateProcess regedit.exe");
    ::WaitForSingleObject(process.hProcess, INFINITE);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
}

std::string TempName(const char* tag)
{
    char dir[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, dir);
    std::string name =
        std::string(dir) + "rovane-bench-" + tag + "-" + std::to_string(::GetCurrentProcessId()) + ".reg";
    ::DeleteFileA(name.c_str());
    return name;
}

long long FileSize(const std::string& name)
{
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(name.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

struct Counts {
    long long keys = 0;
    long long values = 0;
};

Counts CountTree(const Subtree& tree)
{
    Counts c;
    BareWalk(HKEY_CURRENT_USER, tree.path.c_str(), c.keys, c.values);
    return c;
}

void Report(const char* what, double seconds, double floor, const std::string& note = {})
{
    std::printf("%-34s %9.3f s  %8.1f x walk  %s\n", what, seconds, floor > 0 ? seconds / floor : 0.0, note.c_str());
}

} // namespace

int main(int argc, char** argv)
{
    const int keyCount = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int valueCount = argc > 2 ? std::atoi(argv[2]) : 100000;
    Check(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)), "CoInitializeEx");
    {
        ComPtr<IRegistry> registry = LoadRegistry();
        Subtree tree;
        double generate = Seconds([&] { tree = Generate(keyCount, valueCount); });
        const std::wstring full = L"\\HKEY_CURRENT_USER\\" + com::Widen(tree.path);
        const com::Bstr key(full);
        std::printf("subtree HKEY_CURRENT_USER\\%s: %d keys, %d values (generated in %.3f s)\n\n", tree.path.c_str(),
                    tree.keys, tree.values, generate);

        Counts counted;
        double walk = Seconds([&] { counted = CountTree(tree); });
        Report("bare walk (RegEnumKeyExA/ValueA)", walk, walk,
               std::to_string(counted.keys) + " keys, " + std::to_string(counted.values) + " values");

        const std::string exported = TempName("export");
        double exportTime = Seconds(
            [&] { CheckHr(registry->Export(com::Bstr::FromAnsi(exported).get(), key.get(), VARIANT_TRUE), "Export"); });
        Report("rovane Export", exportTime, walk, std::to_string(FileSize(exported)) + " bytes");

        ComPtr<IConnectionPointContainer> container;
        CheckHr(registry.As(&container), "connection points");
        ComPtr<IConnectionPoint> point;
        CheckHr(container->FindConnectionPoint(IID_IRegistryEvents, &point), "IRegistryEvents");
        ComPtr<CountingSink> sink = com::Make<CountingSink>();
        DWORD cookie = 0;
        CheckHr(point->Advise(static_cast<IDispatch*>(sink.Get()), &cookie), "Advise");
        double findNone = Seconds([&] {
            CheckHr(registry->Find(com::Variant(L"no such text anywhere"), key.get(), VARIANT_TRUE, foAll), "Find");
        });
        Report("rovane Find, no hits", findNone, walk, std::to_string(sink->hits) + " hits");
        sink->hits = 0;
        double findMany =
            Seconds([&] { CheckHr(registry->Find(com::Variant(L"VAL"), key.get(), VARIANT_TRUE, foValues), "Find"); });
        Report("rovane Find, every value name", findMany, walk, std::to_string(sink->hits) + " hits");
        point->Unadvise(cookie);

        ::RegDeleteTreeA(HKEY_CURRENT_USER, tree.path.c_str());
        double importTime = Seconds([&] { CheckHr(registry->Import(com::Bstr::FromAnsi(exported).get()), "Import"); });
        Counts imported = CountTree(tree);
        Report("rovane Import", importTime, walk,
               std::to_string(imported.keys) + " keys, " + std::to_string(imported.values) + " values back");

        const std::string edited = TempName("regedit");
        double regeditExport =
            Seconds([&] { RunRegedit("/e \"" + edited + "\" \"HKEY_CURRENT_USER\\" + tree.path + "\""); });
        Report("regedit /e", regeditExport, walk, std::to_string(FileSize(edited)) + " bytes");
        ::RegDeleteTreeA(HKEY_CURRENT_USER, tree.path.c_str());
        double regeditImport = Seconds([&] { RunRegedit("/s \"" + edited + "\""); });
        Counts restored = CountTree(tree);
        Report("regedit /s", regeditImport, walk,
               std::to_string(restored.keys) + " keys, " + std::to_string(restored.values) + " values back");

        ::RegDeleteTreeA(HKEY_CURRENT_USER, tree.path.c_str());
        ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\corvane-bench");
        ::DeleteFileA(exported.c_str());
        ::DeleteFileA(edited.c_str());
    }
    ::CoUninitialize();
    return 0;
}
