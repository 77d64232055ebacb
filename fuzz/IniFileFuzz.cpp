// The configuration file's reader fed with any bytes: parsing, the lookups
// the loader makes, and writing back. What it writes reads back as the same
// text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "IniDocument.h"

namespace
{

// The lookups of a configuration load: the folder count, then each section
// and key the loader asks for, with the buffer sizes it uses.
void ReadAsTheLoaderDoes(const IniDocument& doc)
{
    const int folders = doc.GetInt(L"General", L"FolderCount", 0);
    for (int i = 1; i <= 3 && i <= folders; ++i) {
        const std::wstring section = L"Folder" + std::to_wstring(i);
        for (const wchar_t* key : {L"EntryId", L"FriendlyName", L"SoundFile", L"Plugin1"})
            if (doc.GetString(section, key, L"", 254).size() > 253)
                std::abort();
        if (doc.GetString(section, L"StoreId", L"", 511).size() > 510)
            std::abort();
        doc.GetInt(section, L"PluginCount", 0);
        doc.GetInt(section, L"PlaySound", 0);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::wstring text = IniDocument::Decode(std::string_view(reinterpret_cast<const char*>(data), size));
    IniDocument doc = IniDocument::Parse(text);
    ReadAsTheLoaderDoes(doc);

    // Names taken from the input are looked up; values taken from it are
    // written under the names a save writes (a key of the caller's own
    // holding "=" or starting with "[" would not read back as a key, in the
    // profile functions neither).
    const size_t half = text.size() / 2;
    const std::wstring_view name = std::wstring_view(text).substr(0, half), value = std::wstring_view(text).substr(half);
    doc.GetString(name, name, value, half + 1);
    doc.GetInt(name, L"PluginCount", 7);
    doc.SetString(L"Folder1", L"SoundFile", value);
    doc.SetString(name.find_first_of(L"[]\r\n") == std::wstring_view::npos ? name : L"General", L"FolderCount", value);

    // The written text is a fixed point: parsed and written again, it is
    // the same; encoded and decoded, too.
    const std::wstring written = doc.Text();
    if (IniDocument::Parse(written).Text() != written)
        std::abort();
    if (IniDocument::Decode(IniDocument::Encode(written)) != written)
        std::abort();
    return 0;
}
