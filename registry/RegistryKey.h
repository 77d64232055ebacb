// RegistryKey: one open key with its full path. The handle reads and, where
// the user may, writes (reg::KeyUse); it lives as long as the object, and
// collections and values made from it keep it alive by reference.
#pragma once

#include <string>

#include "RegistryObject.h"
#include "RovaneInterfaces.h"
#include "com/ComRaii.h"

class Registry;

class RegistryKey final : public reg::RegistryObject<RegistryKey, IRegistryKey, ISupportErrorInfo> {
  public:
    RegistryKey(com::ComPtr<Registry> registry, std::wstring path, com::UniqueHKey key);
    static const wchar_t* ErrorSource() noexcept { return L"RegistryKey.RegistryKey.1"; }

    HRESULT STDMETHODCALLTYPE get_hKey(LONG* phKey) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Keys(IRegistryKeys** ppKeys) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* pName) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Values(IRegistryValues** ppValues) noexcept override;

    // Keys and Values, which scripts index directly.
    bool IsCollectionProperty(DISPID id) noexcept { return id == 11 || id == 13; }
    const std::wstring& Path() const noexcept { return m_path; }
    HKEY Handle() const noexcept { return m_key.get(); }

  private:
    com::ComPtr<Registry> m_registry;
    std::wstring m_path;
    com::UniqueHKey m_key;
};
