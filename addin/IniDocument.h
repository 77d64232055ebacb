// A private INI file held in memory: its sections and keys in file order,
// looked up and changed by the rules of the platform's private-profile
// functions, and written back in the form in which those functions write
// a file. A file written by one reads the same through the other.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class IniDocument
{
  public:
    // The document of a text in the file's 8-bit code page.
    static IniDocument Parse(std::string_view sText);
    // Reads a whole file; false (and an empty document) if it cannot be read.
    // (Load and Save exist in the Windows build only.)
    bool Load(const std::string& sFile);

    // As GetPrivateProfileStringA with a buffer of nSize characters: the
    // value of the first key of that name in the first section of that name
    // (names trimmed, letter case ignored), without the blanks around it and
    // one pair of enclosing quotes, cut to nSize - 1 characters; for a
    // missing key sDefault without its trailing blanks, cut the same way.
    std::string GetString(std::string_view sSection, std::string_view sKey, std::string_view sDefault,
                          size_t nSize) const;
    // As GetPrivateProfileIntA: the leading number of the value (decimal, or
    // with the prefixes 0x, 0o, 0b), wrapped to 32 bits; nDefault when the
    // key is missing or empty.
    int GetInt(std::string_view sSection, std::string_view sKey, int nDefault) const;

    // As WritePrivateProfileStringA: replaces the value of the first key of
    // that name in the first section of that name, or appends the key to
    // that section, or appends the section. Names and value are trimmed; a
    // line break in any of them is written as a blank, so that no value can
    // start a line of its own.
    void SetString(std::string_view sSection, std::string_view sKey, std::string_view sValue);

    // The names of the sections, in file order (as GetPrivateProfileSectionNamesA).
    std::vector<std::string> SectionNames() const;

    // The text: "[Section]\r\n", then "Key=Value\r\n" per key.
    std::string Text() const;
    // Writes the text to sFile in one go, flushed to the disk; false on any
    // failure (what was written then is not complete).
    bool Save(const std::string& sFile) const;

  private:
    struct Entry {
        std::string sKey;
        std::string sFolded; // the key as lookups compare it
        std::string sValue;
        bool bHasValue = true; // a line without "=" is a key without a value
    };
    struct Section {
        std::string sName;
        std::vector<Entry> entries;
    };

    const Section* FindSection(std::string_view sSection) const;
    const Entry* FindEntry(std::string_view sSection, std::string_view sKey) const;
    Section& AddSection(std::string_view sName);

    std::vector<Section> m_sections;
    std::unordered_map<std::string, size_t> m_firstSection; // folded name -> first section of that name
};
