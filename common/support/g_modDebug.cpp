#include "g_modDebug.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string_view>
#include <vector>

#include "com/ComModule.h"
#include "com/ComRaii.h"
#include "frmError.h"
#include "g_modNewFunc.h"
#include "g_modSeams.h"

namespace {

const char* LevelText(long lType) noexcept
{
    switch (lType) {
    case 0:
        return "Information";
    case 1:
        return "Warning";
    case 2:
        return "Error";
    case 3:
        return "Debug";
    default:
        return "Unknown";
    }
}

// One line of a record: the label padded with blanks to nine characters, a
// colon, a blank, the content.
void AppendLine(std::string& sRecord, std::string_view sLabel, std::string_view sContent)
{
    constexpr size_t kLabelWidth = 9;
    sRecord += sLabel;
    if (sLabel.size() < kLabelWidth)
        sRecord.append(kLabelWidth - sLabel.size(), ' ');
    sRecord += ": ";
    sRecord += sContent;
    sRecord += "\r\n";
}

// "dd.mm.yyyy, hh:mm:ss"
std::string DateTimeText(const SYSTEMTIME& t)
{
    char text[32] = {};
    std::snprintf(text, sizeof text, "%02u.%02u.%04u, %02u:%02u:%02u", t.wDay, t.wMonth, t.wYear, t.wHour, t.wMinute,
                  t.wSecond);
    return text;
}

// "0x" and the module's instance handle in upper-case hexadecimal, at least
// eight digits; a 64-bit handle keeps all of its digits.
std::string InstanceText()
{
    char text[32] = {};
    std::snprintf(text, sizeof text, "0x%08llX",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(com::Module::Instance())));
    return text;
}

std::string BuildRecord(long lType, std::string_view sMessage, std::string_view sSource, long lCode,
                        std::string_view sDescription, bool bDetailed)
{
    SYSTEMTIME now{};
    g_supportSeams.GetLocalTime(&now);

    std::string sRecord;
    AppendLine(sRecord, "Type", LevelText(lType));
    AppendLine(sRecord, "Message", sMessage);
    AppendLine(sRecord, "Source", sSource);
    if (bDetailed) {
        AppendLine(sRecord, "Code", std::to_string(lCode));
        AppendLine(sRecord, "Descript.", sDescription);
    }
    AppendLine(sRecord, "Date/Time", DateTimeText(now));
    if (bDetailed) {
        AppendLine(sRecord, "User", CurrentComputerName() + "/" + CurrentUserName());
        AppendLine(sRecord, "Version", ModuleVersionText());
        AppendLine(sRecord, "Instance", InstanceText());
    }
    // The separator ends the record; the line break after it lets the next
    // record start on a line of its own.
    sRecord += "-----------\r\n";
    return sRecord;
}

// The module's directory, its title (the file name without extension) and ".log".
std::wstring LogFilePath()
{
    const std::wstring path = com::Module::Path();
    if (path.empty())
        return {};
    const size_t slash = path.find_last_of(L"\\/");
    std::wstring title = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const size_t dot = title.find_last_of(L'.');
    if (dot != std::wstring::npos)
        title.resize(dot);
    return com::Module::Directory() + title + L".log";
}

// Opens the file for this one record only: OPEN_ALWAYS appends to an existing
// file and creates a missing one; the file is never truncated.
void AppendToFile(const std::wstring& sPath, const std::string& sText)
{
    if (sPath.empty())
        return;
    com::UniqueFileHandle file(::CreateFileW(sPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                             nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return;
    DWORD written = 0;
    ::WriteFile(file.get(), sText.data(), static_cast<DWORD>(sText.size()), &written, nullptr);
}

} // namespace

void WriteLog(long lType, std::string_view sMessage, std::string_view sSource, long lCode,
              std::string_view sDescription, bool bDetailed) noexcept
{
    try {
        AppendToFile(LogFilePath(), BuildRecord(lType, sMessage, sSource, lCode, sDescription, bDetailed));
    } catch (...) {
        // The record is lost; reporting a failure never fails visibly.
    }
}

void ReportError(std::string_view sProc, std::string_view sError, long lError, bool bNoDialog) noexcept
{
    WriteLog(LogError, "An application error occured", sProc, lError, sError, true);
    if (bNoDialog)
        return;
    try {
        frmError form;
        if (form.Load()) {
            form.SetErrorMessage(std::string(sProc), lError, std::string(sError));
            form.Show();
        }
    } catch (...) {
        // The record is written; the dialog is simply not shown.
    }
}
