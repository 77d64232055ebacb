// The probe add-in: at connection it asks the Application for the "MAPI"
// namespace, the inbox (by GetDefaultFolder and by GetFolderFromID with and
// without store) and watches the inbox's items; it adds a probe page to
// the Properties dialog of mail folders; a double-click on its tray window
// shows the folder of the latest item in the explorer. It records all of it.
#pragma once

#include <list>
#include <memory>
#include <string>

#include "com/ComObject.h"
#include "com/EventSink.h"
#include "hostprobe.h"
#include "outlook.h"

class ProbeTrayWindow;

class ProbeAddin final : public com::ComObject<ProbeAddin, IProbeAddin, _IDTExtensibility2, ISupportErrorInfo> {
  public:
    static const wchar_t* ErrorSource() noexcept { return L"corvaneHostProbe.Addin"; }

    // failConnection: OnConnection records its call, then fails.
    explicit ProbeAddin(bool failConnection = false);
    ~ProbeAddin() override;

    // IProbeAddin
    HRESULT STDMETHODCALLTYPE get_LastItem(IDispatch** value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_LastPage(IDispatch** value) noexcept override;
    HRESULT STDMETHODCALLTYPE Watch(IDispatch* Folder) noexcept override;

    // _IDTExtensibility2
    HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* Application, ext_ConnectMode ConnectMode, IDispatch* AddInInst,
                                           SAFEARRAY** custom) noexcept override;
    HRESULT STDMETHODCALLTYPE OnDisconnection(ext_DisconnectMode RemoveMode, SAFEARRAY** custom) noexcept override;
    HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) noexcept override;
    HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) noexcept override;
    HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) noexcept override;

    // From the tray window.
    void TrayDoubleClick();

  private:
    struct Watched {
        com::ComPtr<IDispatch> folder;
        std::wstring name;
        std::unique_ptr<com::EventMember<IDispatch>> items;
    };

    void OnItemAdd(const std::wstring& folderName, IDispatch* folder, IDispatch* item);
    void OnOptionsPagesAdd(IDispatch* pages, IDispatch* folder);
    void AskForInbox();

    com::ComPtr<IDispatch> m_app;
    com::EventMember<IDispatch> m_ns;
    std::list<Watched> m_watched;
    com::ComPtr<IDispatch> m_lastItem;
    com::ComPtr<IDispatch> m_lastFolder;
    com::ComPtr<IDispatch> m_lastPage;
    std::unique_ptr<ProbeTrayWindow> m_tray;
    bool m_failConnection;
};
