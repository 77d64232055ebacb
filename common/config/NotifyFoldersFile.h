// The folder configuration file "notifyfolders.ini": its name and the names
// of its sections and keys. The add-in reads and writes it; the Outlook
// stand-in prepares one for its scenarios. Both take the names from here.
//
//   [Folder<n>]     one section per watched folder, numbered from 1:
//     EntryId, StoreId, FriendlyName, PlaySound, UseDefaultSound,
//     ShowTrayIcon, ChangeCursor, SoundFile, PluginCount, Plugin<m>
//     (Booleans are written 1 or 0), then the plug-ins' own keys;
//   [General]       FolderCount.
//
// The add-in writes the file whole, in place, between a first and a last
// line of its own (comment lines to the profile functions). A file that
// begins with the first line but holds no last line was being written when
// its writer stopped: the backup then holds the configuration. A file
// without either line comes from an earlier version or from a hand: it is
// read as it is.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace nffile {

inline constexpr wchar_t kFileName[] = L"notifyfolders.ini";
inline constexpr wchar_t kBackupName[] = L"notifyfolders.ini.bak";

inline constexpr wchar_t kFirstLine[] = L"; corvane folder configuration";
inline constexpr wchar_t kLastLine[] = L"; end of corvane folder configuration";

inline constexpr wchar_t kGeneral[] = L"General";
inline constexpr wchar_t kFolderCount[] = L"FolderCount";

inline constexpr wchar_t kEntryId[] = L"EntryId";
inline constexpr wchar_t kStoreId[] = L"StoreId";
inline constexpr wchar_t kFriendlyName[] = L"FriendlyName";
inline constexpr wchar_t kPlaySound[] = L"PlaySound";
inline constexpr wchar_t kUseDefaultSound[] = L"UseDefaultSound";
inline constexpr wchar_t kShowTrayIcon[] = L"ShowTrayIcon";
inline constexpr wchar_t kChangeCursor[] = L"ChangeCursor";
inline constexpr wchar_t kSoundFile[] = L"SoundFile";
inline constexpr wchar_t kPluginCount[] = L"PluginCount";

// "Folder<n>" and "Plugin<m>", counted from 1.
inline std::wstring FolderSection(long n) { return L"Folder" + std::to_wstring(n); }
inline std::wstring PluginKey(long m) { return L"Plugin" + std::to_wstring(m); }

// What a file's text holds, by its first and last lines.
enum class FileState {
    Missing,     // no file, or none that can be read
    Empty,       // no line at all: made empty, or emptied by a save that then stopped
    Complete,    // written whole by a save
    Interrupted, // a save stopped while writing it
    Unmarked,    // written by an earlier version or by hand
};

// The state of a file that exists. Blanks around a line and empty lines
// do not count; plug-ins may add sections of their own after the host's
// part, so the last line need not stay last.
inline FileState StateOf(std::wstring_view text)
{
    bool bFirst = true, bMarked = false;
    for (size_t at = 0; at < text.size();) {
        const size_t end = std::min(text.find_first_of(L"\r\n", at), text.size());
        std::wstring_view line = text.substr(at, end - at);
        at = end + 1;
        const size_t first = line.find_first_not_of(L" \t");
        if (first == std::wstring_view::npos)
            continue;
        line = line.substr(first, line.find_last_not_of(L" \t") - first + 1);
        if (bFirst && line != kFirstLine)
            return FileState::Unmarked;
        bFirst = false;
        if (line == kLastLine)
            bMarked = true;
    }
    return bFirst ? FileState::Empty : bMarked ? FileState::Complete : FileState::Interrupted;
}

} // namespace nffile
