#include "IniDocument.h"

#include <cstdint>

// The text model is portable (the fuzz targets build it on their own); only
// letter case and the file itself need the platform.
#ifdef _WIN32
#include <windows.h>

#include "com/ComRaii.h"
#endif

namespace {

constexpr std::wstring_view kSpace = L" \t\r\n\v\f";

std::wstring_view Trim(std::wstring_view s)
{
    const size_t first = s.find_first_not_of(kSpace);
    if (first == std::wstring_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(kSpace) - first + 1);
}

// A name or value ends at a NUL character, as a string of the profile functions does.
std::wstring_view UpToNul(std::wstring_view s) { return s.substr(0, s.find(L'\0')); }

// A name as the lookups compare it: trimmed, in upper case.
std::wstring Fold(std::wstring_view sName)
{
    std::wstring folded(Trim(UpToNul(sName)));
#ifdef _WIN32
    if (!folded.empty())
        ::CharUpperBuffW(folded.data(), static_cast<DWORD>(folded.size()));
#else
    for (wchar_t& c : folded)
        if (c >= L'a' && c <= L'z')
            c = static_cast<wchar_t>(c - L'a' + L'A');
#endif
    return folded;
}

// What the writer puts on one line: trimmed, line breaks as blanks.
std::wstring OneLine(std::wstring_view s)
{
    std::wstring line(Trim(UpToNul(s)));
    for (wchar_t& c : line)
        if (c == L'\r' || c == L'\n')
            c = L' ';
    return line;
}

// A value as the profile functions hand it out into nSize characters: an
// enclosing pair of equal quotes (' or ") is dropped, and the text is cut to
// nSize - 1 characters; the closing quote goes only when all of it fitted.
std::wstring Returned(std::wstring_view sValue, size_t nSize)
{
    if (nSize == 0)
        return {};
    const bool bQuoted =
        sValue.size() >= 2 && (sValue.front() == L'"' || sValue.front() == L'\'') && sValue.back() == sValue.front();
    if (bQuoted)
        sValue.remove_prefix(1);
    std::wstring out(sValue.substr(0, nSize - 1));
    if (bQuoted && nSize >= sValue.size() && !out.empty())
        out.pop_back();
    return out;
}

// The leading number of a text, as the profile functions read integers:
// blanks, a sign, a base prefix (0x, 0o, 0b), digits; wrapped to 32 bits.
int LeadingNumber(std::wstring_view s)
{
    size_t at = s.find_first_not_of(L' ');
    if (at == std::wstring_view::npos)
        return 0;
    bool bNegative = false;
    if (s[at] == L'+' || s[at] == L'-')
        bNegative = s[at++] == L'-';
    unsigned base = 10;
    if (at + 1 < s.size() && s[at] == L'0') {
        const wchar_t prefix = static_cast<wchar_t>(s[at + 1] | 0x20);
        base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : prefix == 'b' ? 2 : 10;
        if (base != 10)
            at += 2;
    }
    uint32_t value = 0;
    for (; at < s.size(); ++at) {
        const wchar_t c = static_cast<wchar_t>(s[at] | 0x20);
        const unsigned digit = c >= L'0' && c <= L'9'   ? static_cast<unsigned>(c - L'0')
                               : c >= L'a' && c <= L'f' ? static_cast<unsigned>(c - L'a' + 10)
                                                        : base;
        if (digit >= base)
            break;
        value = value * base + digit;
    }
    return static_cast<int>(bNegative ? 0u - value : value);
}

} // namespace

IniDocument IniDocument::Parse(std::wstring_view sText)
{
    IniDocument doc;
    Section* current = &doc.AddSection(L""); // keys before the first section header
    while (!sText.empty()) {
        const size_t end = sText.find_first_of(L"\r\n");
        const std::wstring_view line = Trim(sText.substr(0, end));
        sText.remove_prefix(end == std::wstring_view::npos ? sText.size() : end + 1);
        if (line.empty())
            continue;
        const size_t close = line.rfind(L']');
        if (line.front() == L'[' && close != std::wstring_view::npos) {
            current = &doc.AddSection(Trim(UpToNul(line.substr(1, close - 1))));
            continue;
        }
        const size_t equals = line.find(L'=');
        Entry entry;
        entry.sKey = Trim(UpToNul(line.substr(0, equals)));
        entry.sFolded = Fold(entry.sKey);
        entry.bHasValue = equals != std::wstring_view::npos;
        if (entry.bHasValue)
            entry.sValue = Trim(UpToNul(line.substr(equals + 1)));
        if (entry.bHasValue || !entry.sKey.empty()) // a line of NULs holds nothing
            current->entries.push_back(std::move(entry));
    }
    return doc;
}

