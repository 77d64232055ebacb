#include "RegistryKey.h"

#include "KeyPath.h"
#include "Registry.h"
#include "RegistryKeys.h"
#include "RegistryValues.h"

RegistryKey::RegistryKey(com::ComPtr<Registry> registry, std::wstring path, com::UniqueHKey key)
    : m_registry(std::move(registry)), m_path(std::move(path)), m_key(std::move(key))
{
}

HRESULT RegistryKey::get_hKey(LONG* phKey) noexcept
{
    return Run([&] {
        if (!phKey)
            return E_POINTER;
        // The automation type is 32 bits wide; registry handles fit in it.
        *phKey = static_cast<LONG>(reinterpret_cast<intptr_t>(m_key.get()));
        return S_OK;
    });
}

HRESULT RegistryKey::get_Keys(IRegistryKeys** ppKeys) noexcept
{
    return Run([&] {
        if (!ppKeys)
            return E_POINTER;
        return com::Out(ppKeys,
                        com::Make<RegistryKeys>(m_registry, static_cast<IRegistryKey*>(this), m_path, m_key.get()));
    });
}

HRESULT RegistryKey::get_Name(BSTR* pName) noexcept
{
    return Run([&] {
        if (!pName)
            return E_POINTER;
        *pName = com::Bstr(reg::GetKeyFoot(m_path)).release();
        return S_OK;
    });
}

HRESULT RegistryKey::get_Values(IRegistryValues** ppValues) noexcept
{
    return Run([&] {
        if (!ppValues)
            return E_POINTER;
        return com::Out(ppValues, com::Make<RegistryValues>(static_cast<IRegistryKey*>(this), m_key.get()));
    });
}
