// Explorer: Outlook's main window showing one folder. The application has
// one while the explorer is on; a closed explorer still answers, with errors.
#pragma once

#include <memory>
#include <string>

#include "com/ComObject.h"
#include "outlook.h"

namespace outlooksim {

class ExplorerWindow;
class Folder;
class Session;

class Explorer final : public com::ComObject<Explorer, _Explorer, ISupportErrorInfo> {
  public:
    static const wchar_t* ErrorSource() noexcept { return L"Microsoft Outlook"; }
    static constexpr const wchar_t* kClosed = L"Das Explorer-Fenster wurde geschlossen.";

    Explorer(std::shared_ptr<Session> session, Folder* current);
    ~Explorer() override;

    HRESULT STDMETHODCALLTYPE Activate() noexcept override;
    HRESULT STDMETHODCALLTYPE get_CurrentFolder(MAPIFolder** value) noexcept override;
    HRESULT STDMETHODCALLTYPE putref_CurrentFolder(MAPIFolder* value) noexcept override;

    Folder* Current() const noexcept { return m_current.Get(); }
    std::wstring CurrentName() const;
    bool Closed() const noexcept { return m_closed; }
    // Activations so far (the window, if any, came to the front each time).
    int Activations() const noexcept { return m_activations; }
    HWND Window() const noexcept;

    // Shows another folder (the stand-in's own doing, not a call of the add-in).
    void ShowFolder(Folder* folder) noexcept;
    void Refresh() noexcept;
    void Close() noexcept;

  private:
    Folder* FindOwnFolder(IUnknown* object) const noexcept;

    std::shared_ptr<Session> m_session;
    com::ComPtr<Folder> m_current;
    std::unique_ptr<ExplorerWindow> m_window;
    bool m_closed = false;
    int m_activations = 0;
};

} // namespace outlooksim
