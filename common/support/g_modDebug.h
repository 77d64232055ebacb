// The error module: the component's log file and the error report.
//
// Each component writes its own log file, named after its module with
// ".log", in the directory its module was loaded from (corvane.log next to
// corvane.dll). Strings are in the system's ANSI code page, as is the file.
// Neither routine ever fails visibly: a record that cannot be written is lost.
#pragma once

#include <string>

// The levels of the log records.
enum LogLevel : long { LogInformation = 0, LogWarning = 1, LogError = 2, LogDebug = 3 };

// Appends one record to the log file. lType is the level: 0 Information,
// 1 Warning, 2 Error, 3 Debug; any other value is written as Unknown. The
// short form holds type, message, source, date and time; bDetailed adds the
// code, the description, computer and user, the component's version and its
// module instance handle.
void WriteLog(long lType, const std::string& sMessage, const std::string& sSource, long lCode,
              const std::string& sDescription, bool bDetailed) noexcept;

// Logs an unexpected error of the operation sProc as a detailed Error record
// and, unless bNoDialog, shows the modal error dialog with its details.
void ReportError(const std::string& sProc, const std::string& sError, long lError, bool bNoDialog) noexcept;
