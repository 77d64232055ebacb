// A private INI file held in memory: its sections and keys in file order,
// looked up and changed by the rules of the platform's private-profile
// functions, and written back in the form in which those functions write
// a file. A file written by one reads the same through the other.
//
// The text is held in UTF-16, as the wide profile functions see it. A file
// is read in either of the encodings those functions read on every NT
// system: UTF-16 (little endian) after its byte order mark, or else the
// system's 8-bit code page. It is written in the code page whenever every
// character of it has a place there, so that such a file stays byte for
// byte what the 8-bit functions write, and as UTF-16 with its byte order
// mark when a name in another script needs it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

class IniDocument {
  public:
    // The document of a text.
    static IniDocument Parse(std::wstring_view sText);
    // The text of a file's bytes, by the rules above.
    static std::wstring Decode(std::string_view sBytes);
    // The bytes of a text, by the rules above.
    static std::string Encode(std::wstring_view sText);

    // Reads a whole file; false (and an empty document) if it cannot be read.
    // (Load, Save and the two file functions exist in the Windows build only.)
    bool Load(const std::wstring& sFile);
    // A whole file's bytes; nothing if it cannot be read (GetLastError says why).
    static std::optional<std::string> ReadBytes(const std::wstring& sFile);
    // Writes sBytes over the whole of sFile in place, creating it if it is
    // missing: the file keeps its identity and its access rights, so that a
    // user who may change the file but not its folder can write it. The file
    // is emptied first, so that an interruption leaves it empty or holding a
    // beginning of sBytes, never old bytes behind new ones. Flushed to the
    // disk; false on any failure (GetLastError says which).
    static bool WriteBytesInPlace(const std::wstring& sFile, std::string_view sBytes);

    // As GetPrivateProfileStringW with a buffer of nSize characters: the
    // value of the first key of that name in the first section of that name
    // (names trimmed, letter case ignored), without the blanks around it and
    // one pair of enclosing quotes, cut to nSize - 1 characters; for a
    // missing key sDefault without its trailing blanks, cut the same way.
    std::wstring GetString(std::wstring_view sSection, std::wstring_view sKey, std::wstring_view sDefault,
                           size_t nSize) const;
    // As GetPrivateProfileIntW: the leading number of the value (decimal, or
    // with the prefixes 0x, 0o, 0b), wrapped to 32 bits; nDefault when the
    // key is missing or empty.
    int GetInt(std::wstring_view sSection, std::wstring_view sKey, int nDefault) const;

    // As WritePrivateProfileStringW: replaces the value of the first key of
    // that name in the first section of that name, or appends the key to
    // that section, or appends the section. Names and value are trimmed; a
    // line break in any of them is written as a blank, so that no value can
    // start a line of its own.
    void SetString(std::wstring_view sSection, std::wstring_view sKey, std::wstring_view sValue);

    // The names of the sections, in file order (as GetPrivateProfileSectionNamesW).
    std::vector<std::wstring> SectionNames() const;
    // The keys that have a value in the first section of that name, with
    // their values as written, in file order (as GetPrivateProfileSectionW).
    std::vector<std::pair<std::wstring, std::wstring>> SectionEntries(std::wstring_view sSection) const;

    // The text: "[Section]\r\n", then "Key=Value\r\n" per key.
    std::wstring Text() const;
    // Writes the encoded text to sFile in one go, flushed to the disk; false
    // on any failure (what was written then is not complete).
    bool Save(const std::wstring& sFile) const;

  private:
    struct Entry {
        std::wstring sKey;
        std::wstring sFolded; // the key as lookups compare it
        std::wstring sValue;
        bool bHasValue = true; // a line without "=" is a key without a value
    };
    struct Section {
        std::wstring sName;
        std::vector<Entry> entries;
    };

    const Section* FindSection(std::wstring_view sSection) const;
    const Entry* FindEntry(std::wstring_view sSection, std::wstring_view sKey) const;
    Section& AddSection(std::wstring_view sName);

    std::vector<Section> m_sections;
    std::unordered_map<std::wstring, size_t> m_firstSection; // folded name -> first section of that name
};
