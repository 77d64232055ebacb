#include "Registry.h"

#include "DataConversion.h"
#include "Finder.h"
#include "KeyPath.h"
#include "RegFileImport.h"
#include "RegFileWriter.h"
#include "RegistryKey.h"
#include "RegistryKeys.h"
#include "RegistryValue.h"
#include "RegistryValues.h"

namespace {

com::ComPtr<RegistryValues> ValuesOf(const com::ComPtr<RegistryKey>& key)
{
    return com::Make<RegistryValues>(static_cast<IRegistryKey*>(key.Get()), key->Handle());
}

} // namespace

Registry::Registry()
{
    AddConnectionPoint(IID_IRegistryEvents);
    m_roots.Build(L"");
}

// Keys has the identifier the type library gave it.
bool Registry::IsCollectionProperty(DISPID id) noexcept
{
    static DISPID keys = DISPID_UNKNOWN;
    if (keys == DISPID_UNKNOWN) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(L"Keys")};
        if (FAILED(GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &keys)))
            return false;
    }
    return id == keys;
}

com::ComPtr<RegistryKeys> Registry::TopKeys() { return com::Make<RegistryKeys>(this, nullptr, L"", nullptr); }

// The value at a full value path: key path, backslash, value name.
com::ComPtr<RegistryValue> Registry::ValueAt(const std::wstring& path, reg::KeyUse use)
{
    com::ComPtr<RegistryKey> key = TopKeys()->ItemOf(com::Variant(std::wstring_view(reg::GetParentKey(path))), use);
    return ValuesOf(key)->ItemOf(com::Variant(std::wstring_view(reg::GetKeyFoot(path))));
}

void Registry::RemoveValueAt(const std::wstring& path)
{
    com::ComPtr<RegistryKey> key =
        TopKeys()->ItemOf(com::Variant(std::wstring_view(reg::GetParentKey(path))), reg::KeyUse::Update);
    ValuesOf(key)->RemoveValue(com::Variant(std::wstring_view(reg::GetKeyFoot(path))));
}

// A target value path: absolute, or relative to the source's key.
std::wstring Registry::TargetOf(const std::wstring& sourcePath, const std::wstring& targetPath)
{
    return !targetPath.empty() && targetPath.front() == L'\\' ? targetPath
                                                              : reg::GetParentKey(sourcePath) + L"\\" + targetPath;
}

// True if target names the value at source: the same key however its path
// is spelled, and a name equal but for letter case.
bool Registry::IsSameValue(const std::wstring& sourcePath, const std::wstring& target)
{
    const reg::RootKeyTable& roots = Roots();
    return reg::IsSameKey(reg::MergeKeys(L"", reg::GetParentKey(sourcePath), roots),
                          reg::MergeKeys(L"", reg::GetParentKey(target), roots)) &&
           reg::SameValueName(com::Narrow(reg::GetKeyFoot(sourcePath)), com::Narrow(reg::GetKeyFoot(target)));
}

// The source is only read: a value can be copied out of a key that the user
// may not write. The copy is written byte for byte, type included, into the
// source's own key or into another one, which is created where it is missing.
com::ComPtr<RegistryValue> Registry::CopyValue(const std::wstring& sourcePath, const std::wstring& targetPath)
{
    const reg::RawValue source = ValueAt(sourcePath, reg::KeyUse::Read)->Raw();
    const std::wstring sourceKey = reg::GetParentKey(sourcePath);
    const std::wstring target = TargetOf(sourcePath, targetPath);
    const std::wstring targetKey = reg::GetParentKey(target);
    const std::string targetName = com::Narrow(reg::GetKeyFoot(target));
    com::ComPtr<RegistryKey> key =
        targetKey == sourceKey ? TopKeys()->ItemOf(com::Variant(std::wstring_view(sourceKey)), reg::KeyUse::Update)
                               : TopKeys()->AddKey(targetKey);
    reg::WriteValue(key->Handle(), targetName, source);
    return com::Make<RegistryValue>(static_cast<IRegistryKey*>(key.Get()), key->Handle(), targetName, source);
}

HRESULT Registry::Add(BSTR Path, VARIANT Data, DataTypeConstants Type, AddOptionConstants,
                      IRegistryValue** ppValue) noexcept
{
    return Run([&] {
        if (!ppValue)
            return E_POINTER;
        const std::wstring path = com::Text(Path);
        com::ComPtr<RegistryKey> key = TopKeys()->AddKey(reg::GetParentKey(path));
        return com::Out(ppValue, ValuesOf(key)->AddValue(com::Narrow(reg::GetKeyFoot(path)), Data, Type));
    });
}

HRESULT Registry::Connect(BSTR ComputerName) noexcept
{
    return Run([&] {
        // A connection that fails leaves the object on the registry it had.
        const std::wstring computerName = com::Text(ComputerName);
        m_roots.Build(computerName);
        m_computerName = computerName;
        return S_OK;
    });
}

HRESULT Registry::Copy(BSTR SourcePath, BSTR TargetPath, IRegistryValue** ppValue) noexcept
{
    return Run([&] {
        if (!ppValue)
            return E_POINTER;
        return com::Out(ppValue, CopyValue(com::Text(SourcePath), com::Text(TargetPath)));
    });
}

HRESULT Registry::Export(BSTR FileName, BSTR Key, VARIANT_BOOL SubKeys) noexcept
{
    return Run([&] {
        reg::ExportToFile(m_roots, com::Narrow(com::Text(FileName)), com::Text(Key), SubKeys != VARIANT_FALSE);
        return S_OK;
    });
}

HRESULT Registry::Find(VARIANT What, BSTR Key, VARIANT_BOOL SubKeys, FindOptionConstants Options) noexcept
{
    return Run([&] {
        com::ComPtr<IConnectionPoint> events;
        HRESULT hr = FindConnectionPoint(IID_IRegistryEvents, &events);
        if (FAILED(hr))
            reg::RaiseSystemHr(hr);
        reg::FindInRegistry(m_roots, *events.Get(), What, com::Text(Key), SubKeys != VARIANT_FALSE, Options);
        return S_OK;
    });
}

HRESULT Registry::Import(BSTR FileName) noexcept
{
    return Run([&] {
        reg::ImportFromFile(m_roots, com::Narrow(com::Text(FileName)));
        return S_OK;
    });
}

HRESULT Registry::Item(BSTR Path, IRegistryValue** ppValue) noexcept
{
    return Run([&] {
        if (!ppValue)
            return E_POINTER;
        return com::Out(ppValue, ValueAt(com::Text(Path), reg::KeyUse::Update));
    });
}

HRESULT Registry::Move(BSTR SourcePath, BSTR TargetPath, IRegistryValue** ppValue) noexcept
{
    return Run([&] {
        if (!ppValue)
            return E_POINTER;
        const std::wstring source = com::Text(SourcePath);
        const std::wstring target = com::Text(TargetPath);
        // A value moved onto itself stays; a copy and a removal would lose it.
        if (IsSameValue(source, TargetOf(source, target)))
            return com::Out(ppValue, ValueAt(source, reg::KeyUse::Update));
        com::ComPtr<RegistryValue> copy = CopyValue(source, target);
        RemoveValueAt(source);
        return com::Out(ppValue, copy);
    });
}

HRESULT Registry::Remove(BSTR Path) noexcept
{
    return Run([&] {
        RemoveValueAt(com::Text(Path));
        return S_OK;
    });
}

HRESULT Registry::get_Keys(IRegistryKeys** ppKeys) noexcept
{
    return Run([&] {
        if (!ppKeys)
            return E_POINTER;
        return com::Out(ppKeys, TopKeys());
    });
}
