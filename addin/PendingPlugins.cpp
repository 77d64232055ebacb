#include "PendingPlugins.h"

#include <windows.h>

#include <algorithm>

#include "IniDocument.h"
#include "com/ComRaii.h"
#include "config/NotifyFoldersFile.h"

namespace {

thread_local const IniDocument* t_document = nullptr;

// The host's own keys of a folder section (the profile functions ignore
// letter case in key names).
bool IsHostKey(const std::wstring& key)
{
    using namespace nffile;
    for (const wchar_t* own : {kEntryId, kStoreId, kFriendlyName, kPlaySound, kUseDefaultSound, kShowTrayIcon,
                               kChangeCursor, kSoundFile, kPluginCount})
        if (com::EqualsIgnoreCase(key, own))
            return true;
    const std::wstring prefix = L"Plugin";
    return key.size() > prefix.size() && com::EqualsIgnoreCase(key.substr(0, prefix.size()), prefix) &&
           std::all_of(key.begin() + static_cast<std::ptrdiff_t>(prefix.size()), key.end(),
                       [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

} // namespace

PendingPlugins::ReadingFrom::ReadingFrom(const IniDocument* doc) noexcept : m_previous(t_document) { t_document = doc; }

PendingPlugins::ReadingFrom::~ReadingFrom() { t_document = m_previous; }

std::wstring PendingPlugins::ClassAt(long lIndex) const
{
    if (lIndex < 1 || lIndex > Count())
        return {};
    return m_classes[static_cast<size_t>(lIndex - 1)];
}

bool PendingPlugins::Has(const std::wstring& sPluginClass) const noexcept
{
    return std::find(m_classes.begin(), m_classes.end(), sPluginClass) != m_classes.end();
}

void PendingPlugins::Add(const std::wstring& sPluginClass)
{
    for (const std::wstring& listed : m_classes)
        if (com::EqualsIgnoreCase(listed, sPluginClass))
            return;
    m_classes.push_back(sPluginClass);
}

void PendingPlugins::Remove(const std::wstring& sPluginClass) { std::erase(m_classes, sPluginClass); }

void PendingPlugins::Load(const std::wstring& sFile, const std::wstring& sSection)
{
    m_sSection = sSection;
    m_keys.clear();
    IniDocument file;
    const IniDocument* doc = t_document;
    if (!doc) {
        file.Load(sFile); // a file that cannot be read has no keys
        doc = &file;
    }
    for (auto& [key, value] : doc->SectionEntries(sSection))
        if (!IsHostKey(key))
            m_keys.emplace_back(std::move(key), std::move(value));
}

void PendingPlugins::Save(const std::wstring& sFile, const std::wstring& sSection) const
{
    // Written as a plug-in writes its keys: through the profile functions,
    // after the host's part of the file.
    for (const auto& [key, value] : m_keys)
        ::WritePrivateProfileStringW(sSection.c_str(), key.c_str(), value.c_str(), sFile.c_str());
}
