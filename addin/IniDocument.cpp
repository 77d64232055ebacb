#include "IniDocument.h"

#include <cstdint>

// The text model is portable (the fuzz targets build it on their own); only
// letter case and the file itself need the platform.
#ifdef _WIN32
#include <windows.h>

#include "com/ComRaii.h"
#endif

namespace
{

constexpr std::string_view kSpace = " \t\r\n\v\f";

std::string_view Trim(std::string_view s)
{
    const size_t first = s.find_first_not_of(kSpace);
    if (first == std::string_view::npos)
        return {};
    return s.substr(first, s.find_last_not_of(kSpace) - first + 1);
}

// A name or value ends at a NUL character, as a string of the profile functions does.
std::string_view UpToNul(std::string_view s)
{
    return s.substr(0, s.find('\0'));
}

// A name as the lookups compare it: trimmed, in upper case.
std::string Fold(std::string_view sName)
{
    std::string folded(Trim(UpToNul(sName)));
#ifdef _WIN32
    if (!folded.empty())
        ::CharUpperBuffA(folded.data(), static_cast<DWORD>(folded.size()));
#else
    for (char& c : folded)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
#endif
    return folded;
}

// What the writer puts on one line: trimmed, line breaks as blanks.
std::string OneLine(std::string_view s)
{
    std::string line(Trim(UpToNul(s)));
    for (char& c : line)
        if (c == '\r' || c == '\n')
            c = ' ';
    return line;
}

// A value as the profile functions hand it out into nSize characters: an
// enclosing pair of equal quotes (' or ") is dropped, and the text is cut to
// nSize - 1 characters; the closing quote goes only when all of it fitted.
std::string Returned(std::string_view sValue, size_t nSize)
{
    if (nSize == 0)
        return {};
    const bool bQuoted =
        sValue.size() >= 2 && (sValue.front() == '"' || sValue.front() == '\'') && sValue.back() == sValue.front();
    if (bQuoted)
        sValue.remove_prefix(1);
    std::string out(sValue.substr(0, nSize - 1));
    if (bQuoted && nSize >= sValue.size() && !out.empty())
        out.pop_back();
    return out;
}

// The leading number of a text, as the profile functions read integers:
// blanks, a sign, a base prefix (0x, 0o, 0b), digits; wrapped to 32 bits.
int LeadingNumber(std::string_view s)
{
    size_t at = s.find_first_not_of(' ');
    if (at == std::string_view::npos)
        return 0;
    bool bNegative = false;
    if (s[at] == '+' || s[at] == '-')
        bNegative = s[at++] == '-';
    unsigned base = 10;
    if (at + 1 < s.size() && s[at] == '0') {
        const char prefix = static_cast<char>(s[at + 1] | 0x20);
        base = prefix == 'x' ? 16 : prefix == 'o' ? 8 : prefix == 'b' ? 2 : 10;
        if (base != 10)
            at += 2;
    }
    uint32_t value = 0;
    for (; at < s.size(); ++at) {
        const char c = static_cast<char>(s[at] | 0x20);
        const unsigned digit = c >= '0' && c <= '9'   ? static_cast<unsigned>(c - '0')
                               : c >= 'a' && c <= 'f' ? static_cast<unsigned>(c - 'a' + 10)
                                                      : base;
        if (digit >= base)
            break;
        value = value * base + digit;
    }
    return static_cast<int>(bNegative ? 0u - value : value);
}

} // namespace

IniDocument IniDocument::Parse(std::string_view sText)
{
    IniDocument doc;
    Section* current = &doc.AddSection(""); // keys before the first section header
    while (!sText.empty()) {
        const size_t end = sText.find_first_of("\r\n");
        const std::string_view line = Trim(sText.substr(0, end));
        sText.remove_prefix(end == std::string_view::npos ? sText.size() : end + 1);
        if (line.empty())
            continue;
        const size_t close = line.rfind(']');
        if (line.front() == '[' && close != std::string_view::npos) {
            current = &doc.AddSection(Trim(UpToNul(line.substr(1, close - 1))));
            continue;
        }
        const size_t equals = line.find('=');
        Entry entry;
        entry.sKey = Trim(UpToNul(line.substr(0, equals)));
        entry.sFolded = Fold(entry.sKey);
        entry.bHasValue = equals != std::string_view::npos;
        if (entry.bHasValue)
            entry.sValue = Trim(UpToNul(line.substr(equals + 1)));
        if (entry.bHasValue || !entry.sKey.empty()) // a line of NULs holds nothing
            current->entries.push_back(std::move(entry));
    }
    return doc;
}

