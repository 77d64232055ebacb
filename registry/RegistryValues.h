// RegistryValues: the values of one key, indexed by name or 1-based
// position. A collection made by _NewEnum serves as its own enumerator over a
// count taken when it was made.
#pragma once

#include <string>

#include "EnumCursor.h"
#include "RegistryObject.h"
#include "RovaneInterfaces.h"

class RegistryValue;

class RegistryValues final
    : public reg::RegistryObject<RegistryValues, IRegistryValues, IEnumVARIANT, ISupportErrorInfo> {
  public:
    // owner keeps the key handle alive.
    RegistryValues(com::ComPtr<IUnknown> owner, HKEY key);
    static const wchar_t* ErrorSource() noexcept { return L"RegistryValues.RegistryValues.1"; }

    // IRegistryValues
    HRESULT STDMETHODCALLTYPE _NewEnum(IUnknown** ppEnum) noexcept override;
    HRESULT STDMETHODCALLTYPE Add(BSTR Value, VARIANT Data, DataTypeConstants Type,
                                  IRegistryValue** ppValue) noexcept override;
    HRESULT STDMETHODCALLTYPE Copy(VARIANT SourceIndex, BSTR TargetValue, IRegistryValue** ppValue) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Count(LONG* pCount) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Item(VARIANT Index, IRegistryValue** ppValue) noexcept override;
    HRESULT STDMETHODCALLTYPE Move(VARIANT SourceIndex, BSTR TargetValue, IRegistryValue** ppValue) noexcept override;
    HRESULT STDMETHODCALLTYPE Remove(VARIANT Index) noexcept override;

    // IEnumVARIANT
    HRESULT STDMETHODCALLTYPE Next(ULONG celt, VARIANT* rgVar, ULONG* pCeltFetched) noexcept override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG celt) noexcept override;
    HRESULT STDMETHODCALLTYPE Reset() noexcept override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** ppEnum) noexcept override;

    // The operations behind the interface, for the Registry's value operations.
    com::ComPtr<RegistryValue> ItemOf(const VARIANT& index);
    com::ComPtr<RegistryValue> AddValue(const std::string& name, const VARIANT& data, long type);
    com::ComPtr<RegistryValue> CopyValue(const VARIANT& index, const std::string& target);
    void RemoveValue(const VARIANT& index);

  private:
    std::string ResolveName(const VARIANT& index);
    // ResolveName for Remove, Move and Copy: a position outside 1 to Count
    // names no value and raises EInvalidIndex (Item reads the position one
    // past the end as the default value; these must never reach it).
    std::string ResolveExisting(const VARIANT& index);

    com::ComPtr<IUnknown> m_owner;
    HKEY m_key;
    reg::EnumCursor m_cursor;
};
