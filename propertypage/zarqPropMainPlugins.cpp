// The plug-in tab of the page: the list of installed plug-ins, their check
// marks for the folder, and the options and information buttons.
#include "zarqPropMain.h"

#include "CRegistry.h"
#include "ErrorText.h"
#include "Guarded.h"
#include "Reported.h"
#include "com/AutomationValues.h"
#include "config/PluginFolder.h"
#include "g_modDebug.h"
#include "g_modNewFunc.h"

using com::Flag;

namespace {

constexpr const char kInvalidObjects[] = "Internal MAPI folder object or NotifyFolders collection is invalid";

// The hourglass for as long as it lives.
class BusyCursor {
  public:
    BusyCursor() noexcept { SetBusyCursor(true); }
    ~BusyCursor() { SetBusyCursor(false); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

bool PluginActive(_NotifyFolder* folder, const std::wstring& sClass)
{
    VARIANT_BOOL active = VARIANT_FALSE;
    return folder && SUCCEEDED(folder->get_IsPluginActive(com::Bstr(sClass).get(), &active)) && Flag(active);
}

std::wstring PluginText(_ZarqPlugin* plugin, HRESULT (STDMETHODCALLTYPE _ZarqPlugin::*get)(BSTR*))
{
    com::Bstr text;
    if (FAILED((plugin->*get)(text.put())))
        return {};
    return text.str();
}

} // namespace

// At initialization: the plug-in directory, the tooltip of "Info..." and
// the width of the column "Beschreibung", which fills the list exactly,
// leaving room for a vertical scroll bar and the two borders.
void zarqPropMain::InitPluginTab()
{
    CRegistry reg;
    if (reg.OpenKey(kPluginKey, true)) {
        m_sPluginPath = reg.ReadString("PluginPath", "");
        reg.CloseKey();
    } else {
        WarnError(std::string("Failed to open registry key ") + kPluginKey, "corvaneProps::InitProperties()");
    }
    m_infoTip = L"Plugins werden gesucht in : " + com::Widen(m_sPluginPath);
    const double perPixel = m_twips.PerPixelX();
    m_descriptionWidth = static_cast<int>(4995 - 1440 - perPixel * ::GetSystemMetrics(SM_CXVSCROLL) -
                                          perPixel * ::GetSystemMetrics(SM_CXEDGE) * 2);
}

// The folder of the page in the collection, if it is watched.
com::ComPtr<_NotifyFolder> zarqPropMain::WatchedFolder(bool* found) const
{
    if (found)
        *found = false;
    com::ComPtr<_NotifyFolder> folder;
    if (!m_olFolder || !m_nfFolders)
        return folder;
    RunSkipped([&] {
        const com::Bstr sEntryId(OutlookFolderText(L"EntryID"));
        VARIANT_BOOL watched = VARIANT_FALSE;
        if (FAILED(m_nfFolders->Find(sEntryId.get(), &watched)) || !Flag(watched))
            return;
        if (found)
            *found = true;
        m_nfFolders->GetFromEntryId(sEntryId.get(), &folder);
    });
    return folder;
}

// The user switched tabs: the list is built on the first visit of "Plugins".
void zarqPropMain::TabClicked()
{
    if (m_tab != 1 || m_bPluginsLoaded)
        return;
    {
        BusyCursor busy;
        RunSkipped([&] {
            DisplayInstalledPlugins(m_sPluginPath);
            ItemClicked(m_selected);
        });
    }
    m_bPluginsLoaded = true;
}

// Fills the list from the libraries "Zarq*.dll" of the directory. Each
// plug-in is created only to ask for its name and description.
void zarqPropMain::DisplayInstalledPlugins(const std::string& sPluginPath)
{
    if (!m_olFolder || !m_nfFolders) {
        Warn(kInvalidObjects, "zarqPropMain::DisplayInstalledPlugins()");
        return;
    }
    com::ComPtr<_NotifyFolder> folder = WatchedFolder();
    const std::vector<std::string> classes = pluginfolder::InstalledPluginClasses(sPluginPath);
    if (classes.empty())
        return;
    for (const std::string& sClass : classes) {
        CLSID clsid{};
        com::ComPtr<_ZarqPlugin> plugin;
        const std::wstring progId = com::Widen(sClass) + L".ZarqPlugin";
        if (FAILED(::CLSIDFromProgID(progId.c_str(), &clsid)) ||
            FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID__ZarqPlugin,
                                      reinterpret_cast<void**>(plugin.GetAddressOf()))) ||
            !plugin)
            continue; // not a plug-in: left out without a message
        PluginEntry entry;
        entry.text = PluginText(plugin.Get(), &_ZarqPlugin::GetFriendlyName);
        entry.description = PluginText(plugin.Get(), &_ZarqPlugin::GetDescription);
        entry.tag = com::Widen(sClass);
        if (folder)
            entry.checked = PluginActive(folder.Get(), PluginText(plugin.Get(), &_ZarqPlugin::GetClass));
        m_plugins.push_back(std::move(entry));
    }
    FillPluginList();
}

