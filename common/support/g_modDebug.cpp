#include "g_modDebug.h"

#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <cwchar>
#include <iterator>
#include <optional>
#include <string_view>

#include "com/ComModule.h"
#include "com/ComRaii.h"
#include "frmError.h"
#include "g_modNewFunc.h"
#include "g_modSeams.h"

namespace {

const wchar_t* LevelText(long lType) noexcept
{
    switch (lType) {
    case LogInformation:
        return L"Information";
    case LogWarning:
        return L"Warning";
    case LogError:
        return L"Error";
    case LogDebug:
        return L"Debug";
    default:
        return L"Unknown";
    }
}

// One line of a record: the label padded with blanks to nine characters, a
// colon, a blank, the content.
void AppendLine(std::wstring& sRecord, std::wstring_view sLabel, std::wstring_view sContent)
{
    constexpr size_t kLabelWidth = 9;
    sRecord += sLabel;
    if (sLabel.size() < kLabelWidth)
        sRecord.append(kLabelWidth - sLabel.size(), L' ');
    sRecord += L": ";
    sRecord += sContent;
    sRecord += L"\r\n";
}

// "dd.mm.yyyy, hh:mm:ss"
std::wstring DateTimeText(const SYSTEMTIME& t)
{
    wchar_t text[32] = {};
    std::swprintf(text, std::size(text), L"%02u.%02u.%04u, %02u:%02u:%02u", t.wDay, t.wMonth, t.wYear, t.wHour,
                  t.wMinute, t.wSecond);
    return text;
}

// "0x" and the module's instance handle in upper-case hexadecimal, at least
// eight digits; a 64-bit handle keeps all of its digits.
std::wstring InstanceText()
{
    wchar_t text[32] = {};
    std::swprintf(text, std::size(text), L"0x%08llX",
                  static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(com::Module::Instance())));
    return text;
}

std::wstring BuildRecord(long lType, const LogText& sMessage, const LogText& sSource, long lCode,
                         const LogText& sDescription, bool bDetailed)
{
    SYSTEMTIME now{};
    g_supportSeams.GetLocalTime(&now);

    std::wstring sRecord;
    AppendLine(sRecord, L"Type", LevelText(lType));
    AppendLine(sRecord, L"Message", sMessage.Wide());
    AppendLine(sRecord, L"Source", sSource.Wide());
    if (bDetailed) {
        AppendLine(sRecord, L"Code", std::to_wstring(lCode));
        AppendLine(sRecord, L"Descript.", sDescription.Wide());
    }
    AppendLine(sRecord, L"Date/Time", DateTimeText(now));
    if (bDetailed) {
        AppendLine(sRecord, L"User", com::Widen(CurrentComputerName() + "/" + CurrentUserName()));
        AppendLine(sRecord, L"Version", com::Widen(ModuleVersionText()));
        AppendLine(sRecord, L"Instance", InstanceText());
    }
    // The separator ends the record; the line break after it lets the next
    // record start on a line of its own.
    sRecord += L"-----------\r\n";
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

// The encoding of the log file.
//
// A file this version starts (a missing file, or an empty one as an
// installer may leave it for its users) is written in UTF-8 and begins with
// the byte order mark: every text of a record survives, whatever script a
// folder's name or a path is written in, and editors tell the encoding by
// the mark. For ASCII text the records are byte for byte those of earlier
// versions.
//
// A file without the mark was started by an earlier version, in the ANSI
// code page. A record that fits that code page is appended in it, so the
// file stays in one encoding. The first record that does not fit converts
// the file to UTF-8 with the mark, in place, and is then appended in UTF-8:
// a user may be allowed to write this one file and nothing else in its
// folder, so there is no second file and no rename. See ConvertToUtf8 for
// why no record is lost when the conversion is cut short.
//
// Without read access the encoding cannot be learnt: such a file counts as
// one of an earlier version. If it cannot be rewritten either (the user may
// only append to it, or another process is writing it at that moment), the
// record is appended in the ANSI code page as an earlier version would have
// written it, characters outside the code page replaced: the file stays
// readable in its one encoding.
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
enum class LogEncoding { NewFile, Utf8, Ansi };

// Conversions are written in blocks of this size.
constexpr size_t kRewriteBlock = 4096;

OVERLAPPED At(ULONGLONG offset) noexcept
{
    OVERLAPPED at{};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(offset >> 32);
    return at;
}

// Writes all bytes at the offset; ~0 is the end of the file.
bool WriteAt(HANDLE file, ULONGLONG offset, std::string_view bytes) noexcept
{
    OVERLAPPED at = At(offset);
    DWORD written = 0;
    return g_supportSeams.WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, &at) &&
           written == bytes.size();
}

bool AppendBytes(HANDLE file, std::string_view bytes) noexcept { return WriteAt(file, ~0ULL, bytes); }

bool ReadAt(HANDLE file, ULONGLONG offset, char* buffer, DWORD size) noexcept
{
    OVERLAPPED at = At(offset);
    DWORD read = 0;
    return ::ReadFile(file, buffer, size, &read, &at) && read == size;
}

