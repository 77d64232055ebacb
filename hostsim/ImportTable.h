// The import address table of a loaded module: the slots through which its
// code calls the functions of other libraries, and replacing what a slot
// holds, so that the host can put a wrapper between a library and the
// system without changing the library.
#pragma once

#include <windows.h>

#include <functional>

namespace outlooksim {

class ImportTable {
  public:
    // Each function the module imports by name: the library's name as the
    // import table spells it, the function's name, and its slot.
    using Visitor = std::function<void(const char* dll, const char* name, ULONG_PTR* slot)>;
    static void ForEach(HMODULE module, const Visitor& visit);
    // Puts function into the slot; false if its page cannot be written.
    static bool Replace(ULONG_PTR* slot, void* function) noexcept;
    // Replaces the module's import of dll!name by wrapper; false if the
    // module does not import it.
    static bool Patch(HMODULE module, const char* dll, const char* name, void* wrapper);
};

} // namespace outlooksim
