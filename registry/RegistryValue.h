// RegistryValue: a snapshot of one value (name, registry type, bytes) taken
// when the object was made; only its own Data assignment changes it.
#pragma once

#include <string>

#include "KeyAccess.h"
#include "RegistryObject.h"
#include "RovaneInterfaces.h"

class RegistryValue final : public reg::RegistryObject<RegistryValue, IRegistryValue, ISupportErrorInfo> {
  public:
    // owner keeps the key handle alive.
    RegistryValue(com::ComPtr<IUnknown> owner, HKEY key, std::string name, reg::RawValue value);
    static const wchar_t* ErrorSource() noexcept { return L"RegistryValue.RegistryValue.1"; }

    HRESULT STDMETHODCALLTYPE get_Data(DataTypeConstants Type, VARIANT* pData) noexcept override;
    HRESULT STDMETHODCALLTYPE put_Data(DataTypeConstants Type, VARIANT NewData) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Length(LONG* pLength) noexcept override;
    HRESULT STDMETHODCALLTYPE get_hKey(LONG* phKey) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* pName) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Type(DataTypeConstants* pType) noexcept override;
    HRESULT STDMETHODCALLTYPE get_DataRaw(VARIANT* pData) noexcept override;

    const reg::RawValue& Raw() const noexcept { return m_value; }

  private:
    com::ComPtr<IUnknown> m_owner;
    HKEY m_key;
    std::string m_name;
    reg::RawValue m_value;
};