LogEncoding EncodingOf(HANDLE file) noexcept
{
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size))
        return LogEncoding::Ansi;
    if (size.QuadPart == 0)
        return LogEncoding::NewFile;
    char head[3] = {};
    if (size.QuadPart >= static_cast<LONGLONG>(sizeof head) && ReadAt(file, 0, head, sizeof head) &&
        std::string_view(head, sizeof head) == kByteOrderMark)
        return LogEncoding::Utf8;
    return LogEncoding::Ansi;
}

// The record in the ANSI code page, if every character of it has a place
// there (it comes back unchanged from the code page).
std::optional<std::string> InAnsiCodePage(const std::wstring& sRecord)
{
    std::string ansi = com::Narrow(sRecord);
    if (com::Widen(ansi) != sRecord)
        return std::nullopt;
    return ansi;
}

bool ReadWhole(HANDLE file, std::string& sContent)
{
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file, &size) || size.QuadPart < 0 || size.QuadPart > MAXDWORD)
        return false;
    sContent.assign(static_cast<size_t>(size.QuadPart), '\0');
    return sContent.empty() || ReadAt(file, 0, sContent.data(), static_cast<DWORD>(sContent.size()));
}

// Rewrites a file of an earlier version in UTF-8 with the mark, in its place,
// and appends the record. False if the file cannot be opened for this; it is
// then unchanged. No other process writes the file meanwhile.
//
// Every character takes at least as many bytes in UTF-8 as in an ANSI code
// page, and the mark comes first: each old byte's new form lies at a later
// offset than the byte itself. So the new content is written from its end
// towards its start, block by block: whenever the writing stops, the file
// holds the old content up to the last block written, and from there the
// new content, which begins before the old content ends. Every record is
// still in the file, each whole in one of the two encodings; the mark, at
// offset 0, is written last, so an unfinished file still counts as an
// earlier version's.
bool ConvertToUtf8(const std::wstring& sPath, const std::wstring& sRecord)
{
    com::UniqueFileHandle file(::CreateFileW(sPath.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string sOld;
    if (!file || !ReadWhole(file.get(), sOld))
        return false;
    if (sOld.starts_with(kByteOrderMark)) { // converted by another process meanwhile
        AppendBytes(file.get(), com::ToUtf8(sRecord));
        return true;
    }
    std::string sNew(kByteOrderMark);
    sNew += com::ToUtf8(com::Widen(sOld));
    for (size_t end = sNew.size(); end > 0;) {
        const size_t begin = end > kRewriteBlock ? end - kRewriteBlock : 0;
        if (!WriteAt(file.get(), begin, std::string_view(sNew).substr(begin, end - begin)))
            return true; // the file holds every record; this one is lost
        end = begin;
    }
    WriteAt(file.get(), sNew.size(), com::ToUtf8(sRecord));
    return true;
}

// Opens the file for this one record only: OPEN_ALWAYS appends to an existing
// file and creates a missing one; the file is never truncated.
void AppendToFile(const std::wstring& sPath, const std::wstring& sRecord)
{
    if (sPath.empty())
        return;
    constexpr DWORD kShare = FILE_SHARE_READ | FILE_SHARE_WRITE;
    com::UniqueFileHandle file(::CreateFileW(sPath.c_str(), FILE_READ_DATA | FILE_APPEND_DATA, kShare, nullptr,
                                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    const bool readable = static_cast<bool>(file);
    if (!readable)
        file.reset(::CreateFileW(sPath.c_str(), FILE_APPEND_DATA, kShare, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                 nullptr));
    if (!file)
        return;
    switch (readable ? EncodingOf(file.get()) : LogEncoding::Ansi) {
    case LogEncoding::NewFile:
        AppendBytes(file.get(), std::string(kByteOrderMark) + com::ToUtf8(sRecord));
        return;
    case LogEncoding::Utf8:
        AppendBytes(file.get(), com::ToUtf8(sRecord));
        return;
    case LogEncoding::Ansi:
        break;
    }
    if (const std::optional<std::string> ansi = InAnsiCodePage(sRecord)) {
        AppendBytes(file.get(), *ansi);
        return;
    }
    file.reset(); // the conversion shares the file with no other writer
    if (!readable || !ConvertToUtf8(sPath, sRecord)) {
        file.reset(::CreateFileW(sPath.c_str(), FILE_APPEND_DATA, kShare, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                 nullptr));
        if (file)
            AppendBytes(file.get(), com::Narrow(sRecord));
    }
}

} // namespace

std::wstring LogText::Wide() const { return m_bWide ? std::wstring(m_wide) : com::Widen(m_narrow); }

void WriteLog(long lType, LogText sMessage, LogText sSource, long lCode, LogText sDescription, bool bDetailed) noexcept
{
    try {
        AppendToFile(LogFilePath(), BuildRecord(lType, sMessage, sSource, lCode, sDescription, bDetailed));
    } catch (...) {
        // The record is lost; reporting a failure never fails visibly.
    }
}

void ReportError(LogText sProc, LogText sError, long lError, bool bNoDialog) noexcept
{
    WriteLog(LogError, "An application error occured", sProc, lError, sError, true);
    if (bNoDialog)
        return;
    try {
        frmError form;
        if (form.Load()) {
            // The dialog's texts are in the ANSI code page.
            form.SetErrorMessage(com::Narrow(sProc.Wide()), lError, com::Narrow(sError.Wide()));
            form.Show();
        }
    } catch (...) {
        // The record is written; the dialog is simply not shown.
    }
}
