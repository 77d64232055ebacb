// One watched Outlook folder: its identity, alert settings, the Outlook
// item collection it listens to, and its list of plug-ins.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "ItemCountWatch.h"
#include "PendingPlugins.h"
#include "ZarqPlugins.h"
#include "com/ComObject.h"
#include "com/EventSink.h"
#include "corvane.h"

class NotifyFolder final : public com::ComObject<NotifyFolder, _NotifyFolder, ISupportErrorInfo> {
  public:
    static const wchar_t* ErrorSource() noexcept { return L"corvane.NotifyFolder"; }

    NotifyFolder();
    ~NotifyFolder() override;

    // _NotifyFolder, in slot order
    HRESULT STDMETHODCALLTYPE AddPluginByClass(BSTR sPluginClass) noexcept override;
    HRESULT STDMETHODCALLTYPE get_ChangeCursor(VARIANT_BOOL* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_ChangeCursor(VARIANT_BOOL value) noexcept override;
    HRESULT STDMETHODCALLTYPE GetPluginClassByIndex(long lIndex, BSTR* value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_IsPluginActive(BSTR sPluginClass, VARIANT_BOOL* value) noexcept override;
    HRESULT STDMETHODCALLTYPE LoadPlugins(BSTR sSection) noexcept override;
    HRESULT STDMETHODCALLTYPE get_PlaySound(VARIANT_BOOL* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_PlaySound(VARIANT_BOOL value) noexcept override;
    HRESULT STDMETHODCALLTYPE PluginConfig(VARIANT sPluginClass) noexcept override;
    HRESULT STDMETHODCALLTYPE get_PluginCount(long* value) noexcept override;
    HRESULT STDMETHODCALLTYPE PluginInfo(VARIANT sPluginClass) noexcept override;
    HRESULT STDMETHODCALLTYPE RemovePluginByClass(BSTR sPluginClass) noexcept override;
    HRESULT STDMETHODCALLTYPE RemovePluginById(BSTR sPluginId) noexcept override;
    HRESULT STDMETHODCALLTYPE put_CollectionPtr(long lCollectionPtr) noexcept override;
    HRESULT STDMETHODCALLTYPE ConnectOutlookFolder(VARIANT_BOOL* value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_EntryId(BSTR* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_EntryId(BSTR value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_FriendlyName(BSTR* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_FriendlyName(BSTR value) noexcept override;
    HRESULT STDMETHODCALLTYPE putref_OutlookNamespace(IDispatch* olNs) noexcept override;
    HRESULT STDMETHODCALLTYPE SavePlugins(BSTR sSection) noexcept override;
    HRESULT STDMETHODCALLTYPE get_ShowTrayIcon(VARIANT_BOOL* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_ShowTrayIcon(VARIANT_BOOL value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_SoundFile(BSTR* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_SoundFile(BSTR value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_StoreId(BSTR* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_StoreId(BSTR value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_UseDefaultSound(VARIANT_BOOL* value) noexcept override;
    HRESULT STDMETHODCALLTYPE put_UseDefaultSound(VARIANT_BOOL value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_OutlookItems(IDispatch** value) noexcept override;

    // Direct access for the owning collection (same module).
    const std::wstring& EntryId() const noexcept { return m_sEntryId; }
    // The timer's comparison of the item count, when its interval has passed:
    // items that came without ItemAdd get the folder's alerts once and go
    // to its plug-ins one by one.
    void CheckItemCount() noexcept;

    const std::wstring& FriendlyName() const noexcept { return m_sFriendlyName; }

    // Binding without a record: the folder, its Items collection and the
    // ItemAdd subscription. The failure's code and description come back;
    // ConnectOutlookFolder is this with the failure logged.
    HRESULT Bind(std::wstring& sDescription) noexcept;
    bool Bound() const noexcept { return m_olItems.Get() != nullptr; }

    // A folder read from the configuration file and bound later: its
    // plug-ins are only listed (PendingPlugins) until StartPlugins creates
    // and starts them and hands them their settings.
    void DeferPlugins() noexcept;
    bool PluginsDeferred() const noexcept { return m_pending.has_value(); }
    void StartPlugins() noexcept;

  private:
    void m_olItems_Event(DISPID dispid, DISPPARAMS* params) noexcept;
    void HandleOutlookItemsEvent(OutlookItemsEvent oie, IDispatch* Item) noexcept;
    // Compares the item count (lAnnounced: items an ItemAdd brought since
    // the last comparison) and hands on what came unannounced; the alerts
    // only when no ItemAdd of their own follows.
    void HandleUnannounced(long lAnnounced) noexcept;
    void HandToPlugins(IDispatch* Item); // throws when the list cannot be copied
    void RegisterPlugin(_ZarqPlugin* pi) noexcept;
    void UnregisterPlugin(_ZarqPlugin* pi) noexcept;
    // The collection of a registered identity, or null when it no longer exists.
    com::ComPtr<_NotifyFolders> Collection() const noexcept;
    // PluginConfig and PluginInfo: find the instance of a class and call one of its operations.
    void CallPlugin(const VARIANT& sPluginClass, const char* sSource, HRESULT (STDMETHODCALLTYPE _ZarqPlugin::*op)());

    bool m_bPlaySound = false;
    bool m_bUseDefaultSound = false;
    bool m_bChangeCursor = false;
    bool m_bShowTrayIcon = false;
    std::wstring m_sSoundFile;
    std::wstring m_sEntryId;
    std::wstring m_sStoreId;
    std::wstring m_sFriendlyName;
    int32_t m_lCollectionPtr = 0;            // identity of the owning collection; no reference
    com::ComPtr<IDispatch> m_olNs;           // Outlook's MAPI NameSpace
    com::EventMember<IDispatch> m_olItems;   // the folder's Items, source of ItemAdd
    ItemCountWatch m_countWatch;             // the size of m_olItems as last compared
    com::ComPtr<ZarqPlugins> m_plugins;      // the plug-ins switched on for this folder, in order
    std::optional<PendingPlugins> m_pending; // instead, until the folder binds
};
