#include "AllocationFaults.h"

#include <objbase.h>
#include <oleauto.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <cwchar>
#include <iterator>

#include "ImportTable.h"

namespace outlooksim {

namespace {

std::atomic<bool> g_counting{false};
std::atomic<unsigned long> g_count{0};
std::atomic<unsigned long> g_failAt{0};
std::atomic<const char*> g_failed{nullptr};
constexpr USHORT kStackDepth = 24;
void* g_failedStack[kStackDepth] = {};
USHORT g_failedDepth = 0;

// Counts one allocation; true if it is the one that fails.
__attribute__((noinline)) bool Fails(const char* function) noexcept
{
    if (!g_counting.load())
        return false;
    if (++g_count != g_failAt.load())
        return false;
    g_failed = function;
    g_failedDepth = ::RtlCaptureStackBackTrace(1, kStackDepth, g_failedStack, nullptr);
    return true;
}

// The real functions, as the first routed slot held them.
decltype(&::malloc) g_malloc = nullptr;
decltype(&::calloc) g_calloc = nullptr;
decltype(&::realloc) g_realloc = nullptr;
decltype(&::_strdup) g_strdup = nullptr;
decltype(&::_wcsdup) g_wcsdup = nullptr;
decltype(&::HeapAlloc) g_heapAlloc = nullptr;
decltype(&::HeapReAlloc) g_heapReAlloc = nullptr;
decltype(&::SysAllocString) g_sysAllocString = nullptr;
decltype(&::SysAllocStringLen) g_sysAllocStringLen = nullptr;
decltype(&::SysAllocStringByteLen) g_sysAllocStringByteLen = nullptr;
decltype(&::SysReAllocString) g_sysReAllocString = nullptr;
decltype(&::SysReAllocStringLen) g_sysReAllocStringLen = nullptr;
decltype(&::CoTaskMemAlloc) g_coTaskMemAlloc = nullptr;
decltype(&::CoTaskMemRealloc) g_coTaskMemRealloc = nullptr;

void* __cdecl FaultMalloc(size_t size) { return Fails("malloc") ? nullptr : g_malloc(size); }
void* __cdecl FaultCalloc(size_t count, size_t size) { return Fails("calloc") ? nullptr : g_calloc(count, size); }
// realloc to size 0 frees, which cannot fail.
void* __cdecl FaultRealloc(void* block, size_t size)
{
    return size && Fails("realloc") ? nullptr : g_realloc(block, size);
}
char* __cdecl FaultStrdup(const char* text) { return text && Fails("_strdup") ? nullptr : g_strdup(text); }
wchar_t* __cdecl FaultWcsdup(const wchar_t* text) { return text && Fails("_wcsdup") ? nullptr : g_wcsdup(text); }
LPVOID WINAPI FaultHeapAlloc(HANDLE heap, DWORD flags, SIZE_T size)
{
    return Fails("HeapAlloc") ? nullptr : g_heapAlloc(heap, flags, size);
}
LPVOID WINAPI FaultHeapReAlloc(HANDLE heap, DWORD flags, LPVOID block, SIZE_T size)
{
    return Fails("HeapReAlloc") ? nullptr : g_heapReAlloc(heap, flags, block, size);
}
// SysAllocString of null allocates nothing.
BSTR WINAPI FaultSysAllocString(const OLECHAR* text)
{
    return text && Fails("SysAllocString") ? nullptr : g_sysAllocString(text);
}
BSTR WINAPI FaultSysAllocStringLen(const OLECHAR* text, UINT length)
{
    return Fails("SysAllocStringLen") ? nullptr : g_sysAllocStringLen(text, length);
}
BSTR WINAPI FaultSysAllocStringByteLen(LPCSTR text, UINT length)
{
    return Fails("SysAllocStringByteLen") ? nullptr : g_sysAllocStringByteLen(text, length);
}
INT WINAPI FaultSysReAllocString(BSTR* string, const OLECHAR* text)
{
    return Fails("SysReAllocString") ? FALSE : g_sysReAllocString(string, text);
}
INT WINAPI FaultSysReAllocStringLen(BSTR* string, const OLECHAR* text, UINT length)
{
    return Fails("SysReAllocStringLen") ? FALSE : g_sysReAllocStringLen(string, text, length);
}
LPVOID WINAPI FaultCoTaskMemAlloc(SIZE_T size) { return Fails("CoTaskMemAlloc") ? nullptr : g_coTaskMemAlloc(size); }
LPVOID WINAPI FaultCoTaskMemRealloc(LPVOID block, SIZE_T size)
{
    return size && Fails("CoTaskMemRealloc") ? nullptr : g_coTaskMemRealloc(block, size);
}

struct Route {
    const char* name;
    void** real;
    void* wrapper;
};

template <typename F>
Route MakeRoute(const char* name, F* real, F wrapper)
{
    return {name, reinterpret_cast<void**>(real), reinterpret_cast<void*>(wrapper)};
}

// By function name: the C runtime's names are the same in msvcrt.dll and
// in the universal runtime's api-ms-win-crt-heap library.
const Route* Routes()
{
    static const Route routes[] = {
        MakeRoute("malloc", &g_malloc, &FaultMalloc),
        MakeRoute("calloc", &g_calloc, &FaultCalloc),
        MakeRoute("realloc", &g_realloc, &FaultRealloc),
        MakeRoute("_strdup", &g_strdup, &FaultStrdup),
        MakeRoute("strdup", &g_strdup, &FaultStrdup),
        MakeRoute("_wcsdup", &g_wcsdup, &FaultWcsdup),
        MakeRoute("HeapAlloc", &g_heapAlloc, &FaultHeapAlloc),
        MakeRoute("HeapReAlloc", &g_heapReAlloc, &FaultHeapReAlloc),
        MakeRoute("SysAllocString", &g_sysAllocString, &FaultSysAllocString),
        MakeRoute("SysAllocStringLen", &g_sysAllocStringLen, &FaultSysAllocStringLen),
        MakeRoute("SysAllocStringByteLen", &g_sysAllocStringByteLen, &FaultSysAllocStringByteLen),
        MakeRoute("SysReAllocString", &g_sysReAllocString, &FaultSysReAllocString),
        MakeRoute("SysReAllocStringLen", &g_sysReAllocStringLen, &FaultSysReAllocStringLen),
        MakeRoute("CoTaskMemAlloc", &g_coTaskMemAlloc, &FaultCoTaskMemAlloc),
        MakeRoute("CoTaskMemRealloc", &g_coTaskMemRealloc, &FaultCoTaskMemRealloc),
        {nullptr, nullptr, nullptr},
    };
    return routes;
}

} // namespace

int AllocationFaults::Attach(HMODULE module)
{
    int routed = 0;
    ImportTable::ForEach(module, [&](const char*, const char* name, ULONG_PTR* slot) {
        for (const Route* route = Routes(); route->name; ++route) {
            if (std::strcmp(route->name, name) != 0)
                continue;
            void* current = reinterpret_cast<void*>(*slot);
            if (current == route->wrapper)
                return ++routed, void(); // routed before
            // One real function per name: a library that took it from
            // another runtime than the first keeps calling it directly.
            if (*route->real && *route->real != current)
                return;
            *route->real = current;
            if (ImportTable::Replace(slot, route->wrapper))
                ++routed;
            return;
        }
    });
    return routed;
}

void AllocationFaults::Arm(unsigned long k) noexcept
{
    g_count = 0;
    g_failAt = k;
    g_failed = nullptr;
    g_failedDepth = 0;
    g_counting = true;
}

unsigned long AllocationFaults::Disarm() noexcept
{
    g_counting = false;
    return g_count.load();
}

bool AllocationFaults::Failed() noexcept { return g_failed.load() != nullptr; }

const char* AllocationFaults::FailedFunction() noexcept { return g_failed.load(); }

std::vector<void*> AllocationFaults::FailedStack()
{
    return std::vector<void*>(g_failedStack, g_failedStack + (Failed() ? g_failedDepth : 0));
}

std::wstring AllocationFaults::Where(const void* address)
{
    HMODULE module = nullptr;
    wchar_t text[64];
    if (!::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              static_cast<LPCWSTR>(address), &module)) {
        std::swprintf(text, std::size(text), L"%p", address);
        return text;
    }
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(module, path, MAX_PATH);
    const wchar_t* name = std::wcsrchr(path, L'\\');
    std::swprintf(text, std::size(text), L"+0x%llx",
                  static_cast<unsigned long long>(static_cast<const BYTE*>(address) - reinterpret_cast<BYTE*>(module)));
    return std::wstring(name ? name + 1 : path) + text;
}

} // namespace outlooksim
