#include "RegistryKeys.h"

#include "DataConversion.h"
#include "KeyAccess.h"
#include "KeyPath.h"
#include "Registry.h"
#include "RegistryKey.h"

namespace {

// A position index: a 16- or 32-bit integer.
bool PositionOf(const VARIANT& index, long& position)
{
    if (index.vt == VT_I2) {
        position = index.iVal;
        return true;
    }
    if (index.vt == VT_I4) {
        position = index.lVal;
        return true;
    }
    return false;
}

} // namespace

RegistryKeys::RegistryKeys(com::ComPtr<Registry> registry, com::ComPtr<IUnknown> owner, std::wstring path, HKEY key)
    : m_registry(std::move(registry)), m_owner(std::move(owner)), m_path(std::move(path)), m_key(key)
{
}

// IndexToKey: a name or path merged with the collection's path, or a position.
std::wstring RegistryKeys::Resolve(const VARIANT& index)
{
    com::Variant plain;
    if (FAILED(plain.Copy(index)))
        reg::Raise(EInvalidIndex);
    const reg::RootKeyTable& roots = m_registry->Roots();
    if (plain.vt == VT_BSTR)
        return reg::MergeKeys(m_path, com::Text(plain.bstrVal), roots);
    long position = 0;
    if (!PositionOf(plain, position))
        reg::Raise(EInvalidIndex);
    if (IsTopLevel()) {
        if (position < 1 || static_cast<size_t>(position) > roots.Count())
            reg::Raise(EInvalidIndex);
        return roots.At(static_cast<size_t>(position - 1)).longName;
    }
    // A position past the end names no subkey: the collection's own key.
    std::string name = reg::SubKeyName(m_key, static_cast<DWORD>(position - 1));
    return reg::MergeKeys(m_path, com::Widen(name), roots);
}

std::wstring RegistryKeys::ResolveSubKey(const VARIANT& index)
{
    com::Variant plain;
    if (FAILED(plain.Copy(index)))
        reg::Raise(EInvalidIndex);
    long position = 0;
    if (plain.vt == VT_BSTR && ::SysStringLen(plain.bstrVal) == 0)
        reg::Raise(EInvalidIndex);
    if (PositionOf(plain, position) && (position < 1 || position > CountKeys()))
        reg::Raise(EInvalidIndex);
    return Resolve(plain);
}

com::ComPtr<RegistryKey> RegistryKeys::OpenPath(const std::wstring& path, reg::KeyUse use)
{
    reg::KeyLocation where = reg::Locate(path, m_registry->Roots());
    com::UniqueHKey key;
    LONG rc = reg::OpenKey(where.root, where.tail.c_str(), use, key);
    if (rc == ERROR_FILE_NOT_FOUND)
        reg::Raise(EInvalidKey);
    reg::CheckSystem(rc);
    return com::Make<RegistryKey>(m_registry, path, std::move(key));
}

com::ComPtr<RegistryKey> RegistryKeys::ItemOf(const VARIANT& index, reg::KeyUse use)
{
    return OpenPath(Resolve(index), use);
}

com::ComPtr<RegistryKey> RegistryKeys::AddKey(const std::wstring& key)
{
    const std::wstring path = reg::MergeKeys(m_path, key, m_registry->Roots());
    reg::KeyLocation where = reg::Locate(path, m_registry->Roots());
    if (where.tail.empty())
        reg::Raise(EInvalidKey);
    // Keys are always created non-volatile, whatever Options says.
    return com::Make<RegistryKey>(m_registry, path, reg::CreateOrOpenKey(where.root, where.tail));
}

long RegistryKeys::CountKeys()
{
    if (IsTopLevel())
        return static_cast<long>(m_registry->Roots().Count());
    return static_cast<long>(reg::QueryKeyInfo(m_key).subKeys);
}

// Deletes the key at path with its whole subtree, depth-first.
void RegistryKeys::RemovePath(const std::wstring& path)
{
    reg::KeyLocation where = reg::Locate(path, m_registry->Roots());
    if (where.tail.empty())
        reg::Raise(EInvalidKey);
    {
        com::ComPtr<RegistryKey> key = OpenPath(path, reg::KeyUse::Read);
        const DWORD count = reg::QueryKeyInfo(key->Handle()).subKeys;
        for (DWORD i = 0; i < count; ++i) {
            std::string first = reg::SubKeyName(key->Handle(), 0);
            if (first.empty())
                break; // removed by someone else meanwhile
            RemovePath(path + L"\\" + com::Widen(first));
        }
    }
    reg::CheckSystem(::RegDeleteKeyA(where.root, where.tail.c_str()));
}

