#include "NotifyFoldersIni.h"

#include <algorithm>
#include <optional>
#include <unordered_set>

#include "AddinErrors.h"
#include "FolderSettings.h"
#include "IniDocument.h"
#include "PendingPlugins.h"
#include "com/ComModule.h"
#include "config/NotifyFoldersFile.h"

using com::ComPtr;
using namespace nffile;

namespace {

const char kLoad[] = "NotifyFoldersIni::LoadFolders()";
const char kSave[] = "NotifyFoldersIni::SaveFolders()";
// The store identifier is read through a buffer of 512 characters.
constexpr long kStoreIdBuffer = 512;

VARIANT_BOOL Vb(bool b) noexcept { return b ? VARIANT_TRUE : VARIANT_FALSE; }

// The folders of a collection in its enumeration order.
class FolderWalk {
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
class SectionSet {
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

// What a configuration file holds, by its first and last lines.
FileState StateOf(const std::optional<std::string>& bytes)
{
    return bytes ? nffile::StateOf(IniDocument::Decode(*bytes)) : FileState::Missing;
}

bool Readable(FileState state) noexcept { return state == FileState::Complete || state == FileState::Unmarked; }

} // namespace

std::wstring NotifyFoldersIni::ConfigurationFile()
{
    std::wstring sDirectory = com::Module::Directory();
    if (sDirectory.empty() || sDirectory.back() != L'\\')
        sDirectory += L'\\';
    return sDirectory + kFileName;
}

NotifyFoldersIni::NotifyFoldersIni() { m_ini.SetIniFile(ConfigurationFile()); }

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
// logged and answered, and the folders added so far stay with the settings
// they got. The caller must not save them over the file, which holds the
// rest.
HRESULT NotifyFoldersIni::LoadFolders(_NotifyFolders** nfFolders) noexcept
{
    if (!nfFolders || !*nfFolders)
        return S_OK;
    return Guard([&] {
        long lMissing = 0;
        short iCount = 0;
        // The load may turn to the backup; the names are put back after it.
        struct Restore {
            IniFile& ini;
            IniFile::Names names;
            ~Restore()
            {
                ini.ReleaseDocument();
                ini.PutNames(std::move(names));
            }
        } restore{m_ini, m_ini.GetNames()};
        try {
            ChooseFileToLoad();
            // The file is read once, into memory, and the keys from there:
            // one profile call per key opens the file each time, which the
            // add-in's start-up cannot afford with many folders.
            if (auto doc = std::make_unique<IniDocument>(); doc->Load(m_ini.GetIniFile()))
                m_ini.UseDocument(std::move(doc));
            const PendingPlugins::ReadingFrom pluginKeys(m_ini.Document());
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
            return e.hr();
        }
        if (lMissing > 0)
            Warn("FolderCount is " + std::to_string(iCount) + ", but " + std::to_string(lMissing) +
                     " of these folder sections do not exist; they were skipped",
                 kLoad);
        return S_OK;
    });
}

// A save that was stopped left the configuration file without its last
// line, or empty; the backup then holds the configuration it replaced, and
// the folders are read from there.
void NotifyFoldersIni::ChooseFileToLoad()
{
    const FileState state = StateOf(IniDocument::ReadBytes(m_ini.GetIniFile()));
    if (state != FileState::Interrupted && state != FileState::Empty)
        return;
    const std::wstring sBackup = m_ini.Path() + kBackupName;
    const std::optional<std::string> backup = IniDocument::ReadBytes(sBackup);
    if (Readable(StateOf(backup))) {
        Warn("notifyfolders.ini was not saved completely; the folders are loaded from notifyfolders.ini.bak", kLoad);
        m_ini.SetIniFile(sBackup);
    } else if (state == FileState::Interrupted) {
        Warn("notifyfolders.ini was not saved completely, and notifyfolders.ini.bak cannot stand in for it; the "
             "folders are loaded from what there is",
             kLoad);
    }
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
    // A section that gave no folder (the collection has no Outlook
    // namespace) ends the load, which then must not be saved over the file.
    if (!nf)
        throw com::ComError(E_FAIL, L"The folder of section " + sSection + L" could not be added");

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
// the section name; and an ordinary user may write the configuration file
// and its backup, but create no file beside them. So a save rewrites both
// files in place, and goes in three steps:
//  1. The host's part of the new file (every folder section with the host's
//     keys, then "General") is built in memory, between the file's first
//     and last lines.
//  2. The configuration file, if it is complete (or from an earlier
//     version), is copied over the backup, which is flushed; only then is
//     the configuration file emptied and written whole, and flushed, its
//     last line last. If either write fails, the save ends there and
//     reports it.
//  3. Only then each folder's SavePlugins runs. Its plug-ins write into the
//     new configuration file, and their keys land at the end of their
//     folder's section, after the host's keys, just as if the whole file
//     had been written key by key.
// So whenever a save stops, either the configuration file is complete (the
// old one, or the new one), or it lacks its last line and the backup holds
// the complete old one, which the next load reads instead. A file that was
// left incomplete is never copied over the backup. An interruption in step
// 3 costs at most the keys of plug-ins that had not written yet, never a
// folder or its settings.
HRESULT NotifyFoldersIni::SaveFolders(_NotifyFolders** nfFolders) noexcept
{
    if (!nfFolders || !*nfFolders)
        return S_OK;
    return Guard([&] {
        std::vector<ComPtr<_NotifyFolder>> written;
        const std::unique_ptr<IniDocument> doc = BuildFile(*nfFolders, written);
        if (const HRESULT hr = Commit(*doc); FAILED(hr))
            return hr;
        // One folder whose plug-ins cannot save does not keep the others from it.
        for (size_t k = 0; k < written.size(); ++k) {
            const HRESULT hr = written[k]->SavePlugins(com::Bstr(FolderSection(static_cast<long>(k + 1))).get());
            if (FAILED(hr))
                ReportFailure(kSave, hr);
        }
        return S_OK;
    });
}

// The host's part of the file; the folders are handed back in order, for
// their plug-ins. A failure while a folder section is written is logged and
// ends the save before the file is touched: a file of the sections written
// so far would lose every folder after the failing one.
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
        throw;
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

// Step 2 of a save: the failure, logged and with its description, when the
// configuration file could not be written; it is then as it was, or
// incomplete with the backup holding the old configuration.
HRESULT NotifyFoldersIni::Commit(const IniDocument& doc)
{
    const std::wstring sFile = m_ini.GetIniFile();
    const std::wstring sBackup = m_ini.Path() + kBackupName;
    const auto fail = [] {
        const DWORD error = ::GetLastError();
        const std::wstring sDescription = com::SystemMessage(error);
        ReportFailure(kSave, HRESULT_FROM_WIN32(error), sDescription);
        return com::SetError(HRESULT_FROM_WIN32(error), sDescription, NotifyFoldersIni::ErrorSource(),
                             IID__NotifyFoldersIni);
    };
    const std::optional<std::string> previous = IniDocument::ReadBytes(sFile);
    if (!previous && ::GetLastError() != ERROR_FILE_NOT_FOUND)
        return fail(); // a file that cannot be read cannot be kept as the backup either
    const FileState state = StateOf(previous);
    if (Readable(state) && !IniDocument::WriteBytesInPlace(sBackup, *previous))
        return fail();
    const std::wstring text = std::wstring(kFirstLine) + L"\r\n" + doc.Text() + kLastLine + L"\r\n";
    if (!IniDocument::WriteBytesInPlace(sFile, IniDocument::Encode(text)))
        return fail();
    // The first configuration has no backup; one of an older one goes.
    if (state == FileState::Missing)
        ::DeleteFileW(sBackup.c_str());
    // The profile functions may keep the file they read last in a cache,
    // which the plug-ins' writes must not start from.
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, sFile.c_str());
    return S_OK;
}
