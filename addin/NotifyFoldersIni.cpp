#include "NotifyFoldersIni.h"

#include <unordered_set>

#include "AddinErrors.h"
#include "FolderSettings.h"
#include "IniDocument.h"
#include "com/ComModule.h"
#include "config/NotifyFoldersFile.h"
#include "g_modNewFunc.h"

using com::ComPtr;
using namespace nffile;

namespace
{

const char kLoad[] = "NotifyFoldersIni::LoadFolders()";
const char kSave[] = "NotifyFoldersIni::SaveFolders()";
// A written file is complete under this suffix before it takes its place.
const char kNewSuffix[] = ".new";
// The store identifier is read through a buffer of 512 characters.
constexpr long kStoreIdBuffer = 512;

void LogLastError(const char* sProc)
{
    const DWORD error = ::GetLastError();
    ReportFailure(sProc, HRESULT_FROM_WIN32(error), com::Narrow(com::SystemMessage(error)));
}

VARIANT_BOOL Vb(bool b) noexcept
{
    return b ? VARIANT_TRUE : VARIANT_FALSE;
}

// The folders of a collection in its enumeration order.
class FolderWalk
{
  public:
    explicit FolderWalk(_NotifyFolders* nfFolders)
    {
        ComPtr<IUnknown> items;
        Check(nfFolders->get_NewEnum(&items));
        Check(items ? items.As(&m_enum) : E_POINTER);
    }
    // The next folder, or null after the last.
    ComPtr<_NotifyFolder> Next()
    {
        com::Variant item;
        ULONG fetched = 0;
        const HRESULT hr = m_enum->Next(1, &item, &fetched);
        Check(hr);
        ComPtr<_NotifyFolder> nf;
        if (hr == S_OK && fetched == 1) {
            const ComPtr<IDispatch> object = item.ToDispatch();
            Check(object ? object.As(&nf) : E_NOINTERFACE);
        }
        return nf;
    }

  private:
    ComPtr<IEnumVARIANT> m_enum;
};

// Section names as the profile functions compare them: letter case ignored.
class SectionSet
{
  public:
    explicit SectionSet(const std::vector<std::wstring>& names)
    {
        for (const std::wstring& name : names)
            m_names.insert(Folded(name));
    }
    bool Has(const std::wstring& name) const { return m_names.count(Folded(name)) != 0; }

