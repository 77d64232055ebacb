#include "ZarqPlugins.h"

#include <memory>

#include "AddinErrors.h"
#include "com/AutomationValues.h"
#include "com/SnapshotEnum.h"
#include "config/PluginFolder.h"
#include "g_modDebug.h"

using com::Out;
using com::Text;

std::wstring PluginClass(_ZarqPlugin* pi)
{
    if (!pi)
        throw com::ComError(E_POINTER, L"Object variable or With block variable not set");
    com::Bstr cls;
    Check(pi->GetClass(cls.put()));
    return cls.str();
}

ZarqPlugins::~ZarqPlugins() { Clear(); }

size_t ZarqPlugins::IndexOfKey(const std::wstring& key) const noexcept
{
    for (size_t i = 0; i < m_entries.size(); ++i)
        if (com::EqualsIgnoreCase(m_entries[i].key, key))
            return i;
    return std::wstring::npos;
}

// Every lookup of a plug-in class compares as the keys do, without regard to
// letter case: a class listed twice in different case is one class, started,
// counted and shut down once.
bool ZarqPlugins::SameClass(const std::wstring& a, const std::wstring& b) noexcept
{
    return com::EqualsIgnoreCase(a, b);
}

ZarqPlugins::Entry* ZarqPlugins::FindByClass(const std::wstring& sClass)
{
    for (Entry& e : m_entries)
        if (SameClass(PluginClass(e.instance.Get()), sClass))
            return &e;
    return nullptr;
}

void ZarqPlugins::Append(std::wstring key, _ZarqPlugin* pi)
{
    m_entries.push_back(Entry{std::move(key), com::ComPtr<_ZarqPlugin>(pi)});
}

std::vector<com::ComPtr<_ZarqPlugin>> ZarqPlugins::Instances() const
{
    std::vector<com::ComPtr<_ZarqPlugin>> out;
    out.reserve(m_entries.size());
    for (const Entry& e : m_entries)
        out.push_back(e.instance);
    return out;
}

HRESULT ZarqPlugins::Add(BSTR sPluginClass, long* value) noexcept
{
    if (!value)
        return E_POINTER;
    *value = 0;
    return Guard([&] {
        const std::wstring progId = Text(sPluginClass) + kProgIdSuffix;
        com::ComPtr<_ZarqPlugin> pi;
        CLSID clsid{};
        if (SUCCEEDED(::CLSIDFromProgID(progId.c_str(), &clsid))) {
            const HRESULT hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID__ZarqPlugin,
                                                  reinterpret_cast<void**>(pi.GetAddressOf()));
            // Memory that ran out is no missing plug-in: the caller must
            // not go on as if this one were not installed.
            if (hr == E_OUTOFMEMORY)
                return hr;
        }
        if (!pi) {
            WarnError("Could not create instance of plugin " + com::Narrow(progId), "ZarqPlugins::Add()");
            return S_OK;
        }
        // A key already present inserts nothing; the new instance is released unstarted.
        if (IndexOfKey(progId) == std::wstring::npos)
            Append(progId, pi.Get());
        *value = static_cast<long>(m_entries.size());
        return S_OK;
    });
}

HRESULT ZarqPlugins::Find(BSTR sPluginClass, VARIANT_BOOL* value) noexcept
{
    if (!value)
        return E_POINTER;
    *value = VARIANT_FALSE;
    RunReported("ZarqPlugins::Find()",
                [&] { *value = FindByClass(Text(sPluginClass)) ? VARIANT_TRUE : VARIANT_FALSE; });
    return S_OK;
}

HRESULT ZarqPlugins::FindIndex(BSTR sPluginClass, long* value) noexcept
{
    if (!value)
        return E_POINTER;
    *value = 0;
    RunReported("ZarqPlugins::FindIndex()", [&] {
        const std::wstring sClass = Text(sPluginClass);
        for (size_t i = 0; i < m_entries.size(); ++i) {
            if (SameClass(PluginClass(m_entries[i].instance.Get()), sClass)) {
                *value = static_cast<long>(i + 1);
                return;
            }
        }
    });
    return S_OK;
}

HRESULT ZarqPlugins::GetAt(long lIndex, _ZarqPlugin** value) noexcept
{
    return Guard([&] {
        if (lIndex < 1 || static_cast<size_t>(lIndex) > m_entries.size())
            return Out<_ZarqPlugin>(value, nullptr);
        return Out<_ZarqPlugin>(value, m_entries[static_cast<size_t>(lIndex - 1)].instance.Get());
    });
}

HRESULT ZarqPlugins::get_Count(long* value) noexcept
{
    return Guard([&] { return Out(value, static_cast<long>(m_entries.size())); });
}

HRESULT ZarqPlugins::get_NewEnum(IUnknown** value) noexcept
{
    return Guard([&] {
        std::vector<com::Variant> items;
        for (const Entry& e : m_entries)
            items.emplace_back(static_cast<IDispatch*>(e.instance.Get()));
        return com::MakeVariantEnum(std::move(items), value);
    });
}

// Remove, Clear, AddInstance, RemoveInstance and GetInstalledPlugins report
// no failure: each runs in the guard and answers S_OK whatever happened.
HRESULT ZarqPlugins::Remove(BSTR sPluginClass) noexcept
{
    Guard([&] {
        size_t at = IndexOfKey(Text(sPluginClass) + kProgIdSuffix);
        if (at != std::wstring::npos) {
            Entry gone = std::move(m_entries[at]);
            m_entries.erase(m_entries.begin() + static_cast<std::ptrdiff_t>(at));
        }
        return S_OK;
    });
    return S_OK;
}

HRESULT ZarqPlugins::Clear() noexcept
{
    Guard([&] {
        while (!m_entries.empty()) {
            Entry last = std::move(m_entries.back());
            m_entries.pop_back();
        }
        return S_OK;
    });
    return S_OK;
}

HRESULT ZarqPlugins::AddInstance(_ZarqPlugin* pi) noexcept
{
    Guard([&] {
        const std::wstring sClass = PluginClass(pi);
        if (Entry* shared = FindByClass(sClass)) {
            shared->instance->PluginAddRef();
            return S_OK;
        }
        pi->PluginAddRef();
        Append(sClass + kProgIdSuffix, pi);
        return S_OK;
    });
    return S_OK;
}

HRESULT ZarqPlugins::RemoveInstance(_ZarqPlugin* pi) noexcept
{
    Guard([&] {
        Entry* shared = FindByClass(PluginClass(pi));
        if (!shared)
            return S_OK;
        com::ComPtr<_ZarqPlugin> instance = shared->instance;
        instance->DeleteRef();
        short count = -1;
        instance->get_RefCount(&count);
        if (count == 0) {
            com::Bstr cls(PluginClass(instance.Get()));
            Remove(cls.get());
        }
        return S_OK;
    });
    return S_OK;
}

HRESULT ZarqPlugins::GetInstalledPlugins(BSTR sPluginPath, VARIANT* value) noexcept
{
    if (value)
        ::VariantInit(value);
    Guard([&] {
        for (const std::string& cls : pluginfolder::InstalledPluginClasses(com::Narrow(Text(sPluginPath)))) {
            long ignored = 0;
            Add(com::Bstr::FromAnsi(cls).get(), &ignored);
        }
        return S_OK;
    });
    return S_OK;
}

HRESULT ZarqPlugins::LoadFromFile(VARIANT_BOOL* value) noexcept
{
    return Guard([&] {
        Clear();
        return Out(value, false);
    });
}

HRESULT ZarqPlugins::SaveToFile(VARIANT_BOOL* value) noexcept
{
    return Guard([&] { return Out(value, true); });
}
