// The error module: the component's log file and the error report.
//
// Each component writes its own log file, named after its module with
// ".log", in the directory its module was loaded from (corvane.log next to
// corvane.dll). A new file is written in UTF-8 and starts with a byte order
// mark; a file an earlier version started keeps its ANSI code page as long
// as the records fit it (the writer explains the rules).
// Neither routine ever fails visibly: a record that cannot be written is lost.
#pragma once

#include <string>
#include <string_view>

// The levels of the log records.
enum LogLevel : long { LogInformation = 0, LogWarning = 1, LogError = 2, LogDebug = 3 };

// A text of a record, viewed, never copied: narrow in the system's ANSI code
// page (literals, texts of the 8-bit system calls) or wide in UTF-16 (texts
// from Outlook, from COM and from the user, which may be in any script).
class LogText {
  public:
    LogText(const char* text) noexcept : m_narrow(text ? text : "") {}
    LogText(std::string_view text) noexcept : m_narrow(text) {}
    LogText(const std::string& text) noexcept : m_narrow(text) {}
    LogText(const wchar_t* text) noexcept : m_wide(text ? text : L""), m_bWide(true) {}
    LogText(std::wstring_view text) noexcept : m_wide(text), m_bWide(true) {}
    LogText(const std::wstring& text) noexcept : m_wide(text), m_bWide(true) {}

    // The text in UTF-16.
    std::wstring Wide() const;

  private:
    std::string_view m_narrow;
    std::wstring_view m_wide;
    bool m_bWide = false;
};

// Appends one record to the log file. lType is the level: 0 Information,
// 1 Warning, 2 Error, 3 Debug; any other value is written as Unknown. The
// short form holds type, message, source, date and time; bDetailed adds the
// code, the description, computer and user, the component's version and its
// module instance handle. The texts are taken as views, so that a call with
// literals allocates nothing before the routine's own guard: even without
// memory, reporting never ends the process.
void WriteLog(long lType, LogText sMessage, LogText sSource, long lCode, LogText sDescription, bool bDetailed) noexcept;

// Logs an unexpected error of the operation sProc as a detailed Error record
// and, unless bNoDialog, shows the modal error dialog with its details.
void ReportError(LogText sProc, LogText sError, long lError, bool bNoDialog) noexcept;