IniDocument::Section& IniDocument::AddSection(std::wstring_view sName)
{
    m_firstSection.try_emplace(Fold(sName), m_sections.size());
    return m_sections.emplace_back(Section{std::wstring(sName), {}});
}

const IniDocument::Section* IniDocument::FindSection(std::wstring_view sSection) const
{
    const auto found = m_firstSection.find(Fold(sSection));
    return found == m_firstSection.end() ? nullptr : &m_sections[found->second];
}

const IniDocument::Entry* IniDocument::FindEntry(std::wstring_view sSection, std::wstring_view sKey) const
{
    const Section* section = FindSection(sSection);
    if (!section)
        return nullptr;
    const std::wstring key = Fold(sKey);
    for (const Entry& entry : section->entries)
        if (entry.sFolded == key)
            return &entry;
    return nullptr;
}

std::vector<std::pair<std::wstring, std::wstring>> IniDocument::SectionEntries(std::wstring_view sSection) const
{
    std::vector<std::pair<std::wstring, std::wstring>> entries;
    if (const Section* section = FindSection(sSection))
        for (const Entry& entry : section->entries)
            if (entry.bHasValue)
                entries.emplace_back(entry.sKey, entry.sValue);
    return entries;
}

std::wstring IniDocument::GetString(std::wstring_view sSection, std::wstring_view sKey, std::wstring_view sDefault,
                                    size_t nSize) const
{
    const Entry* entry = FindEntry(sSection, sKey);
    if (entry && entry->bHasValue)
        return Returned(entry->sValue, nSize);
    sDefault = UpToNul(sDefault);
    sDefault = sDefault.substr(0, sDefault.find_last_not_of(L' ') + 1);
    return std::wstring(sDefault.substr(0, nSize ? nSize - 1 : 0));
}

int IniDocument::GetInt(std::wstring_view sSection, std::wstring_view sKey, int nDefault) const
{
    // The profile functions read the number through a buffer of 30 characters.
    const std::wstring text = GetString(sSection, sKey, L"", 30);
    return text.empty() ? nDefault : LeadingNumber(text);
}

void IniDocument::SetString(std::wstring_view sSection, std::wstring_view sKey, std::wstring_view sValue)
{
    const std::wstring name = OneLine(sSection);
    const auto found = m_firstSection.find(Fold(name));
    Section& section = found == m_firstSection.end() ? AddSection(name) : m_sections[found->second];
    const std::wstring key = OneLine(sKey);
    const std::wstring folded = Fold(key);
    for (Entry& entry : section.entries) {
        if (entry.sFolded == folded) {
            entry.sValue = OneLine(sValue);
            entry.bHasValue = true;
            return;
        }
    }
    section.entries.push_back(Entry{key, folded, OneLine(sValue), true});
}

std::vector<std::wstring> IniDocument::SectionNames() const
{
    std::vector<std::wstring> names;
    for (size_t i = 1; i < m_sections.size(); ++i) // the first holds the keys before any header
        names.push_back(m_sections[i].sName);
    return names;
}

std::wstring IniDocument::Text() const
{
    std::wstring text;
    for (const Section& section : m_sections) {
        if (!section.sName.empty())
            text.append(L"[").append(section.sName).append(L"]\r\n");
        for (const Entry& entry : section.entries) {
            text += entry.sKey;
            if (entry.bHasValue)
                text.append(L"=").append(entry.sValue);
            text += L"\r\n";
        }
    }
    return text;
}

namespace {

constexpr std::string_view kUtf16Mark = "\xFF\xFE";

std::string Utf16Bytes(std::wstring_view sText)
{
    std::string bytes(kUtf16Mark);
    bytes.reserve(2 + 2 * sText.size());
    for (const wchar_t c : sText) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>((c >> 8) & 0xFF);
    }
    return bytes;
}

// The text of bytes in the 8-bit code page; nothing when a character would not survive.
#ifdef _WIN32
std::wstring CodePageText(std::string_view sBytes) { return com::Widen(sBytes); }

