#include "SeamRecorder.h"

#include <cstdio>

#include "com/ComRaii.h"

std::vector<std::string> SeamRecorder::calls;
std::vector<SeamRecorder::ShellCall> SeamRecorder::shellCalls;
BOOL SeamRecorder::shellResult = TRUE;
HCURSOR SeamRecorder::loadCursorResult = nullptr;
HICON SeamRecorder::copyIconResult = nullptr;

namespace {

std::string Hex(ULONG_PTR value)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%llX", static_cast<unsigned long long>(value));
    return text;
}

BOOL WINAPI RecShell(DWORD message, PNOTIFYICONDATAW data)
{
    SeamRecorder::shellCalls.push_back({message, *data});
    SeamRecorder::calls.push_back("Shell_NotifyIconW " + std::to_string(message));
    return SeamRecorder::shellResult;
}

BOOL WINAPI RecPlaySound(LPCWSTR sound, HMODULE, DWORD flags)
{
    SeamRecorder::calls.push_back("PlaySoundW " + com::ToUtf8(sound ? sound : L"") + " " + Hex(flags));
    return TRUE;
}

HCURSOR WINAPI RecLoadCursor(HINSTANCE instance, LPCSTR name)
{
    const bool system = instance == nullptr;
    SeamRecorder::calls.push_back(std::string("LoadCursorA ") + (system ? "system " : "module ") +
                                  std::to_string(reinterpret_cast<ULONG_PTR>(name)));
    return SeamRecorder::loadCursorResult ? SeamRecorder::loadCursorResult : ::LoadCursorA(instance, name);
}

HICON WINAPI RecCopyIcon(HICON icon)
{
    SeamRecorder::calls.push_back("CopyIcon");
    (void)icon;
    return SeamRecorder::copyIconResult ? SeamRecorder::copyIconResult : ::CopyIcon(icon);
}

BOOL WINAPI RecSetSystemCursor(HCURSOR cursor, DWORD id)
{
    SeamRecorder::calls.push_back("SetSystemCursor " + std::to_string(id));
    // The system would own the handle; the test gives it back at once.
    if (cursor && cursor != SeamRecorder::copyIconResult)
        ::DestroyCursor(cursor);
    return TRUE;
}

void WINAPI RecSleep(DWORD ms) { SeamRecorder::calls.push_back("Sleep " + std::to_string(ms)); }

// No timer is started: the test fires it when it wants.
UINT_PTR WINAPI RecSetTimer(HWND, UINT_PTR id, UINT elapse, TIMERPROC)
{
    SeamRecorder::calls.push_back("SetTimer " + std::to_string(id) + " " + std::to_string(elapse));
    return id;
}

} // namespace

SeamRecorder::SeamRecorder() : m_saved(g_addinSeams)
{
    calls.clear();
    shellCalls.clear();
    shellResult = TRUE;
    loadCursorResult = nullptr;
    copyIconResult = nullptr;
    g_addinSeams = AddinSeams{&RecShell,           &RecPlaySound, &RecLoadCursor, &RecCopyIcon,
                              &RecSetSystemCursor, &RecSleep,     &RecSetTimer};
}

SeamRecorder::~SeamRecorder() { g_addinSeams = m_saved; }
