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
    const int folders = doc.GetInt("General", "FolderCount", 0);
    for (int i = 1; i <= 3 && i <= folders; ++i) {
        const std::string section = "Folder" + std::to_string(i);
        for (const char* key : {"EntryId", "FriendlyName", "SoundFile", "Plugin1"})
            if (doc.GetString(section, key, "", 254).size() > 253)
                std::abort();
        if (doc.GetString(section, "StoreId", "", 511).size() > 510)
            std::abort();
        doc.GetInt(section, "PluginCount", 0);
        doc.GetInt(section, "PlaySound", 0);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    IniDocument doc = IniDocument::Parse(text);
    ReadAsTheLoaderDoes(doc);

    // Names taken from the input are looked up; values taken from it are
    // written under the names a save writes (a key of the caller's own
    // holding "=" or starting with "[" would not read back as a key, in the
    // profile functions neither).
    const size_t half = size / 2;
    const std::string_view name = text.substr(0, half), value = text.substr(half);
    doc.GetString(name, name, value, half + 1);
    doc.GetInt(name, "PluginCount", 7);
    doc.SetString("Folder1", "SoundFile", value);
    doc.SetString(name.find_first_of("[]\r\n") == std::string_view::npos ? name : "General", "FolderCount", value);

    // The written text is a fixed point: parsed and written again, it is the same.
    const std::string written = doc.Text();
    if (IniDocument::Parse(written).Text() != written)
        std::abort();
    return 0;
}
