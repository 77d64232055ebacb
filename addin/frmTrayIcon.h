// The hidden window that owns the notification-area icon, holds its two
// pictures and turns the icon's mouse messages into events.
#pragma once

#include <windows.h>

#include <memory>
#include <string_view>
#include <vector>

#include "TrayIcon.h"
#include "com/ComRaii.h"
#include "ui/Window.h"

// What a listener of the tray window receives.
class frmTrayIconEvents {
  public:
    virtual void TrayIconLeftDblClick() = 0;
    virtual void TrayIconLeftDown() = 0;
    virtual void TrayIconRightDblClick() = 0;
    virtual void TrayIconRightDown() = 0;

  protected:
    ~frmTrayIconEvents() = default;
};

// The add-in's own messages to the window (posted work, timers): a handler
// says whether a message was its own.
class frmTrayIconMessages {
  public:
    virtual bool TrayWindowMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) noexcept = 0;

  protected:
    ~frmTrayIconMessages() = default;
};

class frmTrayIcon final : private ui::Window {
  public:
    static constexpr const wchar_t* kClassName = L"corvane.frmTrayIcon";
    enum MailIconType : long { mitNewMail = 0, mitNoNewMail = 1 };

    frmTrayIcon();
    ~frmTrayIcon() override;
    frmTrayIcon(const frmTrayIcon&) = delete;
    frmTrayIcon& operator=(const frmTrayIcon&) = delete;

    // Creates the hidden window and puts the icon into the notification area
    // in its no-new-mail state; Unload removes it. Failures are skipped.
    void Load() noexcept;
    void Unload() noexcept;

    void ShowMailIcon(long mit) noexcept;
    void ShowTooltip(std::wstring_view sTooltip) noexcept;

    // Raise the events (called by the window procedure).
    void WmLButtonDblClk() noexcept;
    void WmLButtonDown() noexcept;
    void WmRButtonDblClk() noexcept;
    void WmRButtonDown() noexcept;

    // The one listener (the connect class); null to stop listening.
    void SetListener(frmTrayIconEvents* listener) noexcept { m_listener = listener; }

    // Handlers of the add-in's own messages; WmPrivate offers a message to
    // each in turn and says whether one took it.
    void AddMessageHandler(frmTrayIconMessages* handler);
    void RemoveMessageHandler(frmTrayIconMessages* handler) noexcept;
    bool WmPrivate(UINT uMsg, WPARAM wParam, LPARAM lParam) noexcept;

    HWND Hwnd() const noexcept { return ui::Window::Hwnd(); }
    const TrayIcon* Icon() const noexcept { return m_TrayIcon.get(); }
    HICON imgNewMail() const noexcept { return m_imgNewMail.get(); }
    HICON imgNoNewMail() const noexcept { return m_imgNoNewMail.get(); }

  private:
    // ui::Window: the icon's messages come through the subclass procedure
    // (modSubClass); the window itself does what any window does.
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override { return Default(msg, wParam, lParam); }
    void OnDestroyed() noexcept override;

    // The pictures are declared before the tray icon, so that they outlive it.
    com::UniqueHIcon m_imgNoNewMail;
    com::UniqueHIcon m_imgNewMail;
    std::unique_ptr<TrayIcon> m_TrayIcon;
    frmTrayIconEvents* m_listener = nullptr;
    std::vector<frmTrayIconMessages*> m_handlers;
};

// The process's tray window, reached by its window procedure.
extern std::shared_ptr<frmTrayIcon> g_frmTrayIcon;