IniDocument::Section& IniDocument::AddSection(std::string_view sName)
{
    m_firstSection.try_emplace(Fold(sName), m_sections.size());
    return m_sections.emplace_back(Section{std::string(sName), {}});
}

const IniDocument::Section* IniDocument::FindSection(std::string_view sSection) const
{
    const auto found = m_firstSection.find(Fold(sSection));
    return found == m_firstSection.end() ? nullptr : &m_sections[found->second];
}

const IniDocument::Entry* IniDocument::FindEntry(std::string_view sSection, std::string_view sKey) const
{
    const Section* section = FindSection(sSection);
    if (!section)
        return nullptr;
    const std::string key = Fold(sKey);
    for (const Entry& entry : section->entries)
        if (entry.sFolded == key)
            return &entry;
    return nullptr;
}

std::string IniDocument::GetString(std::string_view sSection, std::string_view sKey, std::string_view sDefault,
                                   size_t nSize) const
{
    const Entry* entry = FindEntry(sSection, sKey);
    if (entry && entry->bHasValue)
        return Returned(entry->sValue, nSize);
    sDefault = UpToNul(sDefault);
    sDefault = sDefault.substr(0, sDefault.find_last_not_of(' ') + 1);
    return std::string(sDefault.substr(0, nSize ? nSize - 1 : 0));
}

int IniDocument::GetInt(std::string_view sSection, std::string_view sKey, int nDefault) const
{
    // The profile functions read the number through a buffer of 30 characters.
    const std::string text = GetString(sSection, sKey, "", 30);
    return text.empty() ? nDefault : LeadingNumber(text);
}

void IniDocument::SetString(std::string_view sSection, std::string_view sKey, std::string_view sValue)
{
    const std::string name = OneLine(sSection);
    const auto found = m_firstSection.find(Fold(name));
    Section& section = found == m_firstSection.end() ? AddSection(name) : m_sections[found->second];
    const std::string key = OneLine(sKey);
    const std::string folded = Fold(key);
    for (Entry& entry : section.entries) {
        if (entry.sFolded == folded) {
            entry.sValue = OneLine(sValue);
            entry.bHasValue = true;
            return;
        }
    }
    section.entries.push_back(Entry{key, folded, OneLine(sValue), true});
}

std::vector<std::string> IniDocument::SectionNames() const
{
    std::vector<std::string> names;
    for (size_t i = 1; i < m_sections.size(); ++i) // the first holds the keys before any header
        names.push_back(m_sections[i].sName);
    return names;
}

std::string IniDocument::Text() const
{
    std::string text;
    for (const Section& section : m_sections) {
        if (!section.sName.empty())
            text.append("[").append(section.sName).append("]\r\n");
        for (const Entry& entry : section.entries) {
            text += entry.sKey;
            if (entry.bHasValue)
                text.append("=").append(entry.sValue);
            text += "\r\n";
        }
    }
    return text;
}

#ifdef _WIN32

bool IniDocument::Load(const std::string& sFile)
{
    *this = Parse({});
    com::UniqueFileHandle file(::CreateFileA(sFile.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                             OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF)
        return false;
    std::string text(static_cast<size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!::ReadFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &read, nullptr))
        return false;
    text.resize(read);
    *this = Parse(text);
    return true;
}

bool IniDocument::Save(const std::string& sFile) const
{
    const std::string text = Text();
    com::UniqueFileHandle file(
        ::CreateFileA(sFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    return file && ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size() && ::FlushFileBuffers(file.get());
}

#endif // _WIN32