// Copies the key at source (values, and subkeys if asked) to target.
com::ComPtr<RegistryKey> RegistryKeys::CopyPath(const std::wstring& source, const std::wstring& target, bool subKeys)
{
    com::ComPtr<RegistryKey> from = OpenPath(source, reg::KeyUse::Read);
    const reg::KeyInfo info = reg::QueryKeyInfo(from->Handle());
    if (subKeys) {
        for (DWORD i = 0; i < info.subKeys; ++i) {
            std::wstring name = com::Widen(reg::SubKeyName(from->Handle(), i));
            if (name.empty())
                break; // fewer subkeys than counted: nothing left to copy
            CopyPath(source + L"\\" + name, target + L"\\" + name, true);
        }
    }
    com::ComPtr<RegistryKey> to = AddKey(target);
    for (DWORD i = 0; i < info.values; ++i) {
        std::string name = reg::ValueName(from->Handle(), i);
        reg::RawValue value;
        reg::CheckSystem(reg::ReadValue(from->Handle(), name, value));
        reg::WriteValue(to->Handle(), name, value); // byte for byte, type included
    }
    return to;
}

com::ComPtr<RegistryKey> RegistryKeys::CopyKey(const VARIANT& index, const std::wstring& targetKey, bool subKeys)
{
    const std::wstring source = ResolveSubKey(index);
    if (reg::Locate(source, m_registry->Roots()).tail.empty())
        reg::Raise(EInvalidIndex);
    const std::wstring target = !targetKey.empty() && targetKey.front() == L'\\'
                                    ? reg::MergeKeys(L"", targetKey, m_registry->Roots())
                                    : reg::MergeKeys(reg::GetParentKey(source), targetKey, m_registry->Roots());
    // A target inside its own source would be copied into itself without end.
    if (subKeys && reg::IsSameOrBelow(target, source))
        reg::Raise(EInvalidKey);
    return CopyPath(source, target, subKeys);
}

HRESULT RegistryKeys::_NewEnum(IUnknown** ppEnum) noexcept
{
    return Run([&] {
        if (!ppEnum)
            return E_POINTER;
        auto e = com::Make<RegistryKeys>(m_registry, m_owner, m_path, m_key);
        e->m_cursor.Start(static_cast<ULONG>(CountKeys()));
        *ppEnum = static_cast<IEnumVARIANT*>(e.Detach());
        return S_OK;
    });
}

HRESULT RegistryKeys::Add(BSTR Key, AddOptionConstants, IRegistryKey** ppKey) noexcept
{
    return Run([&] {
        if (!ppKey)
            return E_POINTER;
        return com::Out(ppKey, AddKey(com::Text(Key)));
    });
}

HRESULT RegistryKeys::Copy(VARIANT SourceIndex, BSTR TargetKey, VARIANT_BOOL SubKeys, IRegistryKey** ppKey) noexcept
{
    return Run([&] {
        if (!ppKey)
            return E_POINTER;
        return com::Out(ppKey, CopyKey(SourceIndex, com::Text(TargetKey), SubKeys != VARIANT_FALSE));
    });
}

HRESULT RegistryKeys::get_Count(LONG* pCount) noexcept
{
    return Run([&] {
        if (!pCount)
            return E_POINTER;
        *pCount = CountKeys();
        return S_OK;
    });
}

HRESULT RegistryKeys::get_Item(VARIANT Index, IRegistryKey** ppKey) noexcept
{
    return Run([&] {
        if (!ppKey)
            return E_POINTER;
        return com::Out(ppKey, ItemOf(Index, reg::KeyUse::Update));
    });
}

HRESULT RegistryKeys::Move(VARIANT SourceIndex, BSTR TargetKey, IRegistryKey** ppKey) noexcept
{
    return Run([&] {
        if (!ppKey)
            return E_POINTER;
        const std::wstring source = ResolveSubKey(SourceIndex);
        com::ComPtr<RegistryKey> target = CopyKey(com::Variant(source), com::Text(TargetKey), true);
        RemovePath(source);
        return com::Out(ppKey, target);
    });
}

HRESULT RegistryKeys::Remove(VARIANT Index) noexcept
{
    return Run([&] {
        RemovePath(ResolveSubKey(Index));
        return S_OK;
    });
}

HRESULT RegistryKeys::Next(ULONG celt, VARIANT* rgVar, ULONG* pCeltFetched) noexcept
{
    if (pCeltFetched)
        *pCeltFetched = 0;
    if (!rgVar)
        return E_POINTER;
    return Run([&] {
        return m_cursor.Next(celt, rgVar, pCeltFetched, [this](long position) {
            com::ComPtr<RegistryKey> key = ItemOf(com::Variant(position), reg::KeyUse::Update);
            return com::Variant(static_cast<IDispatch*>(static_cast<IRegistryKey*>(key.Get())));
        });
    });
}

HRESULT RegistryKeys::Skip(ULONG celt) noexcept
{
    return Run([&] { return m_cursor.Skip(celt); });
}

HRESULT RegistryKeys::Reset() noexcept
{
    return Run([&] { return m_cursor.Reset(); });
}

HRESULT RegistryKeys::Clone(IEnumVARIANT** ppEnum) noexcept
{
    if (ppEnum)
        *ppEnum = nullptr;
    return Run([] { return E_NOTIMPL; });
}
