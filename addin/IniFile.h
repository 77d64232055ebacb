// Typed values in one private INI file. Every read and write is one call
// of the private-profile functions on the file named by IniFile; nothing
// is opened or kept between calls. They are the wide functions, which read
// a file in the system's code page exactly as the 8-bit ones do and a
// file in UTF-16 as well, so that a name in any script survives. While a document is in use (UseDocument), the same
// reads and writes go to that document in memory instead of the file.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

class IniDocument;

class IniFile {
  public:
    IniFile();
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    // The part of the file name after its last backslash.
    const std::wstring& File() const noexcept { return m_sFile; }
    // The part up to and including its last backslash.
    const std::wstring& Path() const noexcept { return m_sPath; }
    // The full file name; setting it splits it into Path and File (a name
    // without a backslash leaves both as they were).
    const std::wstring& GetIniFile() const noexcept { return m_sIniFile; }
    void SetIniFile(const std::wstring& sIniFile);

    // The three names as one value: taken before the names are changed
    // for a while, and put back without allocating.
    struct Names {
        std::wstring sIniFile, sFile, sPath;
    };
    Names GetNames() const { return Names{m_sIniFile, m_sFile, m_sPath}; }
    void PutNames(Names&& names) noexcept;

    // Reads. A missing file, section or key gives the default; an integer
    // that does not fit the requested width gives 0.
    short GetInt(const std::wstring& sSection, const std::wstring& sKey, short nDefault = 0) const;
    BYTE GetByte(const std::wstring& sSection, const std::wstring& sKey, BYTE nDefault = 0) const;
    long GetLong(const std::wstring& sSection, const std::wstring& sKey, long nDefault = 0) const;
    std::wstring GetPath(const std::wstring& sSection, const std::wstring& sKey,
                         const std::wstring& sDefault = {}) const;
    float GetSingle(const std::wstring& sSection, const std::wstring& sKey, float fDefault = 0) const;
    // At most 253 characters; a present but empty value gives sDefault too.
    std::wstring GetString(const std::wstring& sSection, const std::wstring& sKey, const std::wstring& sDefault = {},
                           bool bReplaceSpaces = false) const;
    // At most lBufferSize - 2 characters.
    std::wstring GetLargeString(const std::wstring& sSection, const std::wstring& sKey, long lBufferSize,
                                const std::wstring& sDefault = {}, bool bReplaceSpaces = false) const;
    bool GetBoolean(const std::wstring& sSection, const std::wstring& sKey, bool bDefault = false) const;
    // The names of the file's sections, in file order (none for a missing file).
    std::vector<std::wstring> SectionNames() const;

    // Writes; whether a write succeeded is not reported.
    void PutInt(const std::wstring& sSection, const std::wstring& sKey, short nValue);
    void PutByte(const std::wstring& sSection, const std::wstring& sKey, BYTE btValue);
    void PutLong(const std::wstring& sSection, const std::wstring& sKey, long nValue);
    void PutPath(const std::wstring& sSection, const std::wstring& sKey, const std::wstring& sValue);
    // fValue with iDecimal decimals and the user's decimal separator.
    void PutSingle(const std::wstring& sSection, const std::wstring& sKey, float fValue, short iDecimal);
    // bReplaceSpaces writes every blank as the character of code 255, so
    // that blanks at either end survive the profile functions' trimming.
    void PutString(const std::wstring& sSection, const std::wstring& sKey, const std::wstring& sValue,
                   bool bReplaceSpaces = false);
    void PutBoolean(const std::wstring& sSection, const std::wstring& sKey, bool bValue);

    // Reads and writes go to doc from now on (null: to the file again).
    void UseDocument(std::unique_ptr<IniDocument> doc) noexcept;
    // Hands the document in use back; reads and writes go to the file again.
    std::unique_ptr<IniDocument> ReleaseDocument() noexcept;
    // The document in use, or null.
    const IniDocument* Document() const noexcept { return m_doc.get(); }

  private:
    // One string read into a buffer of nSize characters: the text the
    // profile function returned (its reported length).
    std::wstring ReadText(const std::wstring& sSection, const std::wstring& sKey, const std::wstring& sDefault,
                          DWORD nSize) const;
    std::wstring ReadString(const std::wstring& sSection, const std::wstring& sKey, const std::wstring& sDefault,
                            DWORD nSize, bool bReplaceSpaces) const;
    int ReadInt(const std::wstring& sSection, const std::wstring& sKey, int nDefault) const;
    void WriteText(const std::wstring& sSection, const std::wstring& sKey, const std::wstring& sValue);

    std::wstring m_sIniFile;
    std::wstring m_sFile;
    std::wstring m_sPath;
    std::unique_ptr<IniDocument> m_doc;
};
