// The add-in's connect class: Outlook creates it, connects and disconnects
// it through IDTExtensibility2. It owns the watched-folder collection, the
// hidden tray window and the references to Outlook's object model, and it
// receives the events of all three.
#pragma once

#include <memory>
#include <string>

#include "FolderBinder.h"
#include "com/ComObject.h"
#include "com/EventSink.h"
#include "corvane.h"
#include "frmTrayIcon.h"

class Tarnwell final : public com::ComObject<Tarnwell, _Tarnwell, _IDTExtensibility2, ISupportErrorInfo>,
                       private frmTrayIconEvents,
                       private frmTrayIconMessages {
  public:
    static const wchar_t* ErrorSource() noexcept { return L"corvane.Tarnwell"; }
    static constexpr const wchar_t* kNoNewMail = L"Keine neuen Nachrichten";
    // Timer 2 of the tray window: the item-count checks, one tick a second
    // (timer 1 is the binder's). It ends with the window.
    static constexpr UINT_PTR kItemCountTimer = 2;
    static constexpr UINT kItemCountTick = 1000;

    Tarnwell();
    ~Tarnwell() override;

    // _IDTExtensibility2
    HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* Application, ext_ConnectMode ConnectMode, IDispatch* AddInInst,
                                           SAFEARRAY** custom) noexcept override;
    HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode RemoveMode, SAFEARRAY** custom) noexcept override;
    HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) noexcept override;
    HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) noexcept override;
    HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) noexcept override;

    // For the add-in's own tests: the collection and the tray window.
    _NotifyFolders* Folders() const noexcept { return m_nfFolders.Get(); }
    const std::shared_ptr<frmTrayIcon>& TrayWindow() const noexcept { return m_frmTrayIcon; }
    const FolderBinder* Binder() const noexcept { return m_binder.get(); }

  private:
    // Events
    void m_nfFolders_NfItemAdd(IDispatch* Item, const std::wstring& sFolderEntryId,
                               const std::wstring& sFolderStoreId) noexcept;
    // Runs in the event's guard: its steps may throw.
    void m_olNs_OptionsPagesAdd(IDispatch* Pages, IDispatch* Folder);
    void m_olApp_Quit() noexcept;
    void TrayIconLeftDblClick() noexcept override;
    void TrayIconLeftDown() noexcept override {}
    void TrayIconRightDblClick() noexcept override {}
    void TrayIconRightDown() noexcept override;
    bool TrayWindowMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) noexcept override;

    // Alert steps
    void HandleShowTrayIcon(_NotifyFolder* nf) noexcept;
    void HandlePlaySound(_NotifyFolder* nf) noexcept;
    void HandleShowCursor(_NotifyFolder* nf) noexcept;
    void ResetTrayIcon() noexcept;

    void AssignTrayWindow(std::shared_ptr<frmTrayIcon> form);
    void ReleaseTrayWindow() noexcept;
    // The configuration file: read at connection; written by the property
    // page through the collection, never by the connection lifecycle.
    void LoadFolders() noexcept;
    void SaveFolders() noexcept;
    // What closing Outlook ends, once, whichever of Quit and OnDisconnection
    // comes first: the tray icon leaves, the plug-ins are shut down, the
    // subscriptions to Outlook's events are dropped.
    void ShutDown() noexcept;
    // The tray window's timer compares the watched folders' item counts.
    void StartItemCountChecks() noexcept;

    com::EventMember<IDispatch> m_olApp;          // Outlook's Application, source of Quit
    com::EventMember<IDispatch> m_olNs;           // the "MAPI" NameSpace, source of OptionsPagesAdd
    com::EventMember<_NotifyFolders> m_nfFolders; // the watched folders, source of NfItemAdd
    std::shared_ptr<frmTrayIcon> m_frmTrayIcon;   // the tray window, source of the tray events
    std::unique_ptr<FolderBinder> m_binder;       // binds the configured folders after start-up
    std::wstring m_sLastEntryId;                  // folder of the latest new item
    std::wstring m_sLastStoreId;
    bool m_bShutDown = false; // ShutDown has run
};
