// RegistryKeys: the subkeys of a key, or (with an empty path) the root keys
// of the Registry's table. Indexed by name, path or 1-based position. A
// collection made by _NewEnum serves as its own enumerator over a count
// taken when it was made.
#pragma once

#include <string>

#include "EnumCursor.h"
#include "KeyAccess.h"
#include "RegistryObject.h"
#include "RovaneInterfaces.h"

class Registry;
class RegistryKey;

class RegistryKeys final : public reg::RegistryObject<RegistryKeys, IRegistryKeys, IEnumVARIANT, ISupportErrorInfo> {
  public:
    // owner keeps the key handle alive (null for the top-level collection).
    RegistryKeys(com::ComPtr<Registry> registry, com::ComPtr<IUnknown> owner, std::wstring path, HKEY key);
    static const wchar_t* ErrorSource() noexcept { return L"RegistryKeys.RegistryKeys.1"; }

    // IRegistryKeys
    HRESULT STDMETHODCALLTYPE _NewEnum(IUnknown** ppEnum) noexcept override;
    HRESULT STDMETHODCALLTYPE Add(BSTR Key, AddOptionConstants Options, IRegistryKey** ppKey) noexcept override;
    HRESULT STDMETHODCALLTYPE Copy(VARIANT SourceIndex, BSTR TargetKey, VARIANT_BOOL SubKeys,
                                   IRegistryKey** ppKey) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Count(LONG* pCount) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Item(VARIANT Index, IRegistryKey** ppKey) noexcept override;
    HRESULT STDMETHODCALLTYPE Move(VARIANT SourceIndex, BSTR TargetKey, IRegistryKey** ppKey) noexcept override;
    HRESULT STDMETHODCALLTYPE Remove(VARIANT Index) noexcept override;

    // IEnumVARIANT
    HRESULT STDMETHODCALLTYPE Next(ULONG celt, VARIANT* rgVar, ULONG* pCeltFetched) noexcept override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG celt) noexcept override;
    HRESULT STDMETHODCALLTYPE Reset() noexcept override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** ppEnum) noexcept override;

    // The operations behind the interface, for the Registry's value operations.
    // A key handed out to a client is opened for KeyUse::Update: the client
    // may write through it.
    com::ComPtr<RegistryKey> ItemOf(const VARIANT& index, reg::KeyUse use);
    com::ComPtr<RegistryKey> AddKey(const std::wstring& key);

  private:
    bool IsTopLevel() const noexcept { return m_path.empty(); }
    std::wstring Resolve(const VARIANT& index);
    // Resolve for Remove, Move and Copy: a position outside 1 to Count and
    // an empty name name no subkey and raise EInvalidIndex (Item reads the
    // position one past the end as the collection's own key; these must
    // never reach it).
    std::wstring ResolveSubKey(const VARIANT& index);
    long CountKeys();
    com::ComPtr<RegistryKey> OpenPath(const std::wstring& path, reg::KeyUse use);
    void RemovePath(const std::wstring& path);
    com::ComPtr<RegistryKey> CopyPath(const std::wstring& source, const std::wstring& target, bool subKeys);
    com::ComPtr<RegistryKey> CopyKey(const VARIANT& index, const std::wstring& targetKey, bool subKeys);

    com::ComPtr<Registry> m_registry;
    com::ComPtr<IUnknown> m_owner;
    std::wstring m_path;
    HKEY m_key;
    reg::EnumCursor m_cursor;
};
