#include "AddinSeams.h"

#include <mmsystem.h>

// Each entry calls the system function when it is called, not an address
// taken once at load time: a host program that routes the module's imports
// through its own trace sees every call.
AddinSeams RealAddinSeams() noexcept
{
    return AddinSeams{
        [](DWORD message, PNOTIFYICONDATAW data) WINAPI { return ::Shell_NotifyIconW(message, data); },
        [](LPCWSTR sound, HMODULE module, DWORD flags) WINAPI { return ::PlaySoundW(sound, module, flags); },
        [](HINSTANCE instance, LPCSTR name) WINAPI { return ::LoadCursorA(instance, name); },
        [](HICON icon) WINAPI { return ::CopyIcon(icon); },
        [](HCURSOR cursor, DWORD id) WINAPI { return ::SetSystemCursor(cursor, id); },
        [](DWORD ms) WINAPI { ::Sleep(ms); },
        [](HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc)
            WINAPI { return ::SetTimer(window, id, elapse, proc); },
    };
}

AddinSeams g_addinSeams = RealAddinSeams();

DWORD g_dwItemCountInterval = kItemCountInterval;
