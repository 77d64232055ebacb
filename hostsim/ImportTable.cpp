#include "ImportTable.h"

#include <cstring>

namespace outlooksim {

void ImportTable::ForEach(HMODULE module, const Visitor& visit)
{
    auto* base = reinterpret_cast<BYTE*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    if (!dir.VirtualAddress)
        return;
    for (auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); imp->Name; ++imp) {
        const auto* dll = reinterpret_cast<const char*>(base + imp->Name);
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(
            base + (imp->OriginalFirstThunk ? imp->OriginalFirstThunk : imp->FirstThunk));
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            visit(dll, reinterpret_cast<const char*>(byName->Name), reinterpret_cast<ULONG_PTR*>(&slots->u1.Function));
        }
    }
}

bool ImportTable::Replace(ULONG_PTR* slot, void* function) noexcept
{
    DWORD old = 0;
    if (!::VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old))
        return false;
    *slot = reinterpret_cast<ULONG_PTR>(function);
    ::VirtualProtect(slot, sizeof *slot, old, &old);
    return true;
}

bool ImportTable::Patch(HMODULE module, const char* dll, const char* name, void* wrapper)
{
    bool patched = false;
    ForEach(module, [&](const char* importDll, const char* importName, ULONG_PTR* slot) {
        if (!patched && ::lstrcmpiA(importDll, dll) == 0 && std::strcmp(importName, name) == 0)
            patched = Replace(slot, wrapper);
    });
    return patched;
}

} // namespace outlooksim
