// rovane_bench: how rovane's Export, Find and Import compare with the bare
// registry API on the same subtree, and with the registry editor's own /e
// and /s. Reading is measured against a bare walk (RegEnumKeyExA /
// RegEnumValueA reading every value: the floor), writing against the same
// keys and values written by plain RegCreateKeyExA / RegSetValueExA calls.
// Every figure is the minimum and the median of several rounds, the order
// of the compared operations alternated between rounds (see Measure.h).
//
// Run it (from the build folder, where rovane.dll lies next to it):
//   build/wine-run.sh build/bin/rovane_bench.exe [keys] [values] [rounds]
// Defaults: 20000 keys and 100000 values of mixed types, 5 rounds, generated
// under HKEY_CURRENT_USER\Software\corvane-bench\<process id>, deleted at
// the end. rovane.dll is loaded from the program's folder; it need not be
// registered.
#include <windows.h>
#include <ocidl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Measure.h"
#include "RovaneInterfaces.h"
#include "SubtreeCopy.h"
#include "com/ComObject.h"
#include "com/ComRaii.h"

using com::ComPtr;

namespace {

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
class CountingSink final : public com::ComObject<CountingSink, IDispatch> {
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
    com::UniqueHandle thread(process.hThread), child(process.hProcess);
    ::WaitForSingleObject(child.get(), INFINITE);
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

std::string CountsNote(const Counts& c, const char* what)
{
    return std::to_string(c.keys) + " keys, " + std::to_string(c.values) + " values" + what;
}

// The floor of an import: each key created from the root, as an import
// file names it, and its values set.
void PlainWrite(const std::vector<SubtreeKey>& keys)
{
    for (const SubtreeKey& stored : keys) {
        com::UniqueHKey key;
        Check(::RegCreateKeyExA(HKEY_CURRENT_USER, stored.path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                key.put(), nullptr) == ERROR_SUCCESS,
              "RegCreateKeyExA");
        for (const SubtreeValue& value : stored.values)
            SetValue(key.get(), value.name, value.type, value.data.data(), value.data.size());
    }
}

} // namespace

int main(int argc, char** argv)
{
    const int keyCount = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int valueCount = argc > 2 ? std::atoi(argv[2]) : 100000;
    const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 5;
    Check(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)), "CoInitializeEx");
    {
        ComPtr<IRegistry> registry = LoadRegistry();
        Subtree tree;
        const double generateStart = bench::Now();
        tree = Generate(keyCount, valueCount);
        const double generate = bench::Now() - generateStart;
        const std::wstring full = L"\\HKEY_CURRENT_USER\\" + com::Widen(tree.path);
        const com::Bstr key(full);
        const Counts expected = CountTree(tree);
        std::printf("subtree HKEY_CURRENT_USER\\%s: %d keys, %d values (generated in %.3f s)\n", tree.path.c_str(),
                    tree.keys, tree.values, generate);
        std::printf("%d rounds, the order alternated between rounds; seconds, and ratios to the first line\n\n",
                    rounds);

        const std::string exported = TempName("export");
        const std::string edited = TempName("regedit");
        ComPtr<IConnectionPointContainer> container;
        CheckHr(registry.As(&container), "connection points");
        ComPtr<IConnectionPoint> point;
        CheckHr(container->FindConnectionPoint(IID_IRegistryEvents, &point), "IRegistryEvents");
        ComPtr<CountingSink> sink = com::Make<CountingSink>();
        DWORD cookie = 0;
        CheckHr(point->Advise(static_cast<IDispatch*>(sink.Get()), &cookie), "Advise");
        auto hits = [&] { return std::to_string(sink->hits) + " hits"; };
        auto resetHits = [&] { sink->hits = 0; };

        Counts walked;
        const std::vector<bench::Operation> reading = {
            {"bare walk (RegEnumKeyExA/ValueA)", [&] { walked = CountTree(tree); }, [&] { walked = {}; },
             [&] { return CountsNote(walked, ""); }},
            {"rovane Export",
             [&] { CheckHr(registry->Export(com::Bstr::FromAnsi(exported).get(), key.get(), VARIANT_TRUE), "Export"); },
             [&] { ::DeleteFileA(exported.c_str()); }, [&] { return std::to_string(FileSize(exported)) + " bytes"; }},
            {"rovane Find, no hits",
             [&] {
                 CheckHr(registry->Find(com::Variant(L"no such text anywhere"), key.get(), VARIANT_TRUE, foAll),
                         "Find");
             },
             resetHits, hits},
            {"rovane Find, every value name",
             [&] { CheckHr(registry->Find(com::Variant(L"VAL"), key.get(), VARIANT_TRUE, foValues), "Find"); },
             resetHits, hits},
            {"regedit /e", [&] { RunRegedit("/e \"" + edited + "\" \"HKEY_CURRENT_USER\\" + tree.path + "\""); },
             [&] { ::DeleteFileA(edited.c_str()); }, [&] { return std::to_string(FileSize(edited)) + " bytes"; }},
        };
        std::printf("reading the subtree\n");
        bench::PrintTable(bench::Measure(reading, rounds), 1.0, "s");
        point->Unadvise(cookie);

        // Each import starts from a registry without the subtree, and must
        // bring back every key and value.
        std::vector<SubtreeKey> keys;
        Check(ReadSubtree(tree.path, keys), "reading the subtree");
        auto remove = [&] { ::RegDeleteTreeA(HKEY_CURRENT_USER, tree.path.c_str()); };
        auto restored = [&] {
            const Counts back = CountTree(tree);
            Check(back.keys == expected.keys && back.values == expected.values, "every key and value back");
            return CountsNote(back, " back");
        };
        const std::vector<bench::Operation> writing = {
            {"plain RegCreateKeyExA/RegSetValueExA", [&] { PlainWrite(keys); }, remove, restored},
            {"rovane Import", [&] { CheckHr(registry->Import(com::Bstr::FromAnsi(exported).get()), "Import"); }, remove,
             restored},
            {"regedit /s", [&] { RunRegedit("/s \"" + edited + "\""); }, remove, restored},
        };
        std::printf("\nwriting the subtree back\n");
        bench::PrintTable(bench::Measure(writing, rounds), 1.0, "s");

        remove();
        ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\corvane-bench");
        ::DeleteFileA(exported.c_str());
        ::DeleteFileA(edited.c_str());
    }
    ::CoUninitialize();
    return 0;
}
