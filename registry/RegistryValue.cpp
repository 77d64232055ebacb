#include "RegistryValue.h"

#include "DataConversion.h"

RegistryValue::RegistryValue(com::ComPtr<IUnknown> owner, HKEY key, std::string name, reg::RawValue value)
    : m_owner(std::move(owner)), m_key(key), m_name(std::move(name)), m_value(std::move(value))
{
}

HRESULT RegistryValue::get_Data(DataTypeConstants Type, VARIANT* pData) noexcept
{
    if (pData)
        ::VariantInit(pData);
    return Run([&] {
        if (!pData)
            return E_POINTER;
        *pData = reg::DataAs(m_value.type, m_value.bytes, Type).Detach();
        return S_OK;
    });
}

HRESULT RegistryValue::put_Data(DataTypeConstants Type, VARIANT NewData) noexcept
{
    return Run([&] {
        // The object keeps the new data even when the write fails.
        m_value = reg::LetData(NewData, Type);
        reg::WriteValue(m_key, m_name, m_value);
        return S_OK;
    });
}

HRESULT RegistryValue::get_Length(LONG* pLength) noexcept
{
    return Run([&] {
        if (!pLength)
            return E_POINTER;
        *pLength = static_cast<LONG>(m_value.bytes.size());
        return S_OK;
    });
}

HRESULT RegistryValue::get_hKey(LONG* phKey) noexcept
{
    return Run([&] {
        if (!phKey)
            return E_POINTER;
        *phKey = static_cast<LONG>(reinterpret_cast<intptr_t>(m_key));
        return S_OK;
    });
}

HRESULT RegistryValue::get_Name(BSTR* pName) noexcept
{
    return Run([&] {
        if (!pName)
            return E_POINTER;
        *pName = com::Bstr::FromAnsi(m_name).release();
        return S_OK;
    });
}

HRESULT RegistryValue::get_Type(DataTypeConstants* pType) noexcept
{
    return Run([&] {
        if (!pType)
            return E_POINTER;
        *pType = static_cast<DataTypeConstants>(m_value.type);
        return S_OK;
    });
}

HRESULT RegistryValue::get_DataRaw(VARIANT* pData) noexcept
{
    if (pData)
        ::VariantInit(pData);
    return Run([&] {
        if (!pData)
            return E_POINTER;
        *pData = reg::MakeByteArray(m_value.bytes).Detach();
        return S_OK;
    });
}
