// The REGEDIT4 writer of Export: the header, one key line per key and one
// value line per value, each line ending in CR LF. One small function per
// kind of value. Nothing is written that would import as something else:
// a string the quoted form cannot carry goes out as hex(1), and a value
// name the name part cannot carry is refused with EInvalidData.
#pragma once

#include <windows.h>

#include <span>
#include <string>
#include <string_view>

#include "RootKeyTable.h"
#include "com/ComRaii.h"

namespace reg {

// Appends "REGEDIT4" and its line end.
void AppendHeader(std::string& out);
// Appends the empty line and "[path]" for a key path given without its leading backslash.
void AppendKeyLine(std::string& out, std::string_view path);
// Appends one value line.
void AppendValueLine(std::string& out, std::string_view name, DWORD type, std::span<const BYTE> data);

// A file that Export creates (never overwrites) and fills through a buffer;
// it appears under its name only once Close succeeded.
class RegFileWriter {
  public:
    explicit RegFileWriter(const std::string& fileName);
    RegFileWriter(const RegFileWriter&) = delete;
    RegFileWriter& operator=(const RegFileWriter&) = delete;
    ~RegFileWriter(); // unless Close succeeded: nothing is left on the disk

    std::string& Buffer() noexcept { return m_buffer; }
    // Writes the buffer once it has grown past a threshold.
    void FlushIfFull();
    // Writes what is left, closes the file and gives it its name; failures
    // raise EMessageFromSystem.
    void Close();

  private:
    void Flush();

    std::string m_target;
    std::string m_partial; // where the file is written until it is complete
    com::UniqueFileHandle m_file;
    std::string m_buffer;
    bool m_done = false;
};

// Export: the key (or HKEY_LOCAL_MACHINE and HKEY_USERS for an empty key),
// with its subtree if subKeys, to a new file.
void ExportToFile(const RootKeyTable& roots, const std::string& fileName, std::wstring_view key, bool subKeys);

} // namespace reg
