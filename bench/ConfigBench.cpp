// The configuration file of 1,000 watched folders with 3 plug-ins each,
// saved and loaded key for key as the add-in does it: once through the
// in-memory INI document (one write of the whole file, one read of it) and
// once through the private-profile functions, one call per key. Each
// figure is the minimum and the median of several rounds, the order of the
// two ways alternated between rounds (see Measure.h).
//
// Run: build/wine-run.sh build/bin/config_bench.exe [folders] [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "IniDocument.h"
#include "IniFile.h"
#include "Measure.h"
#include "com/ComRaii.h"

namespace {

constexpr int kPlugins = 3;

std::wstring Folder(long i) { return L"Folder" + std::to_wstring(i); }

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
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string whole = std::string(temp) + "config_bench_whole.ini";
    const std::string byKey = std::string(temp) + "config_bench_keys.ini";
    std::printf("%ld folders, %d plug-ins each; %d rounds, the order alternated between rounds\n", lFolders, kPlugins,
                rounds);

    bool bWholeWritten = true;
    const std::vector<bench::Operation> saving = {
        // The document, written over the file in one go.
        {"save, document + one write",
         [&] {
             IniFile ini;
             ini.UseDocument(std::make_unique<IniDocument>());
             SaveAll(ini, lFolders);
             if (!ini.ReleaseDocument()->Save(com::Widen(whole)))
                 bWholeWritten = false;
         },
         [&] { ::DeleteFileA(whole.c_str()); }},
        {"save, WritePrivateProfileStringW",
         [&] {
             IniFile ini;
             ini.SetIniFile(com::Widen(byKey));
             SaveAll(ini, lFolders);
         },
         [&] { ::DeleteFileA(byKey.c_str()); }},
    };
    std::printf("\nsaving\n");
    bench::PrintTable(bench::Measure(saving, rounds), 1000.0, "ms");
    if (!bWholeWritten)
        std::printf("the whole file could not be written\n");

    // Load: the document read once, against one profile-function call per key.
    size_t sumWhole = 0, sumByKey = 0;
    const std::vector<bench::Operation> loading = {
        {"load, document from one read",
         [&] {
             auto doc = std::make_unique<IniDocument>();
             doc->Load(com::Widen(whole));
             IniFile ini;
             ini.UseDocument(std::move(doc));
             sumWhole = LoadAll(ini);
         }},
        {"load, GetPrivateProfileStringW",
         [&] {
             IniFile ini;
             ini.SetIniFile(com::Widen(whole));
             sumByKey = LoadAll(ini);
         }},
    };
    std::printf("\nloading\n");
    bench::PrintTable(bench::Measure(loading, rounds), 1000.0, "ms");

    const bool bSameFile = Bytes(whole) == Bytes(byKey), bSameValues = sumWhole == sumByKey;
    std::printf("same bytes: %s, same values: %s\n", bSameFile ? "yes" : "NO", bSameValues ? "yes" : "NO");
    ::DeleteFileA(whole.c_str());
    ::DeleteFileA(byKey.c_str());
    return bSameFile && bSameValues ? 0 : 1;
}
