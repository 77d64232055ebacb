// The classes of rovane.dll: every one is registered, clients create Registry.
#include "Registry.h"
#include "RegistryKey.h"
#include "RegistryKeys.h"
#include "RegistryValue.h"
#include "RegistryValues.h"
#include "com/ComServer.h"

namespace {

// The object classes other than Registry are handed out by the object model;
// created on their own, they stand for nothing and are refused.
HRESULT NotCreatable(REFIID, void** ppv) noexcept
{
    if (ppv)
        *ppv = nullptr;
    return CLASS_E_CLASSNOTAVAILABLE;
}

} // namespace

namespace com {

std::span<const ComClass> ServerClasses()
{
    static const ComClass classes[] = {
        {&CLSID_Registry, L"Registry.Registry.1", L"rovane.Registry", L"Registry Class", &CreateInstance<Registry>},
        {&CLSID_RegistryKeys, L"RegistryKeys.RegistryKeys.1", L"rovane.RegistryKeys", L"RegistryKeys Class",
         &NotCreatable},
        {&CLSID_RegistryKey, L"RegistryKey.RegistryKey.1", L"rovane.RegistryKey", L"RegistryKey Class", &NotCreatable},
        {&CLSID_RegistryValues, L"RegistryValues.RegistryValues.1", L"rovane.RegistryValues", L"RegistryValues Class",
         &NotCreatable},
        {&CLSID_RegistryValue, L"RegistryValue.RegistryValue.1", L"rovane.RegistryValue", L"RegistryValue Class",
         &NotCreatable},
    };
    return classes;
}

} // namespace com
