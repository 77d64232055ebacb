// Registry: the top object of the library. Holds the root key table (local
// or of a connected computer), the value operations by full path, export,
// import and search, and the connection point for IRegistryEvents.
#pragma once

#include <string>

#include "KeyAccess.h"
#include "RegistryObject.h"
#include "RootKeyTable.h"
#include "RovaneInterfaces.h"
#include "com/ConnectionPoint.h"

class RegistryKeys;
class RegistryValue;

class Registry final
    : public reg::RegistryObject<Registry, IRegistry, ISupportErrorInfo, com::ConnectionPointContainer> {
  public:
    Registry();
    static const wchar_t* ErrorSource() noexcept { return L"Registry.Registry.1"; }

    HRESULT STDMETHODCALLTYPE Add(BSTR Path, VARIANT Data, DataTypeConstants Type, AddOptionConstants Options,
                                  IRegistryValue** ppValue) noexcept override;
    HRESULT STDMETHODCALLTYPE Connect(BSTR ComputerName) noexcept override;
    HRESULT STDMETHODCALLTYPE Copy(BSTR SourcePath, BSTR TargetPath, IRegistryValue** ppValue) noexcept override;
    HRESULT STDMETHODCALLTYPE Export(BSTR FileName, BSTR Key, VARIANT_BOOL SubKeys) noexcept override;
    HRESULT STDMETHODCALLTYPE Find(VARIANT What, BSTR Key, VARIANT_BOOL SubKeys,
                                   FindOptionConstants Options) noexcept override;
    HRESULT STDMETHODCALLTYPE Import(BSTR FileName) noexcept override;
    HRESULT STDMETHODCALLTYPE Item(BSTR Path, IRegistryValue** ppValue) noexcept override;
    HRESULT STDMETHODCALLTYPE Move(BSTR SourcePath, BSTR TargetPath, IRegistryValue** ppValue) noexcept override;
    HRESULT STDMETHODCALLTYPE Remove(BSTR Path) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Keys(IRegistryKeys** ppKeys) noexcept override;

    const reg::RootKeyTable& Roots() const noexcept { return m_roots; }
    bool IsCollectionProperty(DISPID id) noexcept;

  private:
    com::ComPtr<RegistryKeys> TopKeys();
    com::ComPtr<RegistryValue> ValueAt(const std::wstring& path, reg::KeyUse use);
    void RemoveValueAt(const std::wstring& path);
    com::ComPtr<RegistryValue> CopyValue(const std::wstring& sourcePath, const std::wstring& targetPath);
    static std::wstring TargetOf(const std::wstring& sourcePath, const std::wstring& targetPath);
    bool IsSameValue(const std::wstring& sourcePath, const std::wstring& target);

    reg::RootKeyTable m_roots;
    std::wstring m_computerName;
};
