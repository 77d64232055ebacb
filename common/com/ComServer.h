// One in-process COM server per DLL: the table of its creatable classes
// drives the class factory, DllGetClassObject, DllCanUnloadNow and
// (un)registration. Each DLL defines ServerClasses() and ServerTypeLib().
#pragma once

#include <windows.h>

#include <span>

namespace com {

// What an ActiveX control registers besides a plain class: the "Control"
// key, its OLEMISC status bits and the version of its type library.
struct ControlRegistration {
    DWORD miscStatus;       // OLEMISC_* for every aspect
    const wchar_t* version; // "1.0"
};

struct ComClass {
    const CLSID* clsid;
    const wchar_t* progId;                   // registered ProgID (the versioned one where there are two)
    const wchar_t* versionIndependentProgId; // or nullptr
    const wchar_t* description;              // default value of the class key
    HRESULT (*create)(REFIID riid, void** ppv);
    const ControlRegistration* control = nullptr; // only for ActiveX controls
};

// Provided by each DLL.
std::span<const ComClass> ServerClasses();

// Registration of the classes above and of the module's own type library.
HRESULT RegisterServer(std::span<const ComClass> classes) noexcept;
HRESULT UnregisterServer(std::span<const ComClass> classes) noexcept;

// The class factory of one class.
HRESULT GetClassObject(std::span<const ComClass> classes, REFCLSID clsid, REFIID riid, void** ppv) noexcept;

} // namespace com
