// The splash window: the product's logo, shown modeless at connection; it
// closes itself 2.5 seconds after BeginTimer and frees itself.
#pragma once

#include <windows.h>

class frmSplash {
public:
    static constexpr const char* kClassName = "corvane.frmSplash";
    static constexpr UINT kInterval = 2500; // ms
    static constexpr int kWidth = 400;      // client area in pixels (6000 x 3705 twips)
    static constexpr int kHeight = 247;

    // Creates the window hidden with its timer off ("load"). Returns null
    // when the window cannot be created; the caller goes on without it.
    static frmSplash* Load() noexcept;

    void BeginTimer() noexcept;
    // Shows the window modeless, without an owner.
    void Show() noexcept;
    HWND Hwnd() const noexcept { return m_hWnd; }

private:
    frmSplash() = default;
    ~frmSplash();
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void tSplash_Timer() noexcept;
    void Paint() noexcept;

    HWND m_hWnd = nullptr;
    HBITMAP m_imgLogo = nullptr;
    bool m_tSplashEnabled = false;
};
