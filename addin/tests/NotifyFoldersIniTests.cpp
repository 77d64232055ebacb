// The folder configuration file beside the module (for this program:
// bin/notifyfolders.ini). Each test keeps whatever configuration, backup or
// leftover files were there and puts them back afterwards.
//
// A recording collection and recording folders stand in for the real ones
// where a test must see the calls (plug-ins, failures, the moment a plug-in
// writes); the real collection with a namespace that binds nothing shows
// that loading and saving fit the add-in's own classes.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <sstream>

#include "AddinTestSupport.h"
#include "DeadNamespace.h"
#include "NotifyFolders.h"
#include "NotifyFoldersIni.h"
#include "ProbeJournal.h"
#include "com/SnapshotEnum.h"

using com::Bstr;
using com::ComPtr;
using Journal = std::vector<std::string>;

using addintest::ReadBytes;
using addintest::WriteBytes;

namespace {

bool Exists(const std::string& path) { return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string A(BSTR text) { return Bstr(text).ansi(); }

// A folder that records what it is told. Any operation can be made to fail.
class FakeFolder final : public com::ComObject<FakeFolder, _NotifyFolder> {
  public:
    FakeFolder(Journal& journal, std::wstring entryId, std::wstring storeId, std::wstring name)
        : entryId(std::move(entryId)), storeId(std::move(storeId)), name(std::move(name)), m_journal(journal)
    {
    }

    std::wstring entryId, storeId, name, soundFile;
    bool playSound = false, useDefaultSound = false, showTrayIcon = false, changeCursor = false;
    std::vector<std::wstring> plugins;
    std::string failOn;                                    // the operation that fails
    std::function<void(const std::string&)> onSavePlugins; // what the folder's plug-ins write
    std::function<void()> onRead;                          // runs when the save reads the name

    HRESULT STDMETHODCALLTYPE AddPluginByClass(BSTR s) noexcept override
    {
        return Told("AddPluginByClass", A(s), [&] { plugins.push_back(Bstr(s).str()); });
    }
    HRESULT STDMETHODCALLTYPE LoadPlugins(BSTR s) noexcept override
    {
        return Told("LoadPlugins", A(s), [] {});
    }
    HRESULT STDMETHODCALLTYPE SavePlugins(BSTR s) noexcept override
    {
        return Told("SavePlugins", A(s), [&] {
            if (onSavePlugins)
                onSavePlugins(A(s));
        });
    }
    HRESULT STDMETHODCALLTYPE put_ChangeCursor(VARIANT_BOOL v) noexcept override
    {
        return Set("ChangeCursor", changeCursor, v);
    }
    HRESULT STDMETHODCALLTYPE put_PlaySound(VARIANT_BOOL v) noexcept override { return Set("PlaySound", playSound, v); }
    HRESULT STDMETHODCALLTYPE put_ShowTrayIcon(VARIANT_BOOL v) noexcept override
    {
        return Set("ShowTrayIcon", showTrayIcon, v);
    }
    HRESULT STDMETHODCALLTYPE put_UseDefaultSound(VARIANT_BOOL v) noexcept override
    {
        return Set("UseDefaultSound", useDefaultSound, v);
    }
    HRESULT STDMETHODCALLTYPE put_SoundFile(BSTR v) noexcept override
    {
        return Told("SoundFile", A(v), [&] { soundFile = Bstr(v).str(); });
    }
    HRESULT STDMETHODCALLTYPE get_ChangeCursor(VARIANT_BOOL* v) noexcept override
    {
        return Get("ChangeCursor", v, changeCursor);
    }
    HRESULT STDMETHODCALLTYPE get_PlaySound(VARIANT_BOOL* v) noexcept override
    {
        return Get("PlaySound", v, playSound);
    }
    HRESULT STDMETHODCALLTYPE get_ShowTrayIcon(VARIANT_BOOL* v) noexcept override
    {
        return Get("ShowTrayIcon", v, showTrayIcon);
    }
    HRESULT STDMETHODCALLTYPE get_UseDefaultSound(VARIANT_BOOL* v) noexcept override
    {
        return Get("UseDefaultSound", v, useDefaultSound);
    }
    HRESULT STDMETHODCALLTYPE get_EntryId(BSTR* v) noexcept override { return Get("EntryId", v, entryId); }
    HRESULT STDMETHODCALLTYPE get_StoreId(BSTR* v) noexcept override { return Get("StoreId", v, storeId); }
    HRESULT STDMETHODCALLTYPE get_FriendlyName(BSTR* v) noexcept override
    {
        if (onRead)
            onRead();
        return Get("FriendlyName", v, name);
    }
    HRESULT STDMETHODCALLTYPE get_SoundFile(BSTR* v) noexcept override { return Get("SoundFile", v, soundFile); }
    HRESULT STDMETHODCALLTYPE get_PluginCount(long* v) noexcept override
    {
        return Get("PluginCount", v, static_cast<long>(plugins.size()));
    }
    HRESULT STDMETHODCALLTYPE GetPluginClassByIndex(long i, BSTR* v) noexcept override
    {
        return Get("GetPluginClassByIndex", v, i >= 1 && i <= static_cast<long>(plugins.size()) ? plugins[i - 1] : L"");
    }

    // Not used by the configuration file.
    HRESULT STDMETHODCALLTYPE get_IsPluginActive(BSTR, VARIANT_BOOL*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE PluginConfig(VARIANT) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE PluginInfo(VARIANT) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemovePluginByClass(BSTR) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RemovePluginById(BSTR) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_CollectionPtr(long) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE ConnectOutlookFolder(VARIANT_BOOL*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_EntryId(BSTR) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_FriendlyName(BSTR) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE putref_OutlookNamespace(IDispatch*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_StoreId(BSTR) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_OutlookItems(IDispatch**) noexcept override { return E_NOTIMPL; }

  private:
    HRESULT Failed(const std::string& op) { return Fail(E_FAIL, L"Injected failure of " + com::Widen(op)); }
    template <class Effect>
    HRESULT Told(const std::string& op, const std::string& arg, Effect&& effect)
    {
        if (op == failOn)
            return Failed(op);
        m_journal.push_back(com::Narrow(entryId) + "." + op + "(" + arg + ")");
        effect();
        return S_OK;
    }
    HRESULT Set(const std::string& op, bool& field, VARIANT_BOOL v)
    {
        return Told(op, v ? "1" : "0", [&] { field = v != VARIANT_FALSE; });
    }
    HRESULT Get(const std::string& op, VARIANT_BOOL* out, bool value)
    {
        return op == failOn ? Failed(op) : (*out = value ? VARIANT_TRUE : VARIANT_FALSE, S_OK);
    }
    HRESULT Get(const std::string& op, long* out, long value)
    {
        return op == failOn ? Failed(op) : (*out = value, S_OK);
    }
    HRESULT Get(const std::string& op, BSTR* out, const std::wstring& value)
    {
        return op == failOn ? Failed(op) : (*out = Bstr(value).release(), S_OK);
    }

    Journal& m_journal;
};

// A collection that records what it is told; folders with an entry
// identifier already present are not added twice.
class FakeFolders final : public com::ComObject<FakeFolders, _NotifyFolders> {
  public:
    explicit FakeFolders(Journal& journal) : m_journal(journal) {}

    std::vector<ComPtr<FakeFolder>> folders;
    std::map<std::wstring, std::string> failures; // entry identifier -> failing operation of that folder
    bool failEnum = false;

    FakeFolder& Folder(const wchar_t* entryId, const wchar_t* storeId = L"ST", const wchar_t* name = L"Name")
    {
        folders.push_back(com::Make<FakeFolder>(m_journal, entryId, storeId, name));
        return *folders.back().Get();
    }

    HRESULT STDMETHODCALLTYPE Add(BSTR e, BSTR s, BSTR n, long* value) noexcept override
    {
        m_journal.push_back("Add(" + A(e) + "|" + A(s) + "|" + A(n) + ")");
        bool known = false;
        for (const auto& f : folders)
            known = known || f->entryId == Bstr(e).str();
        if (!known) {
            FakeFolder& f = Folder(Bstr(e).str().c_str(), Bstr(s).str().c_str(), Bstr(n).str().c_str());
            if (failures.count(f.entryId))
                f.failOn = failures[f.entryId];
        }
        *value = static_cast<long>(folders.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetAt(long i, _NotifyFolder** value) noexcept override
    {
        *value = nullptr;
        if (i >= 1 && i <= static_cast<long>(folders.size()))
            (*value = folders[i - 1].Get())->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Count(long* value) noexcept override
    {
        *value = static_cast<long>(folders.size());
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_NewEnum(IUnknown** value) noexcept override
    {
        if (failEnum)
            return Fail(E_FAIL, L"Injected failure of NewEnum");
        std::vector<com::Variant> items;
        for (const auto& f : folders)
            items.emplace_back(static_cast<IDispatch*>(f.Get()));
        return com::MakeVariantEnum(std::move(items), value);
    }

    // Not used by the configuration file.
    HRESULT STDMETHODCALLTYPE Find(BSTR, VARIANT_BOOL*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Clear() noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetFromEntryId(BSTR, _NotifyFolder**) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE HandleItemChange(IDispatch*, BSTR, BSTR) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE HandleItemRemove(IDispatch*, BSTR, BSTR) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE LoadFromFile(VARIANT_BOOL*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE HandleItemAdd(IDispatch*, BSTR, BSTR) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE putref_OutlookNamespace(IDispatch*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE RegisterPlugin(_ZarqPlugin*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Remove(BSTR) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SaveToFile(VARIANT_BOOL*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE UnregisterPlugin(_ZarqPlugin*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE BeginShutdown() noexcept override { return E_NOTIMPL; }

  private:
    Journal& m_journal;
};

// The host's keys of one folder section, in the order the save writes them.
std::string Section(int n, const std::string& entryId, const std::string& storeId, const std::string& name,
                    const std::string& flags, const std::string& sound, const std::vector<std::string>& plugins = {})
{
    std::string text = "[Folder" + std::to_string(n) + "]\r\nEntryId=" + entryId + "\r\nStoreId=" + storeId +
                       "\r\nFriendlyName=" + name + "\r\nPlaySound=" + flags[0] + "\r\nUseDefaultSound=" + flags[1] +
                       "\r\nShowTrayIcon=" + flags[2] + "\r\nChangeCursor=" + flags[3] + "\r\nSoundFile=" + sound +
                       "\r\nPluginCount=" + std::to_string(plugins.size()) + "\r\n";
    for (size_t j = 0; j < plugins.size(); ++j)
        text += "Plugin" + std::to_string(j + 1) + "=" + plugins[j] + "\r\n";
    return text;
}

std::string General(int count) { return "[General]\r\nFolderCount=" + std::to_string(count) + "\r\n"; }

// A file as a save writes it: the host's part between the file's first and last lines.
std::string Written(const std::string& body)
{
    return "; corvane folder configuration\r\n" + body + "; end of corvane folder configuration\r\n";
}

// The names of the files in a folder.
std::set<std::string> FilesIn(const std::string& dir)
{
    std::set<std::string> names;
    WIN32_FIND_DATAA found{};
    HANDLE h = ::FindFirstFileA((dir + "*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE)
        return names;
    do
        names.insert(found.cFileName);
    while (::FindNextFileA(h, &found));
    ::FindClose(h);
    return names;
}

// The file system's identity of a file: an in-place write keeps it, a file
// put in another's place does not.
ULONGLONG FileIdentity(const std::string& path)
{
    HANDLE h = ::CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_EXISTING, 0, nullptr);
    BY_HANDLE_FILE_INFORMATION info{};
    const bool ok = h != INVALID_HANDLE_VALUE && ::GetFileInformationByHandle(h, &info);
    if (h != INVALID_HANDLE_VALUE)
        ::CloseHandle(h);
    return ok ? (static_cast<ULONGLONG>(info.nFileIndexHigh) << 32 | info.nFileIndexLow) : 0;
}

class NotifyFoldersIniFile : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        for (const std::string& name : Names()) {
            if (Exists(name) && !(::GetFileAttributesA(name.c_str()) & FILE_ATTRIBUTE_DIRECTORY))
                m_saved[name] = ReadBytes(name);
            Remove(name);
        }
        m_fake = com::Make<FakeFolders>(m_journal);
    }
    void TearDown() override
    {
        m_fake.Reset();
        for (const std::string& name : Names())
            Remove(name);
        for (const auto& [name, bytes] : m_saved)
            WriteBytes(name, bytes);
        ::CoUninitialize();
    }
    std::vector<std::string> Names() const { return {m_file, m_backup}; }
    static void Remove(const std::string& name)
    {
        if (!::DeleteFileA(name.c_str()))
            ::RemoveDirectoryA(name.c_str());
    }

    static void Load(_NotifyFolders* folders)
    {
        ComPtr<NotifyFoldersIni> ini = com::Make<NotifyFoldersIni>();
        EXPECT_EQ(S_OK, ini->LoadFolders(&folders));
    }
    static void Save(_NotifyFolders* folders)
    {
        ComPtr<NotifyFoldersIni> ini = com::Make<NotifyFoldersIni>();
        EXPECT_EQ(S_OK, ini->SaveFolders(&folders));
    }
    // A save that cannot write reports it.
    static void SaveFails(_NotifyFolders* folders)
    {
        ComPtr<NotifyFoldersIni> ini = com::Make<NotifyFoldersIni>();
        EXPECT_TRUE(FAILED(ini->SaveFolders(&folders)));
    }
    // The add-in's own collection; its folders cannot be bound and are kept.
    static ComPtr<NotifyFolders> RealCollection()
    {
        ComPtr<NotifyFolders> folders = com::Make<NotifyFolders>();
        folders->putref_OutlookNamespace(com::Make<DeadNamespace>().Get());
        return folders;
    }
    static ComPtr<_NotifyFolder> At(_NotifyFolders* folders, long index)
    {
        ComPtr<_NotifyFolder> nf;
        folders->GetAt(index, &nf);
        return nf;
    }
    static long Count(_NotifyFolders* folders)
    {
        long n = -1;
        folders->get_Count(&n);
        return n;
    }
    // A plug-in's way of keeping its settings: the profile functions on the file itself.
    void PluginWrites(const std::string& section, const char* key, const char* value) const
    {
        ::WritePrivateProfileStringA(section.c_str(), key, value, m_file.c_str());
    }

    const std::string m_file = com::Narrow(com::Module::Directory()) + "notifyfolders.ini";
    const std::string m_backup = m_file + ".bak";
    std::map<std::string, std::string> m_saved;
    Journal m_journal;
    ComPtr<FakeFolders> m_fake;
};

// ---------------------------------------------------------------------------
// Location and the folder count

TEST_F(NotifyFoldersIniFile, LivesBesideTheModuleAndCountsFolders)
{
    ComPtr<NotifyFoldersIni> ini = com::Make<NotifyFoldersIni>();
    EXPECT_EQ(com::Widen(m_file), ini->FileName());

    short count = 99;
    EXPECT_EQ(S_OK, ini->get_FolderCount(&count));
    EXPECT_EQ(0, count);
    EXPECT_EQ(S_OK, ini->put_FolderCount(5));
    EXPECT_EQ("[General]\r\nFolderCount=5\r\n", ReadBytes(m_file));
    EXPECT_EQ(S_OK, ini->get_FolderCount(&count));
    EXPECT_EQ(5, count);
    EXPECT_EQ(E_POINTER, ini->get_FolderCount(nullptr));
}

// ---------------------------------------------------------------------------
// Loading

TEST_F(NotifyFoldersIniFile, WithoutAFileOrACollectionNothingIsLoaded)
{
    ComPtr<NotifyFolders> folders = RealCollection();
    Load(folders.Get());
    EXPECT_EQ(0, Count(folders.Get()));

    WriteBytes(m_file, General(1) + Section(1, "00AA", "ST", "Inbox", "1111", ""));
    ComPtr<NotifyFoldersIni> ini = com::Make<NotifyFoldersIni>();
    EXPECT_EQ(S_OK, ini->LoadFolders(nullptr));
    _NotifyFolders* none = nullptr;
    EXPECT_EQ(S_OK, ini->LoadFolders(&none));
}

TEST_F(NotifyFoldersIniFile, LoadAddsEachFolderThenItsSettingsThenItsPlugins)
{
    WriteBytes(m_file, "[General]\r\nFolderCount=2\r\n"
                       "[Folder1]\r\nEntryId=00AA\r\nStoreId=ST1\r\nFriendlyName=Inbox\r\nPlaySound=2\r\n"
                       "UseDefaultSound=0\r\nShowTrayIcon=1\r\nChangeCursor=1\r\nSoundFile=C:\\ding.wav\r\n"
                       "PluginCount=3\r\nPlugin1=ZarqNotifier\r\nPlugin2=\r\nPlugin3=ZarqOther\r\nMyOwnKey=x\r\n"
                       "[Folder2]\r\nEntryId=00BB\r\nStoreId=ST2\r\nFriendlyName=Support\r\n");
    Load(m_fake.Get());
    EXPECT_EQ((Journal{"Add(00AA|ST1|Inbox)", "00AA.ChangeCursor(1)", "00AA.PlaySound(1)", "00AA.ShowTrayIcon(1)",
                       "00AA.SoundFile(C:\\ding.wav)", "00AA.UseDefaultSound(0)", "00AA.AddPluginByClass(ZarqNotifier)",
                       "00AA.AddPluginByClass(ZarqOther)", "00AA.LoadPlugins(Folder1)", "Add(00BB|ST2|Support)",
                       "00BB.ChangeCursor(0)", "00BB.PlaySound(0)", "00BB.ShowTrayIcon(0)", "00BB.SoundFile()",
                       "00BB.UseDefaultSound(0)", "00BB.LoadPlugins(Folder2)"}),
              m_journal);
}

TEST_F(NotifyFoldersIniFile, LoadedIdentifiersAreCutToTheirBuffers)
{
    WriteBytes(m_file, General(1) + Section(1, std::string(300, 'E'), std::string(600, 'S'), std::string(100000, 'N'),
                                            "0000", std::string(100000, 'W')));
    Load(m_fake.Get());
    ASSERT_EQ(1u, m_fake->folders.size());
    const FakeFolder& f = *m_fake->folders[0].Get();
    EXPECT_EQ(std::wstring(253, L'E'), f.entryId);
    EXPECT_EQ(std::wstring(510, L'S'), f.storeId);
    EXPECT_EQ(std::wstring(253, L'N'), f.name);
    EXPECT_EQ(std::wstring(253, L'W'), f.soundFile);
}

TEST_F(NotifyFoldersIniFile, AFailingCallEndsTheLoadAndIsLogged)
{
    // A plug-in that cannot be switched on (today: the folder has no plug-in host yet).
    m_fake->failures[L"00BB"] = "AddPluginByClass";
    WriteBytes(m_file, General(3) + Section(1, "00AA", "S", "A", "1000", "") +
                           Section(2, "00BB", "S", "B", "0100", "", {"ZarqNotifier"}) +
                           Section(3, "00CC", "S", "C", "0010", ""));
    addintest::LogWatch log;
    // Answered, so that the caller does not save the two folders over the three.
    _NotifyFolders* folders = m_fake.Get();
    EXPECT_TRUE(FAILED(com::Make<NotifyFoldersIni>()->LoadFolders(&folders)));
    ASSERT_EQ(2u, m_fake->folders.size()); // the third section is not reached
    EXPECT_TRUE(m_fake->folders[0]->playSound);
    EXPECT_TRUE(m_fake->folders[1]->useDefaultSound); // settings before the failure stay
    EXPECT_EQ(1u, log.Records());
    const std::string text = log.Added();
    EXPECT_NE(std::string::npos, text.find("Source   : NotifyFoldersIni::LoadFolders()\r\n")) << text;
    EXPECT_NE(std::string::npos, text.find("Injected failure of AddPluginByClass")) << text;
}

TEST_F(NotifyFoldersIniFile, DuplicateEntryIdsYieldOneFolderWithTheLastSettings)
{
    WriteBytes(m_file, General(2) + Section(1, "00AA", "S", "First", "1111", "one.wav") +
                           Section(2, "00aa", "S", "Second", "0010", "two.wav"));
    ComPtr<NotifyFolders> folders = RealCollection();
    Load(folders.Get());
    ASSERT_EQ(1, Count(folders.Get()));
    ComPtr<_NotifyFolder> nf = At(folders.Get(), 1);
    Bstr name, sound;
    VARIANT_BOOL play = VARIANT_TRUE, tray = VARIANT_FALSE;
    nf->get_FriendlyName(name.put());
    nf->get_SoundFile(sound.put());
    nf->get_PlaySound(&play);
    nf->get_ShowTrayIcon(&tray);
    EXPECT_EQ(L"First", name.str());
    EXPECT_EQ(L"two.wav", sound.str());
    EXPECT_EQ(VARIANT_FALSE, play);
    EXPECT_EQ(VARIANT_TRUE, tray);
}

// ---------------------------------------------------------------------------
// Bad input: what is valid loads, nothing crashes

TEST_F(NotifyFoldersIniFile, FolderCountsOutOfRangeLoadNothing)
{
    for (const char* count : {"40000", "-3", "0", "abc", "", "99999999999"}) {
        SCOPED_TRACE(count);
        m_journal.clear();
        WriteBytes(m_file, std::string("[General]\r\nFolderCount=") + count + "\r\n" +
                               Section(1, "00AA", "S", "A", "1111", ""));
        Load(m_fake.Get());
        EXPECT_EQ(Journal{}, m_journal);
    }
}

TEST_F(NotifyFoldersIniFile, MissingSectionsAndKeysTakeTheDefaults)
{
    // Folder2 is missing altogether (skipped), Folder3 has only its
    // identifier, Folder4 is an empty section (loaded with empty keys).
    WriteBytes(m_file, General(4) + Section(1, "00AA", "S", "A", "1111", "x.wav") +
                           "[Folder3]\r\nEntryId=00CC\r\nPluginCount=2\r\nPlugin2=ZarqOther\r\n[folder4]\r\n");
    addintest::LogWatch log;
    Load(m_fake.Get());
    EXPECT_EQ((Journal{"Add(00AA|S|A)",
                       "00AA.ChangeCursor(1)",
                       "00AA.PlaySound(1)",
                       "00AA.ShowTrayIcon(1)",
                       "00AA.SoundFile(x.wav)",
                       "00AA.UseDefaultSound(1)",
                       "00AA.LoadPlugins(Folder1)",
                       "Add(00CC||)",
                       "00CC.ChangeCursor(0)",
                       "00CC.PlaySound(0)",
                       "00CC.ShowTrayIcon(0)",
                       "00CC.SoundFile()",
                       "00CC.UseDefaultSound(0)",
                       "00CC.AddPluginByClass(ZarqOther)",
                       "00CC.LoadPlugins(Folder3)",
                       "Add(||)",
                       ".ChangeCursor(0)",
                       ".PlaySound(0)",
                       ".ShowTrayIcon(0)",
                       ".SoundFile()",
                       ".UseDefaultSound(0)",
                       ".LoadPlugins(Folder4)"}),
              m_journal);
    EXPECT_EQ(1u, log.Records());
    EXPECT_NE(std::string::npos,
              log.Added().find("Type     : Warning\r\n"
                               "Message  : FolderCount is 4, but 1 of these folder sections do not exist; they were "
                               "skipped\r\nSource   : NotifyFoldersIni::LoadFolders()\r\n"));
}

TEST_F(NotifyFoldersIniFile, ACorruptFolderCountLoadsOnlyTheSectionsThatExist)
{
    // One folder, and a count that claims 32767: loading the add-in's own
    // collection adds that folder, writes one Warning for the rest, and the
    // next save writes the one folder back.
    WriteBytes(m_file, General(32767) + Section(1, "00AA", "S", "A", "1111", ""));
    ComPtr<NotifyFolders> folders = RealCollection();
    addintest::LogWatch log;
    Load(folders.Get());
    EXPECT_EQ(1, Count(folders.Get()));
    const std::string added = log.Added();
    EXPECT_NE(std::string::npos, added.find("Message  : FolderCount is 32767, but 32766 of these folder sections do "
                                            "not exist; they were skipped\r\n"));
    EXPECT_LE(log.Records(), 3u); // that Warning, and what binding the one folder wrote
    EXPECT_LT(added.size(), 4096u);
    Save(folders.Get());
    EXPECT_EQ(1, ::GetPrivateProfileIntA("General", "FolderCount", -1, m_file.c_str()));
}

TEST_F(NotifyFoldersIniFile, BinaryGarbageAroundValidSectionsLoadsTheValidOnes)
{
    std::string garbage;
    uint32_t x = 4711;
    for (int i = 0; i < 100000; ++i) {
        x = x * 1103515245u + 12345u;
        const char c = static_cast<char>(x >> 24);
        garbage += c == '[' ? '(' : c; // no accidental section headers
    }
    // Garbage alone: nothing to load.
    WriteBytes(m_file, garbage);
    Load(m_fake.Get());
    EXPECT_EQ(Journal{}, m_journal);

    // Garbage between valid sections, and a 100,000-character line inside one.
    WriteBytes(m_file, "ANSI text first\r\n" + garbage + "\r\n" + General(1) + "[Folder1]\r\nEntryId=00AA\r\n" +
                           std::string(100000, 'z') + "\r\nPlaySound=1\r\n" + garbage + "\r\n[Other]\r\n");
    Load(m_fake.Get());
    ASSERT_EQ(1u, m_fake->folders.size());
    EXPECT_EQ(L"00AA", m_fake->folders[0]->entryId);
    EXPECT_TRUE(m_fake->folders[0]->playSound);
}

// ---------------------------------------------------------------------------
// Saving

TEST_F(NotifyFoldersIniFile, SaveWritesFoldersInOrderAndGeneralLast)
{
    FakeFolder& a = m_fake->Folder(L"00AA11", L"0000STORE", L"Posteingang");
    a.playSound = true;
    a.changeCursor = true;
    a.soundFile = L"C:\\Windows\\Media\\ding.wav";
    a.plugins = {L"ZarqNotifier", L"ZarqOther"};
    FakeFolder& b = m_fake->Folder(L"00BB22", L"",
                                   L"\xD6"
                                   L"ffentliche Ordner = Public; Folders");
    b.useDefaultSound = true;
    b.showTrayIcon = true;
    Save(m_fake.Get());
    EXPECT_EQ(Written("[Folder1]\r\n"
                      "EntryId=00AA11\r\n"
                      "StoreId=0000STORE\r\n"
                      "FriendlyName=Posteingang\r\n"
                      "PlaySound=1\r\n"
                      "UseDefaultSound=0\r\n"
                      "ShowTrayIcon=0\r\n"
                      "ChangeCursor=1\r\n"
                      "SoundFile=C:\\Windows\\Media\\ding.wav\r\n"
                      "PluginCount=2\r\n"
                      "Plugin1=ZarqNotifier\r\n"
                      "Plugin2=ZarqOther\r\n"
                      "[Folder2]\r\n"
                      "EntryId=00BB22\r\n"
                      "StoreId=\r\n"
                      "FriendlyName=\xD6"
                      "ffentliche Ordner = Public; Folders\r\n"
                      "PlaySound=0\r\n"
                      "UseDefaultSound=1\r\n"
                      "ShowTrayIcon=1\r\n"
                      "ChangeCursor=0\r\n"
                      "SoundFile=\r\n"
                      "PluginCount=0\r\n"
                      "[General]\r\n"
                      "FolderCount=2\r\n"),
              ReadBytes(m_file));
    EXPECT_EQ((Journal{"00AA11.SavePlugins(Folder1)", "00BB22.SavePlugins(Folder2)"}), m_journal);
    EXPECT_FALSE(Exists(m_backup)); // there was no file to keep
}

TEST_F(NotifyFoldersIniFile, AnEmptyCollectionSavesOnlyTheCount)
{
    Save(m_fake.Get());
    EXPECT_EQ(Written(General(0)), ReadBytes(m_file));

    ComPtr<NotifyFoldersIni> ini = com::Make<NotifyFoldersIni>();
    _NotifyFolders* none = nullptr;
    EXPECT_EQ(S_OK, ini->SaveFolders(nullptr));
    EXPECT_EQ(S_OK, ini->SaveFolders(&none));
    EXPECT_FALSE(Exists(m_backup)); // no collection: no backup, nothing written
}

TEST_F(NotifyFoldersIniFile, TheBackupHoldsThePreviousBytes)
{
    const std::string previous =
        "; written by hand\n\n[General]\nFolderCount=1\n[Folder1]\nEntryId=OLD\n  odd  =  spacing  \n\xFF\x01";
    WriteBytes(m_file, previous);
    WriteBytes(m_backup, "an older backup");
    // Both files are written where they are: a user who may change them but
    // create nothing in their folder can save.
    const std::string dir = m_file.substr(0, m_file.rfind('\\') + 1);
    const std::set<std::string> files = FilesIn(dir);
    const ULONGLONG fileIdentity = FileIdentity(m_file), backupIdentity = FileIdentity(m_backup);
    ASSERT_NE(0u, fileIdentity);
    m_fake->Folder(L"NEW");
    m_fake->folders[0]->onSavePlugins = [&](const std::string&) { EXPECT_EQ(files, FilesIn(dir)); };
    Save(m_fake.Get());
    EXPECT_EQ(previous, ReadBytes(m_backup));
    EXPECT_EQ(Written(Section(1, "NEW", "ST", "Name", "0000", "") + General(1)), ReadBytes(m_file));
    EXPECT_EQ(files, FilesIn(dir));
    EXPECT_EQ(fileIdentity, FileIdentity(m_file));
    EXPECT_EQ(backupIdentity, FileIdentity(m_backup));

    // The next save keeps this file, and a removed folder leaves no section behind.
    const std::string first = ReadBytes(m_file);
    m_fake->folders.clear();
    Save(m_fake.Get());
    EXPECT_EQ(first, ReadBytes(m_backup));
    EXPECT_EQ(Written(General(0)), ReadBytes(m_file));
}

TEST_F(NotifyFoldersIniFile, PluginKeysLandInTheirSectionAfterTheHostKeys)
{
    WriteBytes(m_file, "previous");
    FakeFolder& a = m_fake->Folder(L"00AA");
    a.plugins = {L"ZarqNotifier"};
    FakeFolder& b = m_fake->Folder(L"00BB");
    const std::string hostPart = Section(1, "00AA", "ST", "Name", "0000", "", {"ZarqNotifier"}) +
                                 Section(2, "00BB", "ST", "Name", "0000", "") + General(2);
    std::vector<std::string> seenByPlugins;
    a.onSavePlugins = [&](const std::string& section) {
        seenByPlugins.push_back(ReadBytes(m_file));
        PluginWrites(section, "Columns", "Subject;From");
        PluginWrites(section, "Width", "320");
    };
    b.onSavePlugins = [&](const std::string& section) {
        seenByPlugins.push_back(ReadBytes(m_file));
        PluginWrites(section, "Sound", "chimes.wav");
    };
    Save(m_fake.Get());

    // When the plug-ins write, the file is already the complete new one.
    ASSERT_EQ(2u, seenByPlugins.size());
    EXPECT_EQ(Written(hostPart), seenByPlugins[0]);
    EXPECT_EQ(Written(Section(1, "00AA", "ST", "Name", "0000", "", {"ZarqNotifier"}) +
                      "Columns=Subject;From\r\nWidth=320\r\n" + Section(2, "00BB", "ST", "Name", "0000", "") +
                      "Sound=chimes.wav\r\n" + General(2)),
              ReadBytes(m_file));
    EXPECT_EQ("previous", ReadBytes(m_backup));
}

TEST_F(NotifyFoldersIniFile, TheFileIsUntouchedWhileTheSectionsAreBuilt)
{
    const std::string previous = General(1) + Section(1, "OLD", "S", "Old", "1111", "");
    WriteBytes(m_file, previous);
    std::vector<std::string> seen;
    for (const wchar_t* id : {L"01", L"02", L"03"})
        m_fake->Folder(id).onRead = [&] { seen.push_back(ReadBytes(m_file)); };
    Save(m_fake.Get());
    EXPECT_EQ((std::vector<std::string>{previous, previous, previous}), seen);
    EXPECT_EQ(previous, ReadBytes(m_backup));
}

// A file of the sections before the failing one would lose the folders
// after it: the save ends before either file is touched.
TEST_F(NotifyFoldersIniFile, AFailingFolderOrEnumerationEndsTheSaveBeforeTheFileIsTouched)
{
    WriteBytes(m_file, "previous");
    m_fake->Folder(L"01").plugins = {L"ZarqNotifier"};
    FakeFolder& failing = m_fake->Folder(L"02");
    failing.failOn = "SoundFile";
    m_fake->Folder(L"03");
    addintest::LogWatch log;
    SaveFails(m_fake.Get());
    EXPECT_EQ("previous", ReadBytes(m_file));
    EXPECT_FALSE(ReadBytes(m_backup).size()); // no backup made
    EXPECT_EQ(Journal{}, m_journal);          // no plug-in wrote
    EXPECT_EQ(1u, log.Records());
    EXPECT_NE(std::string::npos, log.Added().find("Source   : NotifyFoldersIni::SaveFolders()\r\n"));
    EXPECT_NE(std::string::npos, log.Added().find("Injected failure of SoundFile"));

    failing.failOn.clear();
    m_fake->failEnum = true;
    SaveFails(m_fake.Get());
    EXPECT_EQ("previous", ReadBytes(m_file));
    EXPECT_EQ(2u, log.Records());
}

TEST_F(NotifyFoldersIniFile, PluginsThatCannotSaveDoNotStopTheOthers)
{
    m_fake->Folder(L"01").failOn = "SavePlugins";
    m_fake->Folder(L"02");
    addintest::LogWatch log;
    Save(m_fake.Get());
    EXPECT_EQ(Journal{"02.SavePlugins(Folder2)"}, m_journal);
    EXPECT_EQ(1u, log.Records());
    EXPECT_NE(std::string::npos, log.Added().find("Source   : NotifyFoldersIni::SaveFolders()\r\n"));
    EXPECT_EQ(
        Written(Section(1, "01", "ST", "Name", "0000", "") + Section(2, "02", "ST", "Name", "0000", "") + General(2)),
        ReadBytes(m_file));
}

TEST_F(NotifyFoldersIniFile, ASaveThatCannotKeepTheBackupLeavesTheFileAsItWasAndFails)
{
    WriteBytes(m_file, "current");
    // The backup cannot be written: a directory stands in its place.
    ASSERT_TRUE(::CreateDirectoryA(m_backup.c_str(), nullptr));
    m_fake->Folder(L"01").onSavePlugins = [&](const std::string& section) { PluginWrites(section, "k", "v"); };
    addintest::LogWatch log;
    SaveFails(m_fake.Get());
    EXPECT_EQ("current", ReadBytes(m_file));
    EXPECT_EQ(Journal{}, m_journal); // no plug-in wrote into the old file
    EXPECT_EQ(1u, log.Records());
    EXPECT_NE(std::string::npos, log.Added().find("Source   : NotifyFoldersIni::SaveFolders()\r\n"));
}

TEST_F(NotifyFoldersIniFile, ASaveThatCannotReadOrWriteTheFileKeepsTheBackupAndFails)
{
    // The configuration file's name is taken by a directory: it can be neither read nor written.
    ASSERT_TRUE(::CreateDirectoryA(m_file.c_str(), nullptr));
    WriteBytes(m_backup, "older");
    m_fake->Folder(L"01");
    addintest::LogWatch log;
    SaveFails(m_fake.Get());
    EXPECT_TRUE(::GetFileAttributesA(m_file.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ("older", ReadBytes(m_backup));
    EXPECT_EQ(Journal{}, m_journal);
    EXPECT_EQ(1u, log.Records());
}

// A save that stopped while it wrote the file leaves it without its last
// line, or empty: the next load reads the backup, with one warning; the
// next save does not copy the incomplete file over the backup.
TEST_F(NotifyFoldersIniFile, AnInterruptedSaveLoadsFromTheBackup)
{
    const std::string complete = Written(Section(1, "OLD", "S", "Old", "1000", "") + General(1));
    const std::string newer = Written(Section(1, "NEW", "S", "New", "0000", "") + General(1));
    for (const std::string& cut : {newer.substr(0, newer.size() - 40), newer.substr(0, 30), std::string()}) {
        SCOPED_TRACE("file of " + std::to_string(cut.size()) + " bytes");
        WriteBytes(m_file, cut);
        WriteBytes(m_backup, complete);
        ComPtr<NotifyFolders> folders = RealCollection();
        addintest::LogWatch log;
        Load(folders.Get());
        ASSERT_EQ(1, Count(folders.Get()));
        VARIANT_BOOL flag = VARIANT_FALSE;
        At(folders.Get(), 1)->get_PlaySound(&flag);
        EXPECT_EQ(VARIANT_TRUE, flag);
        EXPECT_EQ(1u, log.Count("notifyfolders.ini was not saved completely"));

        Save(folders.Get());
        EXPECT_EQ(complete, ReadBytes(m_backup));
        EXPECT_EQ(complete, ReadBytes(m_file));
    }

    // A file without the first line is an earlier version's: read as it is.
    WriteBytes(m_file, General(1) + Section(1, "EARLIER", "S", "Earlier", "0000", ""));
    WriteBytes(m_backup, complete);
    ComPtr<NotifyFolders> folders = RealCollection();
    addintest::LogWatch log;
    Load(folders.Get());
    ASSERT_EQ(1, Count(folders.Get()));
    Bstr id;
    At(folders.Get(), 1)->get_EntryId(id.put());
    EXPECT_EQ(L"EARLIER", id.str());
    EXPECT_EQ(0u, log.Count("not saved completely"));
}

// ---------------------------------------------------------------------------
// Round trips through the add-in's own collection

TEST_F(NotifyFoldersIniFile, ARoundTripKeepsEverySetting)
{
    ComPtr<NotifyFolders> first = RealCollection();
    long n = 0;
    first->Add(Bstr(L"00AA").get(), Bstr(L"STORE1").get(), Bstr(L"Inbox; = Posteingang").get(), &n);
    first->Add(Bstr(L"00BB").get(), Bstr(std::wstring(510, L'S')).get(), Bstr(L"Public").get(), &n);
    ComPtr<_NotifyFolder> nf = At(first.Get(), 1);
    nf->put_PlaySound(VARIANT_TRUE);
    nf->put_ChangeCursor(VARIANT_TRUE);
    nf->put_SoundFile(Bstr(L"C:\\Media\\Wave Files\\ding.wav").get());
    nf = At(first.Get(), 2);
    nf->put_UseDefaultSound(VARIANT_TRUE);
    nf->put_ShowTrayIcon(VARIANT_TRUE);
    Save(first.Get());
    const std::string saved = ReadBytes(m_file);

    ComPtr<NotifyFolders> second = RealCollection();
    Load(second.Get());
    ASSERT_EQ(2, Count(second.Get()));
    Save(second.Get());
    EXPECT_EQ(saved, ReadBytes(m_file));
    EXPECT_EQ(saved, ReadBytes(m_backup));
    EXPECT_NE(std::string::npos, saved.find("StoreId=" + std::string(510, 'S') + "\r\n"));
    EXPECT_NE(std::string::npos, saved.find("SoundFile=C:\\Media\\Wave Files\\ding.wav\r\n"));
}

} // namespace

// The collection's own save and load, with real plug-ins (the probe).
TEST_F(NotifyFoldersIniFile, CollectionSavePreparesSharedPluginsAndLoadBringsThemBack)
{
    ProbeJournal probe;
    ASSERT_TRUE(probe.Loaded());
    ComPtr<NotifyFolders> folders = RealCollection();
    long n = 0;
    folders->Add(Bstr(L"E1").get(), Bstr(L"S1").get(), Bstr(L"Support").get(), &n);
    folders->Add(Bstr(L"E2").get(), Bstr(L"S2").get(), Bstr(L"Vertrieb").get(), &n);
    At(folders.Get(), 1)->AddPluginByClass(Bstr(L"ZarqProbe").get());
    At(folders.Get(), 2)->AddPluginByClass(Bstr(L"ZarqProbe").get());
    At(folders.Get(), 2)->AddPluginByClass(Bstr(L"ZarqOther").get());
    WriteBytes(m_file, "[General]\r\nFolderCount=0\r\n");
    probe.Take();

    VARIANT_BOOL saved = VARIANT_FALSE;
    ASSERT_EQ(S_OK, folders->SaveToFile(&saved));
    EXPECT_EQ(VARIANT_TRUE, saved);
    // The shared instances first, one per class; then each folder's own.
    EXPECT_EQ((std::vector<std::string>{"ZarqProbe#1 BeforeSaveSettings", "ZarqOther#3 BeforeSaveSettings",
                                        "ZarqProbe#1 SaveSettings Folder1", "ZarqProbe#2 SaveSettings Folder2",
                                        "ZarqOther#3 SaveSettings Folder2"}),
              probe.Take());
    EXPECT_EQ("[General]\r\nFolderCount=0\r\n", ReadBytes(m_backup));
    const std::string text = ReadBytes(m_file);
    EXPECT_NE(std::string::npos, text.find("PluginCount=2\r\nPlugin1=ZarqProbe\r\nPlugin2=ZarqOther\r\n"));
    EXPECT_LT(text.find("[Folder2]"), text.find("[General]"));

    // A shared plug-in that cannot prepare stops the save: nothing is written.
    probe.Fail("ZarqOther.BeforeSaveSettings");
    addintest::LogWatch log;
    ASSERT_EQ(S_OK, folders->SaveToFile(&saved));
    EXPECT_EQ(VARIANT_FALSE, saved);
    EXPECT_NE(std::string::npos, log.Added().find("Source   : NotifyFolders::SaveToFile()\r\n"));
    EXPECT_EQ(text, ReadBytes(m_file));
    probe.Reset();

    // Loading empties the collection and reads the folders with their plug-ins again.
    VARIANT_BOOL loaded = VARIANT_FALSE;
    ASSERT_EQ(S_OK, folders->LoadFromFile(&loaded));
    EXPECT_EQ(VARIANT_TRUE, loaded);
    EXPECT_EQ(2, Count(folders.Get()));
    long plugins = 0;
    At(folders.Get(), 2)->get_PluginCount(&plugins);
    EXPECT_EQ(2, plugins);
    const auto calls = probe.Take();
    EXPECT_NE(calls.end(), std::find(calls.begin(), calls.end(), "ZarqOther#3 LoadSettings Folder2"));
    folders->BeginShutdown();
}
