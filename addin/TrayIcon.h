// One icon in the taskbar notification area, through the shell's
// notification-icon call with the version-1 record in its wide-character
// form, so that a tooltip keeps the characters of any script.
#pragma once

#include <windows.h>

#include <string_view>

class TrayIcon {
  public:
    static constexpr UINT kCallbackMessage = WM_USER + 1; // 1025
    static constexpr size_t kTooltipChars = 64;

    TrayIcon() = default;
    ~TrayIcon();
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    bool Add(HWND hWnd, HICON hIcon);
    void ModifyIcon(HICON hIcon);
    void ModifyTooltip(std::wstring_view sTooltip);
    void Remove();

    bool Visible() const noexcept { return m_bVisible; }
    UINT Id() const noexcept { return m_lId; }
    HICON Icon() const noexcept { return m_hIcon; }

    // The record's size: the platform's version-1 size of the shell's record.
    static DWORD RecordSize() noexcept;

  private:
    HWND m_hWnd = nullptr;
    HICON m_hIcon = nullptr;
    UINT m_lId = 1;
    bool m_bVisible = false;
};
