#include "CRegistry.h"

#include <cmath>

#include "Guarded.h"

namespace {

com::Variant TextVariant(std::string_view text)
{
    com::Variant v;
    v.vt = VT_BSTR;
    v.bstrVal = com::Bstr::FromAnsi(text).release();
    return v;
}

} // namespace

CRegistry::CRegistry() noexcept
{
    CLSID clsid{};
    if (SUCCEEDED(::CLSIDFromProgID(L"rovane.Registry", &clsid)))
        ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IRegistry,
                           reinterpret_cast<void**>(m_Registry.GetAddressOf()));
}

CRegistry::~CRegistry()
{
    m_Key.Reset();
    m_Registry.Reset();
}

void CRegistry::CloseKey() noexcept { m_Key.Reset(); }

bool CRegistry::OpenKey(std::string_view sKey, bool bCanCreate) noexcept
{
    m_Key.Reset();
    if (!m_Registry)
        return false;
    return RunSkippedOr(false, [&] {
        com::ComPtr<IRegistryKeys> keys;
        if (FAILED(m_Registry->get_Keys(keys.GetAddressOf())) || !keys)
            return false;
        const com::Variant path = TextVariant(sKey);
        com::ComPtr<IRegistryKey> key;
        if (SUCCEEDED(keys->get_Item(path, key.GetAddressOf())) && key) {
            m_Key = key;
            return true;
        }
        if (!bCanCreate)
            return false;
        key.Reset();
        const com::Bstr name = com::Bstr::FromAnsi(sKey);
        if (FAILED(keys->Add(name.get(), aoREG_OPTION_NON_VOLATILE, key.GetAddressOf())) || !key)
            return false;
        m_Key = key;
        return true;
    });
}

com::ComPtr<IRegistryValue> CRegistry::FindValue(std::string_view sName) noexcept
{
    com::ComPtr<IRegistryValue> value;
    if (!m_Key)
        return value;
    RunSkippedOr(false, [&] {
        com::ComPtr<IRegistryValues> values;
        if (FAILED(m_Key->get_Values(values.GetAddressOf())) || !values)
            return false;
        const com::Variant name = TextVariant(sName);
        if (FAILED(values->get_Item(name, value.GetAddressOf())))
            value.Reset();
        return true;
    });
    return value;
}

bool CRegistry::ReadData(std::string_view sName, DataTypeConstants type, com::Variant& data) noexcept
{
    com::ComPtr<IRegistryValue> value = FindValue(sName);
    if (!value)
        return false;
    data.Clear();
    return SUCCEEDED(value->get_Data(type, &data));
}

long CRegistry::ReadDWORD(std::string_view sName, long lDefault) noexcept
{
    if (!FindValue(sName))
        return lDefault;
    com::Variant data;
    if (!ReadData(sName, dtEmpty, data))
        return 0;
    com::Variant number;
    if (FAILED(::VariantChangeType(&number, &data, 0, VT_I4)))
        return 0;
    return number.lVal;
}

bool CRegistry::ReadDate(std::string_view sName, DATE& dResult) noexcept
{
    com::Variant data;
    if (!ReadData(sName, dtDate, data))
        return false;
    com::Variant date;
    if (FAILED(::VariantChangeType(&date, &data, 0, VT_DATE)) || !std::isfinite(date.date))
        return false;
    // Automation dates run from 1 January 100 to 31 December 9999.
    if (date.date < -657434.0 || date.date >= 2958466.0)
        return false;
    dResult = date.date;
    return true;
}

bool CRegistry::ReadNumber(std::string_view sName, long& lResult) noexcept
{
    com::Variant data;
    if (!ReadData(sName, dtEmpty, data))
        return false;
    com::Variant number;
    if (FAILED(::VariantChangeType(&number, &data, 0, VT_I4)))
        return false;
    lResult = number.lVal;
    return true;
}

std::string CRegistry::ReadString(std::string_view sName, std::string_view sDefault) noexcept
{
    // Without memory for the text, the value reads as "".
    std::string sResult;
    RunSkipped([&] {
        if (!FindValue(sName)) {
            sResult = sDefault;
            return;
        }
        com::Variant data;
        if (!ReadData(sName, dtEmpty, data) || FAILED(::VariantChangeType(&data, &data, 0, VT_BSTR)))
            return;
        sResult = com::Narrow(std::wstring_view(data.bstrVal ? data.bstrVal : L"", ::SysStringLen(data.bstrVal)));
    });
    return sResult;
}

bool CRegistry::Write(std::string_view sName, const VARIANT& vData, DataTypeConstants createType,
                      bool bCanCreate) noexcept
{
    if (!m_Key)
        return false;
    if (com::ComPtr<IRegistryValue> value = FindValue(sName))
        // Reported as it is: a value the library refused is not written.
        return SUCCEEDED(value->put_Data(dtEmpty, vData));
    if (!bCanCreate)
        return false;
    return RunSkippedOr(false, [&] {
        com::ComPtr<IRegistryValues> values;
        if (FAILED(m_Key->get_Values(values.GetAddressOf())) || !values)
            return false;
        const com::Bstr name = com::Bstr::FromAnsi(sName);
        com::ComPtr<IRegistryValue> created;
        return SUCCEEDED(values->Add(name.get(), vData, createType, created.GetAddressOf())) && created;
    });
}

bool CRegistry::WriteDWORD(std::string_view sName, long lValue, bool bCanCreate) noexcept
{
    return Write(sName, com::Variant(lValue), dtREG_DWORD, bCanCreate);
}

bool CRegistry::WriteBinary(std::string_view sName, const VARIANT& vValue, bool bCanCreate) noexcept
{
    return Write(sName, vValue, dtREG_BINARY, bCanCreate);
}

bool CRegistry::WriteString(std::string_view sName, std::string_view sValue, bool bCanCreate) noexcept
{
    return RunSkippedOr(false, [&] { return Write(sName, TextVariant(sValue), dtREG_SZ, bCanCreate); });
}
