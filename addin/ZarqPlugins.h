// The container of plug-in instances: a folder's own plug-in list, and the
// folder collection's shared catalogue with one instance per class.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "com/ComObject.h"
#include "corvane.h"

class ZarqPlugins final : public com::ComObject<ZarqPlugins, _ZarqPlugins, ISupportErrorInfo> {
  public:
    static const wchar_t* ErrorSource() noexcept { return L"corvane.ZarqPlugins"; }
    static constexpr const wchar_t* kProgIdSuffix = L".ZarqPlugin";

    ~ZarqPlugins() override;

    // _ZarqPlugins, in slot order
    HRESULT STDMETHODCALLTYPE AddInstance(_ZarqPlugin* pi) noexcept override;
    HRESULT STDMETHODCALLTYPE FindIndex(BSTR sPluginClass, long* value) noexcept override;
    HRESULT STDMETHODCALLTYPE GetInstalledPlugins(BSTR sPluginPath, VARIANT* value) noexcept override;
    HRESULT STDMETHODCALLTYPE LoadFromFile(VARIANT_BOOL* value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_NewEnum(IUnknown** value) noexcept override;
    HRESULT STDMETHODCALLTYPE Remove(BSTR sPluginClass) noexcept override;
    HRESULT STDMETHODCALLTYPE RemoveInstance(_ZarqPlugin* pi) noexcept override;
    HRESULT STDMETHODCALLTYPE SaveToFile(VARIANT_BOOL* value) noexcept override;
    HRESULT STDMETHODCALLTYPE Find(BSTR sPluginClass, VARIANT_BOOL* value) noexcept override;
    HRESULT STDMETHODCALLTYPE GetAt(long lIndex, _ZarqPlugin** value) noexcept override;
    HRESULT STDMETHODCALLTYPE Clear() noexcept override;
    HRESULT STDMETHODCALLTYPE get_Count(long* value) noexcept override;
    HRESULT STDMETHODCALLTYPE Add(BSTR sPluginClass, long* value) noexcept override;

    // The instances in list order (a copy: callers may change the list meanwhile).
    std::vector<com::ComPtr<_ZarqPlugin>> Instances() const;

  private:
    struct Entry {
        std::wstring key; // the programmatic identifier
        com::ComPtr<_ZarqPlugin> instance;
    };

    static bool SameClass(const std::wstring& a, const std::wstring& b) noexcept;
    size_t IndexOfKey(const std::wstring& key) const noexcept;
    // The first entry whose GetClass is sClass; throws when a GetClass fails.
    Entry* FindByClass(const std::wstring& sClass);
    void Append(std::wstring key, _ZarqPlugin* pi);

    std::vector<Entry> m_entries;
};

// The class name a plug-in instance reports; throws com::ComError when it fails.
std::wstring PluginClass(_ZarqPlugin* pi);
