// The module that this code is linked into (a DLL or a program): its
// instance handle, its path, its COM object and lock counts, and its own
// embedded type library.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

#include "com/ComRaii.h"

namespace com {

class Module {
  public:
    // Instance handle of the image this code is linked into.
    static HINSTANCE Instance() noexcept;
    // Full path of that image.
    static std::wstring Path();
    // Its directory, always ending in a backslash.
    static std::wstring Directory();

    // Live COM objects and server locks, for DllCanUnloadNow.
    static void ObjectCreated() noexcept;
    static void ObjectDestroyed() noexcept;
    static void Lock(bool lock) noexcept;
    static long ObjectCount() noexcept;
    static bool CanUnload() noexcept;

    // The module's own type library: resource 1 TYPELIB.
    static HRESULT TypeLib(ITypeLib** lib) noexcept;
    // Type information for an interface, from any type library embedded in
    // the module (a program may embed several: 1 TYPELIB, 2 TYPELIB, ...).
    static HRESULT TypeInfo(REFGUID guid, ITypeInfo** info) noexcept;
};

} // namespace com
