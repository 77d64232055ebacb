#include "com/ComModule.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <vector>

#include "com/ComError.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace com {

namespace {
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};
std::mutex g_typeLibMutex;
std::vector<ITypeLib*> g_typeLibs; // kept for the life of the module
ITypeLib* g_ownTypeLib = nullptr;  // resource 1, if the module has one
} // namespace

HINSTANCE Module::Instance() noexcept { return reinterpret_cast<HINSTANCE>(&__ImageBase); }

std::wstring Module::Path()
{
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = ::GetModuleFileNameW(Instance(), path.data(), static_cast<DWORD>(path.size()));
        if (n == 0)
            return {};
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::wstring Module::Directory()
{
    std::wstring path = Path();
    size_t slash = path.find_last_of(L"\\/");
    std::wstring dir = slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
    if (dir.empty() || dir.back() != L'\\')
        dir += L'\\';
    return dir;
}

void Module::ObjectCreated() noexcept { ++g_objects; }
void Module::ObjectDestroyed() noexcept { --g_objects; }
void Module::Lock(bool lock) noexcept { lock ? ++g_locks : --g_locks; }
long Module::ObjectCount() noexcept { return g_objects; }
bool Module::CanUnload() noexcept { return g_objects == 0 && g_locks == 0; }

namespace {

BOOL CALLBACK CollectTypeLib(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param)
{
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<WORD>*>(param)->push_back(static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)));
    return TRUE;
}

// Loads every type library embedded in the module, resource 1 first.
const std::vector<ITypeLib*>& TypeLibs()
{
    static bool loaded = false;
    if (!loaded) {
        loaded = true;
        std::vector<WORD> ids;
        ::EnumResourceNamesW(Module::Instance(), L"TYPELIB", CollectTypeLib, reinterpret_cast<LONG_PTR>(&ids));
        std::sort(ids.begin(), ids.end());
        const std::wstring path = Module::Path();
        for (WORD id : ids) {
            ITypeLib* lib = nullptr;
            std::wstring name = id == 1 ? path : path + L"\\" + std::to_wstring(id);
            if (SUCCEEDED(::LoadTypeLibEx(name.c_str(), REGKIND_NONE, &lib))) {
                g_typeLibs.push_back(lib);
                if (id == 1)
                    g_ownTypeLib = lib;
            }
        }
    }
    return g_typeLibs;
}

} // namespace

HRESULT Module::TypeLib(ITypeLib** lib) noexcept
{
    if (!lib)
        return E_POINTER;
    *lib = nullptr;
    return CatchReturn([&]() -> HRESULT {
        std::lock_guard guard(g_typeLibMutex);
        TypeLibs();
        if (!g_ownTypeLib)
            return TYPE_E_CANTLOADLIBRARY;
        g_ownTypeLib->AddRef();
        *lib = g_ownTypeLib;
        return S_OK;
    });
}

HRESULT Module::TypeInfo(REFGUID guid, ITypeInfo** info) noexcept
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    return CatchReturn([&]() -> HRESULT {
        std::lock_guard guard(g_typeLibMutex);
        for (ITypeLib* lib : TypeLibs())
            if (SUCCEEDED(lib->GetTypeInfoOfGuid(guid, info)))
                return S_OK;
        return TYPE_E_ELEMENTNOTFOUND;
    });
}

} // namespace com
