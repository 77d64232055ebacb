// The configuration file of 1,000 watched folders with 3 plug-ins each,
// saved and loaded key for key as the add-in does it: once through the
// in-memory INI document (one write of the whole file, one read of it) and
// once through the private-profile functions, one call per key.
//
// Run: build/wine-run.sh build/bin/config_bench.exe [folders]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "IniDocument.h"
#include "IniFile.h"
#include "com/ComRaii.h"

namespace
{

constexpr int kPlugins = 3;

class Stopwatch
{
  public:
    Stopwatch() { ::QueryPerformanceCounter(&m_start); }
    double Ms() const
    {
        LARGE_INTEGER now, frequency;
        ::QueryPerformanceCounter(&now);
        ::QueryPerformanceFrequency(&frequency);
        return 1000.0 * static_cast<double>(now.QuadPart - m_start.QuadPart) / static_cast<double>(frequency.QuadPart);
    }

  private:
    LARGE_INTEGER m_start;
};

std::wstring Folder(long i)
{
    return L"Folder" + std::to_wstring(i);
}

// The keys a save writes, in its order.
void SaveAll(IniFile& ini, long lFolders)
{
    for (long i = 1; i <= lFolders; ++i) {
        const std::wstring s = Folder(i);
        ini.PutString(s, L"EntryId", L"00000000B3E1C2A4D5F60718293A4B5C6D7E8F90A1B2C3D4E5F6" + std::to_wstring(i));
        ini.PutString(s, L"StoreId", std::wstring(140, L'A') + std::to_wstring(i));
        ini.PutString(s, L"FriendlyName",
                      L"\xD6"
                      L"ffentliche Ordner " +
                          std::to_wstring(i));
        ini.PutBoolean(s, L"PlaySound", i % 2 == 0);
        ini.PutBoolean(s, L"UseDefaultSound", i % 3 == 0);
        ini.PutBoolean(s, L"ShowTrayIcon", true);
        ini.PutBoolean(s, L"ChangeCursor", false);
        ini.PutString(s, L"SoundFile", L"C:\\Windows\\Media\\ding.wav");
        ini.PutLong(s, L"PluginCount", kPlugins);
        for (int j = 1; j <= kPlugins; ++j)
            ini.PutString(s, L"Plugin" + std::to_wstring(j), L"ZarqPlugin" + std::to_wstring(j));
    }
    ini.PutLong(L"General", L"FolderCount", lFolders);
}

// The keys a load reads, in its order; a sum of what came back.
size_t LoadAll(const IniFile& ini)
{
    size_t sum = 0;
    const short iFolders = ini.GetInt(L"General", L"FolderCount");
    for (long i = 1; i <= iFolders; ++i) {
        const std::wstring s = Folder(i);
        sum += ini.GetString(s, L"EntryId").size() + ini.GetLargeString(s, L"StoreId", 512).size() +
               ini.GetString(s, L"FriendlyName").size();
        sum +=
            ini.GetBoolean(s, L"ChangeCursor") + ini.GetBoolean(s, L"PlaySound") + ini.GetBoolean(s, L"ShowTrayIcon");
        sum += ini.GetString(s, L"SoundFile").size() + ini.GetBoolean(s, L"UseDefaultSound");
        const short iPlugins = ini.GetInt(s, L"PluginCount");
        for (long j = 1; j <= iPlugins; ++j)
            sum += ini.GetString(s, L"Plugin" + std::to_wstring(j)).size();
    }
    return sum;
}

std::string Bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

} // namespace

int main(int argc, char** argv)
{
    const long lFolders = argc > 1 ? std::strtol(argv[1], nullptr, 10) : 1000;
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string whole = std::string(temp) + "config_bench_whole.ini";
    const std::string byKey = std::string(temp) + "config_bench_keys.ini";
    ::DeleteFileA(whole.c_str());
    ::DeleteFileA(byKey.c_str());
    std::printf("%ld folders, %d plug-ins each\n", lFolders, kPlugins);

    // Save: the document, written in one go beside the file and moved over it.
    Stopwatch saveWhole;
    {
        IniFile ini;
        ini.UseDocument(std::make_unique<IniDocument>());
        SaveAll(ini, lFolders);
        const std::string fresh = whole + ".new";
        if (!ini.ReleaseDocument()->Save(fresh) ||
            !::MoveFileExA(fresh.c_str(), whole.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            std::printf("the whole file could not be written\n");
    }
    const double msSaveWhole = saveWhole.Ms();

    Stopwatch saveByKey;
    {
        IniFile ini;
        ini.SetIniFile(com::Widen(byKey));
        SaveAll(ini, lFolders);
    }
    const double msSaveByKey = saveByKey.Ms();

    // Load: the document read once, against one profile-function call per key.
    Stopwatch loadWhole;
    size_t sumWhole = 0;
    {
        auto doc = std::make_unique<IniDocument>();
        doc->Load(whole);
        IniFile ini;
        ini.UseDocument(std::move(doc));
        sumWhole = LoadAll(ini);
    }
    const double msLoadWhole = loadWhole.Ms();

    Stopwatch loadByKey;
    size_t sumByKey = 0;
    {
        IniFile ini;
        ini.SetIniFile(com::Widen(whole));
        sumByKey = LoadAll(ini);
    }
    const double msLoadByKey = loadByKey.Ms();

    std::printf("save, document + one write      : %9.1f ms\n", msSaveWhole);
    std::printf("save, WritePrivateProfileStringA: %9.1f ms\n", msSaveByKey);
    std::printf("load, document from one read    : %9.1f ms\n", msLoadWhole);
    std::printf("load, GetPrivateProfileStringA  : %9.1f ms\n", msLoadByKey);
    const bool bSameFile = Bytes(whole) == Bytes(byKey), bSameValues = sumWhole == sumByKey;
    std::printf("same bytes: %s, same values: %s\n", bSameFile ? "yes" : "NO", bSameValues ? "yes" : "NO");
    ::DeleteFileA(whole.c_str());
    ::DeleteFileA(byKey.c_str());
    return bSameFile && bSameValues ? 0 : 1;
}
