// The splash window: the product's logo, shown modeless at connection; it
// closes itself 2.5 seconds after BeginTimer and frees itself.
#pragma once

#include <windows.h>

#include "com/ComRaii.h"
#include "ui/Window.h"

class frmSplash final : private ui::Window {
  public:
    static constexpr const wchar_t* kClassName = L"corvane.frmSplash";
    static constexpr UINT kInterval = 2500; // ms
    // The client area in twips, shown at the screen's pixels per inch.
    static constexpr int kWidthTwips = 6000;
    static constexpr int kHeightTwips = 3705;

    // Creates the window hidden with its timer off ("load"). Returns null
    // when the window cannot be created; the caller goes on without it.
    static frmSplash* Load() noexcept;

    void BeginTimer() noexcept;
    // Shows the window modeless, without an owner.
    void Show() noexcept;
    using ui::Window::Hwnd;

  private:
    frmSplash() = default;
    ~frmSplash() override = default;
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // The window is gone: the object frees itself.
    void OnDestroyed() noexcept override;
    void tSplash_Timer() noexcept;
    void Paint() noexcept;

    com::UniqueHBitmap m_imgLogo; // drawn over the whole client area
    bool m_tSplashEnabled = false;
    bool m_bMade = false; // CreateFor returned its window
};
