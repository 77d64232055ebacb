#include "com/ComModule.h"
#include "com/ComServer.h"

// The exports of every in-process server (listed in each DLL's .def file).
extern "C" {

HRESULT __stdcall DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv)
{
    return com::GetClassObject(com::ServerClasses(), clsid, riid, ppv);
}

HRESULT __stdcall DllCanUnloadNow() { return com::Module::CanUnload() ? S_OK : S_FALSE; }

HRESULT __stdcall DllRegisterServer() { return com::RegisterServer(com::ServerClasses()); }

HRESULT __stdcall DllUnregisterServer() { return com::UnregisterServer(com::ServerClasses()); }
}