// The user toggled an entry's check box.
void zarqPropMain::ItemChecked(int index)
{
    SetDirty();
    ItemClicked(index);
}

// The options and information buttons are enabled only for a checked
// entry whose plug-in is already switched on for the watched folder.
void zarqPropMain::ItemClicked(int index)
{
    BusyCursor busy;
    if (index < 0 || static_cast<size_t>(index) >= m_plugins.size()) {
        EnableButtons(false);
        return;
    }
    if (!m_olFolder || !m_nfFolders) {
        Warn(kInvalidObjects, "zarqPropMain::lvwPlugin_ItemClick()");
        return;
    }
    bool watched = false;
    com::ComPtr<_NotifyFolder> folder = WatchedFolder(&watched);
    if (!watched) {
        EnableButtons(false);
        return;
    }
    const PluginEntry& entry = m_plugins[static_cast<size_t>(index)];
    EnableButtons(entry.checked && PluginActive(folder.Get(), entry.tag));
}

void zarqPropMain::EnableButtons(bool bEnabled)
{
    m_pluginButtonsEnabled = bEnabled;
    SyncEnabledStates();
}

// Opens the options or the information of the selected plug-in; its own
// dialog runs while the hourglass is still on.
void zarqPropMain::RunPluginMethod(PluginMethod method)
{
    BusyCursor busy;
    if (!m_olFolder || !m_nfFolders) {
        Warn(kInvalidObjects, "zarqPropMain::lvwPlugin_ItemClick()");
        return;
    }
    if (m_selected < 0 || static_cast<size_t>(m_selected) >= m_plugins.size())
        return;
    bool watched = false;
    com::ComPtr<_NotifyFolder> folder = WatchedFolder(&watched);
    const std::wstring tag = m_plugins[static_cast<size_t>(m_selected)].tag;
    if (!watched || !PluginActive(folder.Get(), tag))
        return;
    com::Variant sClass(tag);
    if (method == pmOptions)
        folder->PluginConfig(sClass);
    else
        folder->PluginInfo(sClass);
}

// Applies the check marks to the folder, in list order. A failure shows
// the error dialog, leaves the remaining entries unapplied and answers
// false: the settings are then not saved, so that the configuration file
// keeps the folder's plug-ins as they were.
bool zarqPropMain::ApplyPlugins(_NotifyFolder* folder, const std::wstring&, const std::wstring&)
{
    if (!folder) {
        WarnError("The passed NotifyFolder object is invalid/nothing", "zarqPropMain::ApplyPlugins()");
        return true;
    }
    bool applied = false;
    RunGuarded(
        [&] {
            for (const PluginEntry& entry : m_plugins) {
                const com::Bstr tag(entry.tag);
                VARIANT_BOOL active = VARIANT_FALSE;
                Check(folder->get_IsPluginActive(tag.get(), &active));
                if (entry.checked && !Flag(active))
                    Check(folder->AddPluginByClass(tag.get()));
                else if (!entry.checked && Flag(active))
                    Check(folder->RemovePluginByClass(tag.get()));
            }
            applied = true;
        },
        [](const com::ComError& e) noexcept { ReportCaught("zarqPropMain::ApplyPlugins()", e, false); });
    return applied;
}

HRESULT zarqPropMain::put_HidePluginPage(VARIANT_BOOL bHide) noexcept
{
    RunSkipped([&] {
        m_pluginTabVisible = !Flag(bHide);
        ShowPluginTab();
    });
    return S_OK;
}
