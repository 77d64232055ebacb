#include "com/ComModule.h"

#include <atomic>
#include <mutex>

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace com {

namespace {
std::atomic<long> g_objects{0};
std::atomic<long> g_locks{0};
std::mutex g_typeLibMutex;
ITypeLib* g_typeLib = nullptr; // kept for the life of the module
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

HRESULT Module::TypeLib(ITypeLib** lib) noexcept
{
    if (!lib)
        return E_POINTER;
    *lib = nullptr;
    std::lock_guard guard(g_typeLibMutex);
    if (!g_typeLib) {
        HRESULT hr = ::LoadTypeLibEx(Path().c_str(), REGKIND_NONE, &g_typeLib);
        if (FAILED(hr))
            return hr;
    }
    g_typeLib->AddRef();
    *lib = g_typeLib;
    return S_OK;
}

HRESULT Module::TypeInfo(REFGUID guid, ITypeInfo** info) noexcept
{
    if (!info)
        return E_POINTER;
    *info = nullptr;
    ComPtr<ITypeLib> lib;
    HRESULT hr = TypeLib(&lib);
    if (FAILED(hr))
        return hr;
    return lib->GetTypeInfoOfGuid(guid, info);
}

} // namespace com
