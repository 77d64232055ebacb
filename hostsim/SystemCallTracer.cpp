#include "SystemCallTracer.h"

#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <string_view>
#include <vector>

#include "AddinHost.h"
#include "ImportTable.h"
#include "ScenarioRunner.h"
#include "com/ComRaii.h"

namespace outlooksim {

namespace {

Trace* g_trace = nullptr;

// Real functions, taken from the system libraries themselves.
decltype(&::Shell_NotifyIconW) g_realShellNotifyIcon = nullptr;
decltype(&::PlaySoundW) g_realPlaySound = nullptr;
decltype(&::SetSystemCursor) g_realSetSystemCursor = nullptr;
decltype(&::Sleep) g_realSleep = nullptr;
decltype(&::SetTimer) g_realSetTimer = nullptr;
unsigned g_timerDivisor = 1;
bool g_skipLongWaits = false;

void Note(const std::wstring& text)
{
    if (g_trace)
        g_trace->Line(L"system: " + text);
}

// Icons are named by their order of first appearance: the add-in's pictures
// are its own handles, which the host does not otherwise know.
std::wstring IconName(HICON icon)
{
    static std::map<HICON, int> names;
    if (!icon)
        return L"none";
    auto it = names.find(icon);
    if (it == names.end())
        it = names.emplace(icon, static_cast<int>(names.size()) + 1).first;
    return L"picture " + std::to_wstring(it->second);
}

BOOL WINAPI TraceShellNotifyIcon(DWORD message, PNOTIFYICONDATAW data)
{
    BOOL ok = g_realShellNotifyIcon ? g_realShellNotifyIcon(message, data) : FALSE;
    if (g_trace && data) {
        static const wchar_t* const kCommands[] = {L"NIM_ADD", L"NIM_MODIFY", L"NIM_DELETE"};
        std::wstring text = L"Shell_NotifyIconW " + std::wstring(message < 3 ? kCommands[message] : L"?") + L" id=" +
                            std::to_wstring(data->uID);
        if (data->uFlags & NIF_ICON)
            text += L" icon=" + IconName(data->hIcon);
        if (data->uFlags & NIF_TIP) {
            const std::wstring_view field(data->szTip, std::size(data->szTip));
            text += L" tooltip=" + Trace::Quoted(std::wstring(field.substr(0, field.find(L'\0'))));
        }
        text += ok ? L" -> accepted" : L" -> refused";
        Note(text);
    }
    return ok;
}

BOOL WINAPI TracePlaySound(LPCWSTR sound, HMODULE module, DWORD flags)
{
    std::wstring flagText;
    if (flags & SND_ALIAS)
        flagText += L"SND_ALIAS|";
    flagText += (flags & SND_ASYNC) ? L"SND_ASYNC" : L"SND_SYNC";
    Note(L"PlaySoundW(" + Trace::Quoted(sound ? sound : L"") + L", " + flagText + L")");
    return g_realPlaySound ? g_realPlaySound(sound, module, flags) : FALSE;
}

BOOL WINAPI TraceSetSystemCursor(HCURSOR cursor, DWORD id)
{
    Note(L"SetSystemCursor(" + std::wstring(id == 32512 ? L"OCR_NORMAL" : std::to_wstring(id).c_str()) + L")");
    return g_realSetSystemCursor ? g_realSetSystemCursor(cursor, id) : FALSE;
}

void WINAPI TraceSleep(DWORD ms)
{
    // Only the waits a user would notice; short ones come from the runtime.
    if (ms >= 100)
        Note(L"Sleep(" + std::to_wstring(ms) + L")");
    if (ms >= 100 && g_skipLongWaits)
        return;
    if (g_realSleep)
        g_realSleep(ms);
}

// Only the tray window's timers: the splash window's are the user's to see.
UINT_PTR WINAPI TraceSetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc)
{
    wchar_t className[64] = {};
    ::GetClassNameW(window, className, 64);
    if (std::wstring_view(className) == ScenarioRunner::kTrayWindowClass) {
        Note(L"SetTimer(tray window, id " + std::to_wstring(id) + L", " + std::to_wstring(elapse) + L" ms)");
        elapse = std::max(1u, elapse / g_timerDivisor);
    }
    return g_realSetTimer ? g_realSetTimer(window, id, elapse, proc) : 0;
}

struct Hook {
    const char* dll;
    const char* name;
    void* wrapper;
};

const Hook kHooks[] = {
    {"shell32.dll", "Shell_NotifyIconW", reinterpret_cast<void*>(&TraceShellNotifyIcon)},
    {"winmm.dll", "PlaySoundW", reinterpret_cast<void*>(&TracePlaySound)},
    {"user32.dll", "SetSystemCursor", reinterpret_cast<void*>(&TraceSetSystemCursor)},
    {"kernel32.dll", "Sleep", reinterpret_cast<void*>(&TraceSleep)},
    {"user32.dll", "SetTimer", reinterpret_cast<void*>(&TraceSetTimer)},
};

void ResolveRealFunctions()
{
    auto get = [](const char* dll, const char* name) {
        HMODULE module = ::LoadLibraryA(dll);
        return module ? ::GetProcAddress(module, name) : nullptr;
    };
    g_realShellNotifyIcon = reinterpret_cast<decltype(g_realShellNotifyIcon)>(get("shell32.dll", "Shell_NotifyIconW"));
    g_realPlaySound = reinterpret_cast<decltype(g_realPlaySound)>(get("winmm.dll", "PlaySoundW"));
    g_realSetSystemCursor = reinterpret_cast<decltype(g_realSetSystemCursor)>(get("user32.dll", "SetSystemCursor"));
    g_realSleep = reinterpret_cast<decltype(g_realSleep)>(get("kernel32.dll", "Sleep"));
    g_realSetTimer = reinterpret_cast<decltype(g_realSetTimer)>(get("user32.dll", "SetTimer"));
}

} // namespace

bool SystemCallTracer::Attach(Trace& trace, const std::wstring& progId)
{
    const std::wstring path = AddinHost::LibraryPath(progId);
    if (path.empty())
        return false;
    // Loaded before the object is created, so that its first calls are seen;
    // COM finds the same module loaded. It stays loaded with the process.
    HMODULE module = ::LoadLibraryW(path.c_str());
    if (!module)
        return false;
    ResolveRealFunctions();
    g_trace = &trace;
    for (const Hook& hook : kHooks)
        ImportTable::Patch(module, hook.dll, hook.name, hook.wrapper);
    return true;
}

void SystemCallTracer::Detach() noexcept { g_trace = nullptr; }

void SystemCallTracer::SetTimerDivisor(unsigned divisor) noexcept { g_timerDivisor = std::max(1u, divisor); }

void SystemCallTracer::SkipLongWaits(bool skip) noexcept { g_skipLongWaits = skip; }

} // namespace outlooksim
