// What the tests of the support modules share: the seams table restored
// after each test, a fixed clock, and file helpers.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "g_modSeams.h"

// Puts the real seams back when the scope ends.
class SeamsScope {
  public:
    SeamsScope() = default;
    SeamsScope(const SeamsScope&) = delete;
    SeamsScope& operator=(const SeamsScope&) = delete;
    ~SeamsScope() { g_supportSeams = RealSupportSeams(); }
};

// A clock that always answers the same local time, counting its readings.
struct FixedClock {
    static SYSTEMTIME time;
    static int reads;
    static void WINAPI GetLocalTime(LPSYSTEMTIME lpSystemTime);
    static void Install(WORD day, WORD month, WORD year, WORD hour, WORD minute, WORD second);
};

// The directory of a module (null: this program) with a trailing backslash,
// found independently of the code under test.
std::wstring DirectoryOf(HMODULE module);
std::string ReadWholeFile(const std::wstring& sPath);
bool WriteWholeFile(const std::wstring& sPath, const std::string& sText);
bool PathExists(const std::wstring& sPath);
// Splits at CR LF; a text that ends in CR LF gives no empty last line.
std::vector<std::string> CrLfLines(const std::string& sText);
// The text of a window or of a dialog item.
std::wstring WindowText(HWND hwnd);
std::wstring ItemText(HWND hwnd, int id);
