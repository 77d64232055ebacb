#include "RegFileWriter.h"

#include <algorithm>

#include "RegistryErrors.h"
#include "SubtreeWalk.h"

namespace reg {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr size_t kFlushThreshold = 1 << 16;

void AppendHexBytes(std::string& out, std::span<const BYTE> data)
{
    static const char digits[] = "0123456789abcdef";
    for (size_t i = 0; i < data.size(); ++i) {
        if (i)
            out += ',';
        out += digits[data[i] >> 4];
        out += digits[data[i] & 0x0F];
    }
}

void AppendName(std::string& out, std::string_view name)
{
    if (name.empty()) {
        out += "@=";
        return;
    }
    // The reader ends a name at the next double quote and a line at a line break.
    if (name.find_first_of("\"\r\n") != std::string_view::npos)
        Raise(EInvalidData);
    out.append("\"").append(name).append("\"=");
}

void AppendHexTyped(std::string& out, DWORD type, std::span<const BYTE> data)
{
    char prefix[24];
    int n = ::wsprintfA(prefix, "hex(%x):", static_cast<unsigned>(type));
    out.append(prefix, static_cast<size_t>(n));
    AppendHexBytes(out, data);
}

// The quoted form carries a string only if it is terminated by its only zero
// byte and holds no line break (nor the end-of-file mark of text-mode readers).
bool Quotable(std::span<const BYTE> data)
{
    if (data.empty() || data.back() != 0)
        return false;
    return std::none_of(data.begin(), data.end() - 1,
                        [](BYTE b) { return b == 0 || b == '\r' || b == '\n' || b == 0x1A; });
}

void AppendString(std::string& out, std::span<const BYTE> data)
{
    if (!Quotable(data)) {
        AppendHexTyped(out, REG_SZ, data);
        return;
    }
    out += '"';
    out.append(reinterpret_cast<const char*>(data.data()), data.size() - 1);
    out += '"';
}

void AppendBinary(std::string& out, std::span<const BYTE> data)
{
    out += "hex:";
    AppendHexBytes(out, data);
}

void AppendDword(std::string& out, std::span<const BYTE> data)
{
    // "dword:" holds exactly four bytes; any other length would not read back.
    if (data.size() != 4) {
        AppendHexTyped(out, REG_DWORD, data);
        return;
    }
    static const char digits[] = "0123456789abcdef";
    out += "dword:";
    for (size_t i = 4; i-- > 0;) {
        out += digits[data[i] >> 4];
        out += digits[data[i] & 0x0F];
    }
}

void AppendData(std::string& out, DWORD type, std::span<const BYTE> data)
{
    switch (type) {
    case REG_SZ:
        AppendString(out, data);
        break;
    case REG_BINARY:
        AppendBinary(out, data);
        break;
    case REG_DWORD:
        AppendDword(out, data);
        break;
    default:
        // Every other type by its number, REG_NONE and types the table does
        // not name (REG_QWORD is 11) too: the reader takes any number there.
        AppendHexTyped(out, type, data);
    }
}

// Writes each key reached by the walk and its values.
class ExportVisitor final : public SubtreeVisitor {
  public:
    explicit ExportVisitor(RegFileWriter& file) : m_file(file) {}

    bool OnKey(const std::string& path, std::string_view) override
    {
        // A line break in a key name would end the key line early.
        if (path.find_first_of("\r\n") != std::string::npos)
            Raise(EInvalidData);
        AppendKeyLine(m_file.Buffer(), std::string_view(path).substr(1));
        m_file.FlushIfFull();
        return true;
    }
    bool OnValue(const std::string&, std::string_view name, DWORD type, std::span<const BYTE> data) override
    {
        AppendValueLine(m_file.Buffer(), name, type, data);
        m_file.FlushIfFull();
        return true;
    }

  private:
    RegFileWriter& m_file;
};

} // namespace

void AppendHeader(std::string& out) { out.append("REGEDIT4").append(kLineEnd); }

void AppendKeyLine(std::string& out, std::string_view path)
{
    out.append(kLineEnd).append("[").append(path).append("]").append(kLineEnd);
}

void AppendValueLine(std::string& out, std::string_view name, DWORD type, std::span<const BYTE> data)
{
    const size_t start = out.size();
    try {
        AppendName(out, name);
        AppendData(out, type, data);
    } catch (...) {
        out.resize(start); // no half line before the error
        throw;
    }
    out.append(kLineEnd);
}

// The file is written beside the target under a name of its own and takes
// the target's name only when it is complete, so a failed export leaves no
// file at all, never a part that would import as a backup.
RegFileWriter::RegFileWriter(const std::string& fileName) : m_target(fileName)
{
    // An existing file is never overwritten.
    if (::GetFileAttributesA(fileName.c_str()) != INVALID_FILE_ATTRIBUTES)
        RaiseSystem(ERROR_FILE_EXISTS);
    static LONG s_serial = 0;
    char suffix[40];
    ::wsprintfA(suffix, ".%lx-%lx.part", ::GetCurrentProcessId(),
                static_cast<unsigned long>(::InterlockedIncrement(&s_serial)));
    m_partial = fileName + suffix;
    m_file.reset(
        ::CreateFileA(m_partial.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_ARCHIVE, nullptr));
    if (!m_file)
        RaiseSystem(static_cast<LONG>(::GetLastError()));
}

RegFileWriter::~RegFileWriter()
{
    if (m_done)
        return;
    m_file.reset();
    ::DeleteFileA(m_partial.c_str());
}

void RegFileWriter::Flush()
{
    size_t done = 0;
    while (done < m_buffer.size()) {
        DWORD written = 0;
        if (!::WriteFile(m_file.get(), m_buffer.data() + done, static_cast<DWORD>(m_buffer.size() - done), &written,
                         nullptr))
            RaiseSystem(static_cast<LONG>(::GetLastError()));
        done += written;
    }
    m_buffer.clear();
}

void RegFileWriter::FlushIfFull()
{
    if (m_buffer.size() >= kFlushThreshold)
        Flush();
}

void RegFileWriter::Close()
{
    Flush();
    if (!::CloseHandle(m_file.release()))
        RaiseSystem(static_cast<LONG>(::GetLastError()));
    // Without MOVEFILE_REPLACE_EXISTING: a file that appeared under the
    // target's name meanwhile stays as it is, and the export fails.
    if (!::MoveFileExA(m_partial.c_str(), m_target.c_str(), MOVEFILE_WRITE_THROUGH))
        RaiseSystem(static_cast<LONG>(::GetLastError()));
    m_done = true;
}

void ExportToFile(const RootKeyTable& roots, const std::string& fileName, std::wstring_view key, bool subKeys)
{
    RegFileWriter file(fileName);
    AppendHeader(file.Buffer());
    ExportVisitor visitor(file);
    for (const std::wstring& start : StartKeys(roots, key))
        WalkSubtree(roots, start, subKeys, visitor);
    file.Close();
}

} // namespace reg
