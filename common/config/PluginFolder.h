// The plug-in folder: every library "Zarq*.dll" in it is a plug-in, whose
// class is the file name before its first dot (ZarqNotifier.dll holds
// ZarqNotifier, created as "ZarqNotifier.ZarqPlugin"). The add-in starts
// what it finds, the page lists it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "com/ComRaii.h"

namespace pluginfolder {

// The plug-in classes in sFolder, in the order the file system lists them:
// ordinary files only (no folders, no hidden or system files). A folder
// that does not exist, or holds no plug-in, gives none.
inline std::vector<std::string> InstalledPluginClasses(const std::string& sFolder)
{
    std::string pattern = sFolder;
    if (pattern.empty() || pattern.back() != '\\')
        pattern += '\\';
    pattern += "Zarq*.dll";
    std::vector<std::string> classes;
    WIN32_FIND_DATAA found{};
    const com::UniqueFindHandle search(::FindFirstFileA(pattern.c_str(), &found));
    if (!search)
        return classes;
    constexpr DWORD kNotOrdinary = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        if (!(found.dwFileAttributes & kNotOrdinary)) {
            const std::string name = found.cFileName;
            classes.push_back(name.substr(0, name.find('.')));
        }
    } while (::FindNextFileA(search.get(), &found));
    return classes;
}

} // namespace pluginfolder
