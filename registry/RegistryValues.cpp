#include "RegistryValues.h"

#include "DataConversion.h"
#include "KeyAccess.h"
#include "KeyPath.h"
#include "RegistryValue.h"

namespace {

std::string AnsiText(BSTR value) { return com::Narrow(com::Text(value)); }

} // namespace

RegistryValues::RegistryValues(com::ComPtr<IUnknown> owner, HKEY key) : m_owner(std::move(owner)), m_key(key) {}

// InitValues: a string index is the name itself, a position the name of the
// value at that place in the registry's enumeration order ("" past the end,
// the default value).
std::string RegistryValues::ResolveName(const VARIANT& index)
{
    com::Variant plain;
    if (FAILED(plain.Copy(index)))
        reg::Raise(EInvalidIndex);
    switch (plain.vt) {
    case VT_BSTR:
        return AnsiText(plain.bstrVal);
    case VT_I2:
        return reg::ValueName(m_key, static_cast<DWORD>(plain.iVal - 1));
    case VT_I4:
        return reg::ValueName(m_key, static_cast<DWORD>(plain.lVal - 1));
    default:
        reg::Raise(EInvalidIndex);
    }
}

std::string RegistryValues::ResolveExisting(const VARIANT& index)
{
    com::Variant plain;
    if (FAILED(plain.Copy(index)))
        reg::Raise(EInvalidIndex);
    const long count = static_cast<long>(reg::QueryKeyInfo(m_key).values);
    if ((plain.vt == VT_I2 && (plain.iVal < 1 || plain.iVal > count)) ||
        (plain.vt == VT_I4 && (plain.lVal < 1 || plain.lVal > count)))
        reg::Raise(EInvalidIndex);
    return ResolveName(plain);
}

com::ComPtr<RegistryValue> RegistryValues::ItemOf(const VARIANT& index)
{
    std::string name = ResolveName(index);
    reg::RawValue value;
    LONG rc = reg::ReadValue(m_key, name, value);
    if (rc == ERROR_FILE_NOT_FOUND || rc == ERROR_NO_MORE_ITEMS)
        reg::Raise(EInvalidIndex);
    reg::CheckSystem(rc);
    return com::Make<RegistryValue>(m_owner, m_key, std::move(name), std::move(value));
}

com::ComPtr<RegistryValue> RegistryValues::AddValue(const std::string& name, const VARIANT& data, long type)
{
    // An omitted Data (a caller through the vtable) is the empty string, as in the type library.
    reg::RawValue value = reg::IsMissing(data) ? reg::LetData(com::Variant(L""), type) : reg::LetData(data, type);
    reg::WriteValue(m_key, name, value);
    return com::Make<RegistryValue>(m_owner, m_key, name, std::move(value));
}

com::ComPtr<RegistryValue> RegistryValues::CopyValue(const VARIANT& index, const std::string& target)
{
    com::ComPtr<RegistryValue> source = ItemOf(com::Variant(std::wstring_view(com::Widen(ResolveExisting(index)))));
    reg::WriteValue(m_key, target, source->Raw()); // byte for byte, type included
    return com::Make<RegistryValue>(m_owner, m_key, target, source->Raw());
}

void RegistryValues::RemoveValue(const VARIANT& index)
{
    reg::CheckSystem(::RegDeleteValueA(m_key, ResolveExisting(index).c_str()));
}

HRESULT RegistryValues::_NewEnum(IUnknown** ppEnum) noexcept
{
    return Run([&] {
        if (!ppEnum)
            return E_POINTER;
        auto e = com::Make<RegistryValues>(m_owner, m_key);
        e->m_cursor.Start(reg::QueryKeyInfo(m_key).values);
        *ppEnum = static_cast<IEnumVARIANT*>(e.Detach());
        return S_OK;
    });
}

HRESULT RegistryValues::Add(BSTR Value, VARIANT Data, DataTypeConstants Type, IRegistryValue** ppValue) noexcept
{
    return Run([&] {
        if (!ppValue)
            return E_POINTER;
        return com::Out(ppValue, AddValue(AnsiText(Value), Data, Type));
    });
}

HRESULT RegistryValues::Copy(VARIANT SourceIndex, BSTR TargetValue, IRegistryValue** ppValue) noexcept
{
    return Run([&] {
        if (!ppValue)
            return E_POINTER;
        return com::Out(ppValue, CopyValue(SourceIndex, AnsiText(TargetValue)));
    });
}

HRESULT RegistryValues::get_Count(LONG* pCount) noexcept
{
    return Run([&] {
        if (!pCount)
            return E_POINTER;
        *pCount = static_cast<LONG>(reg::QueryKeyInfo(m_key).values);
        return S_OK;
    });
}

HRESULT RegistryValues::get_Item(VARIANT Index, IRegistryValue** ppValue) noexcept
{
    return Run([&] {
        if (!ppValue)
            return E_POINTER;
        return com::Out(ppValue, ItemOf(Index));
    });
}

HRESULT RegistryValues::Move(VARIANT SourceIndex, BSTR TargetValue, IRegistryValue** ppValue) noexcept
{
    return Run([&] {
        if (!ppValue)
            return E_POINTER;
        // The source's name is fixed before the copy, which may shift positions.
        const std::string sourceName = ResolveExisting(SourceIndex);
        const std::string targetName = AnsiText(TargetValue);
        com::Variant source(std::wstring_view(com::Widen(sourceName)));
        // A value moved onto itself (the registry ignores letter case in
        // names) stays as it is; copying it and removing the source would lose it.
        if (reg::SameValueName(sourceName, targetName))
            return com::Out(ppValue, ItemOf(source));
        com::ComPtr<RegistryValue> copy = CopyValue(source, targetName);
        RemoveValue(source);
        return com::Out(ppValue, copy);
    });
}

HRESULT RegistryValues::Remove(VARIANT Index) noexcept
{
    return Run([&] {
        RemoveValue(Index);
        return S_OK;
    });
}

HRESULT RegistryValues::Next(ULONG celt, VARIANT* rgVar, ULONG* pCeltFetched) noexcept
{
    if (pCeltFetched)
        *pCeltFetched = 0;
    if (!rgVar)
        return E_POINTER;
    return Run([&] {
        return m_cursor.Next(celt, rgVar, pCeltFetched, [this](long position) {
            com::ComPtr<RegistryValue> value = ItemOf(com::Variant(position));
            return com::Variant(static_cast<IDispatch*>(static_cast<IRegistryValue*>(value.Get())));
        });
    });
}

HRESULT RegistryValues::Skip(ULONG celt) noexcept
{
    return Run([&] { return m_cursor.Skip(celt); });
}

HRESULT RegistryValues::Reset() noexcept
{
    return Run([&] { return m_cursor.Reset(); });
}

HRESULT RegistryValues::Clone(IEnumVARIANT** ppEnum) noexcept
{
    if (ppEnum)
        *ppEnum = nullptr;
    return Run([] { return E_NOTIMPL; });
}