std::optional<std::string> CodePageBytes(std::wstring_view sText)
{
    if (sText.empty())
        return std::string();
    // Without best-fit mapping, a character with no place of its own in the
    // code page is reported instead of being written as a look-alike.
    BOOL bLost = FALSE;
    const int length = ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, sText.data(), static_cast<int>(sText.size()),
                                             nullptr, 0, nullptr, &bLost);
    if (length <= 0 || bLost)
        return std::nullopt;
    std::string bytes(static_cast<size_t>(length), '\0');
    ::WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, sText.data(), static_cast<int>(sText.size()), bytes.data(),
                          length, nullptr, &bLost);
    if (bLost || CodePageText(bytes) != sText)
        return std::nullopt;
    return bytes;
}
#else
// Built on its own (the fuzz targets): the code page is taken as Latin-1.
std::wstring CodePageText(std::string_view sBytes)
{
    std::wstring text;
    for (const char c : sBytes)
        text += static_cast<wchar_t>(static_cast<unsigned char>(c));
    return text;
}

std::optional<std::string> CodePageBytes(std::wstring_view sText)
{
    std::string bytes;
    for (const wchar_t c : sText) {
        if (c == 0 || static_cast<unsigned>(c) > 0xFF)
            return std::nullopt;
        bytes += static_cast<char>(c);
    }
    return bytes;
}
#endif

} // namespace

std::wstring IniDocument::Decode(std::string_view sBytes)
{
    if (sBytes.substr(0, 2) != kUtf16Mark)
        return CodePageText(sBytes);
    sBytes.remove_prefix(2);
    std::wstring text;
    text.reserve(sBytes.size() / 2);
    for (size_t i = 0; i + 1 < sBytes.size(); i += 2)
        text += static_cast<wchar_t>(static_cast<unsigned char>(sBytes[i]) | static_cast<unsigned char>(sBytes[i + 1])
                                                                                 << 8);
    return text;
}

std::string IniDocument::Encode(std::wstring_view sText)
{
    // A text that begins with the mark's own bytes in the code page would
    // read back as UTF-16: it is written as UTF-16 itself.
    std::optional<std::string> bytes = CodePageBytes(sText);
    if (bytes && bytes->substr(0, 2) != kUtf16Mark)
        return *std::move(bytes);
    return Utf16Bytes(sText);
}

#ifdef _WIN32

std::optional<std::string> IniDocument::ReadBytes(const std::wstring& sFile)
{
    std::optional<std::string> bytes;
    DWORD error = ERROR_SUCCESS;
    {
        com::UniqueFileHandle file(::CreateFileW(sFile.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        LARGE_INTEGER size{};
        DWORD read = 0;
        if (!file || !::GetFileSizeEx(file.get(), &size)) {
            error = ::GetLastError();
        } else if (size.QuadPart > 0x7FFFFFFF) {
            error = ERROR_FILE_TOO_LARGE;
        } else {
            bytes.emplace(static_cast<size_t>(size.QuadPart), '\0');
            if (::ReadFile(file.get(), bytes->data(), static_cast<DWORD>(bytes->size()), &read, nullptr)) {
                bytes->resize(read);
            } else {
                error = ::GetLastError();
                bytes.reset();
            }
        }
    }
    // The failure's code outlives the closing of the handle.
    ::SetLastError(error);
    return bytes;
}

bool IniDocument::WriteBytesInPlace(const std::wstring& sFile, std::string_view sBytes)
{
    DWORD error = ERROR_SUCCESS;
    {
        // OPEN_ALWAYS opens the file as it is (CREATE_ALWAYS would replace
        // its attributes); emptying it is a step of its own.
        com::UniqueFileHandle file(::CreateFileW(sFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                                 FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD written = 0;
        if (!file || !::SetEndOfFile(file.get()) || !::FlushFileBuffers(file.get()) ||
            !::WriteFile(file.get(), sBytes.data(), static_cast<DWORD>(sBytes.size()), &written, nullptr) ||
            !::FlushFileBuffers(file.get()))
            error = ::GetLastError();
        else if (written != sBytes.size())
            error = ERROR_WRITE_FAULT;
    }
    ::SetLastError(error);
    return error == ERROR_SUCCESS;
}

bool IniDocument::Load(const std::wstring& sFile)
{
    *this = Parse({});
    const std::optional<std::string> bytes = ReadBytes(sFile);
    if (!bytes)
        return false;
    *this = Parse(Decode(*bytes));
    return true;
}

bool IniDocument::Save(const std::wstring& sFile) const { return WriteBytesInPlace(sFile, Encode(Text())); }

#endif // _WIN32
