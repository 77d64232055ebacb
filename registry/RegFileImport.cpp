#include "RegFileImport.h"

#include "KeyAccess.h"
#include "KeyPath.h"
#include "RegFileParser.h"
#include "RegistryErrors.h"

namespace reg {

namespace {

// Carries the parsed operations out in the registry.
class ImportHandler final : public RegFileHandler {
  public:
    explicit ImportHandler(const RootKeyTable& roots) : m_roots(roots) {}

    void OnKey(std::string_view path) override
    {
        m_key.reset();
        const std::wstring full = MergeKeys(L"", L"\\" + com::Widen(path), m_roots);
        KeyLocation where = Locate(full, m_roots);
        m_key = CreateKey(where.root, where.tail);
    }
    void OnValue(std::string_view name, std::uint32_t type, std::vector<std::uint8_t> data) override
    {
        WriteValue(m_key.get(), std::string(name), RawValue{type, std::move(data)});
    }
    void OnKeyEnd() override { m_key.reset(); }

  private:
    const RootKeyTable& m_roots;
    com::UniqueHKey m_key;
};

std::string ReadWholeFile(const std::string& fileName)
{
    // Shared for reading and writing, as the C runtime opens a file: a file
    // another program holds open, even for writing, can still be imported.
    com::UniqueFileHandle file(::CreateFileA(fileName.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                             nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        Raise(EFileOpenFailed);
    std::string text;
    char chunk[1 << 16];
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file.get(), chunk, sizeof(chunk), &read, nullptr))
            Raise(EFileReadFailed);
        if (read == 0)
            return text;
        text.append(chunk, read);
    }
}

} // namespace

void ImportFromFile(const RootKeyTable& roots, const std::string& fileName)
{
    // The whole file is read first, as it is; the reader accepts CR LF and
    // LF line ends alike and takes a last Ctrl-Z for the end of the file.
    const std::string text = ReadWholeFile(fileName);
    ImportHandler handler(roots);
    try {
        ParseRegFile(text, handler);
    } catch (const RegFileFormatError&) {
        Raise(EInvalidFileFormat);
    }
}

} // namespace reg
