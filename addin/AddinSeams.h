// The system calls whose effect a test must observe go through this table.
// It holds the real functions; a test may swap in recorders.
#pragma once

#include <windows.h>
#include <shellapi.h>

struct AddinSeams {
    BOOL(WINAPI* ShellNotifyIconW)(DWORD dwMessage, PNOTIFYICONDATAW lpData);
    BOOL(WINAPI* PlaySoundW)(LPCWSTR pszSound, HMODULE hmod, DWORD fdwSound);
    HCURSOR(WINAPI* LoadCursorA)(HINSTANCE hInstance, LPCSTR lpCursorName);
    HICON(WINAPI* CopyIcon)(HICON hIcon);
    BOOL(WINAPI* SetSystemCursor)(HCURSOR hcur, DWORD id);
    void(WINAPI* Sleep)(DWORD dwMilliseconds);
    // The tray window's timers: a test sees the intervals asked for and
    // fires the timer itself instead of waiting for it.
    UINT_PTR(WINAPI* SetTimer)(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc);
};

extern AddinSeams g_addinSeams;

// The table as it is at start: the real system calls.
AddinSeams RealAddinSeams() noexcept;

// The least time between two checks of one watched folder's item count
// (ms): a minute; tests shorten it.
inline constexpr DWORD kItemCountInterval = 60000;
extern DWORD g_dwItemCountInterval;