  private:
    static std::wstring Folded(std::wstring name)
    {
        if (!name.empty())
            ::CharUpperBuffW(name.data(), static_cast<DWORD>(name.size()));
        return name;
    }
    std::unordered_set<std::wstring> m_names;
};

// Replaces sTo by sFrom in one step: a rename within the directory.
bool Replace(const std::string& sFrom, const std::string& sTo)
{
    return ::MoveFileExA(sFrom.c_str(), sTo.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

} // namespace

NotifyFoldersIni::NotifyFoldersIni()
{
    std::wstring sDirectory = com::Module::Directory();
    if (sDirectory.empty() || sDirectory.back() != L'\\')
        sDirectory += L'\\';
    m_ini.SetIniFile(sDirectory + kFileName);
}

HRESULT NotifyFoldersIni::get_FolderCount(short* value) noexcept
{
    if (!value)
        return E_POINTER;
    *value = 0;
    return Guard([&] { return *value = m_ini.GetInt(kGeneral, kFolderCount, 0), S_OK; });
}

HRESULT NotifyFoldersIni::put_FolderCount(short iFolderCount) noexcept
{
    return Guard([&] { return m_ini.PutInt(kGeneral, kFolderCount, iFolderCount), S_OK; });
}

// Loading. A failure of the collection or a folder ends the load; it is
// logged, and the folders added so far stay with the settings they got.
HRESULT NotifyFoldersIni::LoadFolders(_NotifyFolders** nfFolders) noexcept
{
    if (!nfFolders || !*nfFolders)
        return S_OK;
    return Guard([&] {
        long lMissing = 0;
        short iCount = 0;
        try {
            iCount = m_ini.GetInt(kGeneral, kFolderCount, 0);
            // A folder number whose section is not in the file at all is
            // skipped: a corrupt count must not add thousands of empty
            // folders, each with its own log records, and save them back.
            // A section that exists loads even when its keys are empty.
            const SectionSet sections(m_ini.SectionNames());
            for (long i = 1; i <= iCount; ++i) {
                const std::wstring sSection = FolderSection(i);
                if (sections.Has(sSection))
                    LoadFolder(*nfFolders, sSection);
                else
                    ++lMissing;
            }
        } catch (const com::ComError& e) {
            ReportFailure(kLoad, e);
        }
        if (lMissing > 0)
            Warn("FolderCount is " + std::to_string(iCount) + ", but " + std::to_string(lMissing) +
                     " of these folder sections do not exist; they were skipped",
                 kLoad);
        return S_OK;
    });
}

void NotifyFoldersIni::LoadFolder(_NotifyFolders* nfFolders, const std::wstring& sSection)
{
    const com::Bstr sEntryId(m_ini.GetString(sSection, kEntryId));
    const com::Bstr sStoreId(m_ini.GetLargeString(sSection, kStoreId, kStoreIdBuffer));
    const com::Bstr sFriendlyName(m_ini.GetString(sSection, kFriendlyName));
    long lIndex = 0;
    Check(nfFolders->Add(sEntryId.get(), sStoreId.get(), sFriendlyName.get(), &lIndex));
    ComPtr<_NotifyFolder> nf;
    Check(nfFolders->GetAt(lIndex, &nf));
    if (!nf)
        return;

    Check(nf->put_ChangeCursor(Vb(m_ini.GetBoolean(sSection, kChangeCursor))));
    Check(nf->put_PlaySound(Vb(m_ini.GetBoolean(sSection, kPlaySound))));
    Check(nf->put_ShowTrayIcon(Vb(m_ini.GetBoolean(sSection, kShowTrayIcon))));
    Check(nf->put_SoundFile(com::Bstr(m_ini.GetString(sSection, kSoundFile)).get()));
    Check(nf->put_UseDefaultSound(Vb(m_ini.GetBoolean(sSection, kUseDefaultSound))));

    // Empty plug-in keys are skipped; the numbering is not closed up.
    const short iPlugins = m_ini.GetInt(sSection, kPluginCount, 0);
    for (long j = 1; j <= iPlugins; ++j) {
        const std::wstring sPluginClass = m_ini.GetString(sSection, PluginKey(j));
        if (!sPluginClass.empty())
            Check(nf->AddPluginByClass(com::Bstr(sPluginClass).get()));
    }
    Check(nf->LoadPlugins(com::Bstr(sSection).get()));
}

// Saving. Plug-ins write their own keys into "notifyfolders.ini" itself,
// through the profile functions, when their folder's SavePlugins hands them
// the section name; yet a save must never leave that file half-written. So
// a save goes in three steps:
//  1. The host's part of the new file (every folder section with the host's
//     keys, then "General") is built in memory and written in one go,
//     flushed, as "notifyfolders.ini.new". Nothing else has changed yet; if
//     this fails, the save ends there.
//  2. The configuration file is copied beside the backup, the new file
//     takes the configuration file's place in one step (a rename within the
//     directory), and then the copy takes the backup's place the same way.
//  3. Only then each folder's SavePlugins runs. Its plug-ins write into the
//     new configuration file, and their keys land at the end of their
//     folder's section, after the host's keys, just as if the whole file
//     had been written key by key.
// So the configuration file is at every moment either the complete old one
// or the complete new one; an interruption in step 3 costs at most the keys
// of plug-ins that had not written yet, never a folder or its settings, and
// the backup holds the previous file byte for byte.
HRESULT NotifyFoldersIni::SaveFolders(_NotifyFolders** nfFolders) noexcept
{
    if (!nfFolders || !*nfFolders)
        return S_OK;
    return Guard([&] {
        std::vector<ComPtr<_NotifyFolder>> written;
        const std::unique_ptr<IniDocument> doc = BuildFile(*nfFolders, written);
        if (!Commit(*doc))
            return S_OK;
        // One folder whose plug-ins cannot save does not keep the others from it.
        for (size_t k = 0; k < written.size(); ++k) {
            const HRESULT hr = written[k]->SavePlugins(com::Bstr(FolderSection(static_cast<long>(k + 1))).get());
            if (FAILED(hr))
                ReportFailure(kSave, hr);
        }
        return S_OK;
    });
}

// The host's part of the file. A failure while a folder section is written
// is logged and ends the sections; "FolderCount" then counts the sections
// begun, the failing one included. The folders written completely are
// handed back in order, for their plug-ins.
std::unique_ptr<IniDocument> NotifyFoldersIni::BuildFile(_NotifyFolders* nfFolders,
                                                         std::vector<ComPtr<_NotifyFolder>>& written)
{
    struct InMemory {
        IniFile& ini;
        explicit InMemory(IniFile& i) : ini(i) { ini.UseDocument(std::make_unique<IniDocument>()); }
        ~InMemory() { ini.ReleaseDocument(); }
    } inMemory(m_ini);

    long lCounter = 0;
    try {
        FolderWalk folders(nfFolders);
        while (ComPtr<_NotifyFolder> nf = folders.Next()) {
            ++lCounter;
            WriteFolder(nf.Get(), FolderSection(lCounter));
            written.push_back(nf);
        }
    } catch (const com::ComError& e) {
        ReportFailure(kSave, e);
    }
    m_ini.PutLong(kGeneral, kFolderCount, lCounter);
    return m_ini.ReleaseDocument();
}

void NotifyFoldersIni::WriteFolder(_NotifyFolder* nf, const std::wstring& sSection)
{
    m_ini.PutString(sSection, kEntryId, FolderText(nf, &_NotifyFolder::get_EntryId));
    m_ini.PutString(sSection, kStoreId, FolderText(nf, &_NotifyFolder::get_StoreId));
    m_ini.PutString(sSection, kFriendlyName, FolderText(nf, &_NotifyFolder::get_FriendlyName));
    m_ini.PutBoolean(sSection, kPlaySound, FolderFlag(nf, &_NotifyFolder::get_PlaySound));
    m_ini.PutBoolean(sSection, kUseDefaultSound, FolderFlag(nf, &_NotifyFolder::get_UseDefaultSound));
    m_ini.PutBoolean(sSection, kShowTrayIcon, FolderFlag(nf, &_NotifyFolder::get_ShowTrayIcon));
    m_ini.PutBoolean(sSection, kChangeCursor, FolderFlag(nf, &_NotifyFolder::get_ChangeCursor));
    m_ini.PutString(sSection, kSoundFile, FolderText(nf, &_NotifyFolder::get_SoundFile));
    long lPlugins = 0;
    Check(nf->get_PluginCount(&lPlugins));
    m_ini.PutLong(sSection, kPluginCount, lPlugins);
    for (long j = 1; j <= lPlugins; ++j) {
        com::Bstr sPluginClass;
        Check(nf->GetPluginClassByIndex(j, sPluginClass.put()));
        m_ini.PutString(sSection, PluginKey(j), sPluginClass.str());
    }
}

// Steps 1 and 2 of a save: false, with the failure logged, when the
// configuration file could not be replaced; it and the backup are then as
// they were.
bool NotifyFoldersIni::Commit(const IniDocument& doc)
{
    const std::string sFile = com::Narrow(m_ini.GetIniFile());
    const std::string sNew = sFile + kNewSuffix;
    const std::string sBackup = com::Narrow(m_ini.Path() + kBackupName);
    const std::string sBackupNew = sBackup + kNewSuffix;
    const auto abandon = [&] {
        LogLastError(kSave);
        ::DeleteFileA(sNew.c_str());
        ::DeleteFileA(sBackupNew.c_str());
        return false;
    };
    if (!doc.Save(sNew))
        return abandon();
    // The previous file is copied before it is replaced. The copy becomes
    // the backup once the new file is in place (with no previous file there
    // is no backup); a copy that fails leaves the backup as it was.
    const bool bHadFile = FileExists(sFile);
    const bool bCopied = bHadFile && ::CopyFileA(sFile.c_str(), sBackupNew.c_str(), FALSE);
    if (!Replace(sNew, sFile))
        return abandon();
    if (!bHadFile)
        ::DeleteFileA(sBackup.c_str());
    if (!bCopied || !Replace(sBackupNew, sBackup))
        ::DeleteFileA(sBackupNew.c_str());
    // The profile functions may keep the file they read last in a cache,
    // which the plug-ins' writes must not start from.
    ::WritePrivateProfileStringA(nullptr, nullptr, nullptr, sFile.c_str());
    return true;
}
