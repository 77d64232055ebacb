// The plug-in host through the real COM boundary: the probe plug-in
// (ZarqProbe.dll, classes ZarqProbe and ZarqOther) is created by its
// programmatic identifier and records every call it receives.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "AddinTestSupport.h"
#include "DeadNamespace.h"
#include "NotifyFolders.h"
#include "ProbeJournal.h"
#include "ZarqPlugins.h"

using com::Bstr;
using com::ComPtr;
using Lines = std::vector<std::string>;

namespace {

class PluginHost : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ASSERT_TRUE(m_probe.Loaded());
        m_probe.Reset();
    }
    void TearDown() override { ::CoUninitialize(); }

    static long Add(ZarqPlugins* list, const wchar_t* cls)
    {
        long index = -1;
        EXPECT_EQ(S_OK, list->Add(Bstr(cls).get(), &index));
        return index;
    }
    static ComPtr<_ZarqPlugin> At(ZarqPlugins* list, long index)
    {
        ComPtr<_ZarqPlugin> pi;
        list->GetAt(index, &pi);
        return pi;
    }
    static bool Has(ZarqPlugins* list, const wchar_t* cls)
    {
        VARIANT_BOOL found = VARIANT_TRUE;
        list->Find(Bstr(cls).get(), &found);
        return found != VARIANT_FALSE;
    }
    // A collection with folders that are not bound to Outlook.
    ComPtr<NotifyFolders> Collection(std::initializer_list<const wchar_t*> entryIds)
    {
        auto folders = com::Make<NotifyFolders>();
        folders->putref_OutlookNamespace(com::Make<DeadNamespace>().Get());
        for (const wchar_t* id : entryIds) {
            long n = 0;
            folders->Add(Bstr(id).get(), Bstr(L"AB").get(), Bstr(id).get(), &n);
        }
        return folders;
    }
    static ComPtr<_NotifyFolder> Folder(NotifyFolders* folders, long index)
    {
        ComPtr<_NotifyFolder> nf;
        folders->GetAt(index, &nf);
        return nf;
    }

    ProbeJournal m_probe;
};

} // namespace

TEST_F(PluginHost, ListCreatesByProgIdAndKeysIgnoreLetterCase)
{
    auto list = com::Make<ZarqPlugins>();
    EXPECT_EQ(1, Add(list.Get(), L"ZarqProbe"));
    EXPECT_EQ(2, Add(list.Get(), L"ZarqOther"));
    // The same programmatic identifier in other letters: nothing added, the new instance goes unstarted.
    EXPECT_EQ(2, Add(list.Get(), L"zarqprobe"));
    EXPECT_TRUE(m_probe.Take().empty());

    addintest::LogWatch log;
    EXPECT_EQ(0, Add(list.Get(), L"ZarqMissing"));
    EXPECT_EQ(1u, log.Records());
    EXPECT_NE(std::string::npos,
              log.Added().find("Type     : Error\r\n"
                               "Message  : Could not create instance of plugin ZarqMissing.ZarqPlugin\r\n"
                               "Source   : ZarqPlugins::Add()\r\n"));
    long count = 0;
    list->get_Count(&count);
    EXPECT_EQ(2, count);

    // Lookups by class name compare as the keys do, letter case ignored.
    EXPECT_TRUE(Has(list.Get(), L"ZarqOther"));
    EXPECT_TRUE(Has(list.Get(), L"zarqother"));
    EXPECT_FALSE(Has(list.Get(), L"ZarqOthers"));
    long index = -1;
    list->FindIndex(Bstr(L"ZarqOther").get(), &index);
    EXPECT_EQ(2, index);
    index = -1;
    list->FindIndex(Bstr(L"ZARQOTHER").get(), &index);
    EXPECT_EQ(2, index);
    list->FindIndex(Bstr(L"ZarqNone").get(), &index);
    EXPECT_EQ(0, index);
    EXPECT_FALSE(At(list.Get(), 0));
    EXPECT_FALSE(At(list.Get(), 3));
    EXPECT_TRUE(At(list.Get(), 2));

    // Remove goes by key, so letter case does not matter there.
    list->Remove(Bstr(L"ZARQPROBE").get());
    list->Remove(Bstr(L"ZarqNone").get());
    list->get_Count(&count);
    EXPECT_EQ(1, count);

    VARIANT_BOOL result = VARIANT_TRUE;
    list->SaveToFile(&result);
    EXPECT_EQ(VARIANT_TRUE, result);
    list->LoadFromFile(&result);
    EXPECT_EQ(VARIANT_FALSE, result);
    list->get_Count(&count);
    EXPECT_EQ(0, count);
    EXPECT_EQ(1u, log.Records());
}

TEST_F(PluginHost, CatalogueCountsUsesOnTheSharedInstance)
{
    auto list = com::Make<ZarqPlugins>();
    Add(list.Get(), L"ZarqProbe");
    Add(list.Get(), L"ZarqOther");
    Add(list.Get(), L"ZarqProbe"); // not added
    auto catalogue = com::Make<ZarqPlugins>();
    ComPtr<_ZarqPlugin> first = At(list.Get(), 1);
    // A second, independent instance of the same class:
    auto other = com::Make<ZarqPlugins>();
    Add(other.Get(), L"ZarqProbe");
    ComPtr<_ZarqPlugin> second = At(other.Get(), 1);
    m_probe.Take();

    catalogue->AddInstance(first.Get());
    catalogue->AddInstance(second.Get());
    EXPECT_EQ((Lines{"ZarqProbe#1 AddRef", "ZarqProbe#1 AddRef"}), m_probe.Take());
    long count = 0;
    catalogue->get_Count(&count);
    EXPECT_EQ(1, count);

    catalogue->RemoveInstance(second.Get());
    EXPECT_EQ((Lines{"ZarqProbe#1 DeleteRef", "ZarqProbe#1 RefCount 1"}), m_probe.Take());
    catalogue->RemoveInstance(first.Get());
    EXPECT_EQ((Lines{"ZarqProbe#1 DeleteRef", "ZarqProbe#1 RefCount 0"}), m_probe.Take());
    catalogue->get_Count(&count);
    EXPECT_EQ(0, count);
    // An instance of a class that is not entered: nothing happens.
    catalogue->RemoveInstance(At(list.Get(), 2).Get());
    EXPECT_TRUE(m_probe.Take().empty());
}

TEST_F(PluginHost, InstalledPluginsAreFoundByFileName)
{
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() / "corvane-plugins-test";
    fs::remove_all(dir);
    fs::create_directories(dir / "ZarqFolder.dll");
    for (const char* name :
         {"ZarqProbe.dll", "ZarqSample.old.dll", "Other.dll", "ZarqProbe.txt", "ZarqHidden.dll", "ZarqSystem.dll"})
        std::ofstream(dir / name) << "x";
    // Hidden and system files are no plug-ins: they are not even tried.
    ::SetFileAttributesW((dir / "ZarqHidden.dll").c_str(), FILE_ATTRIBUTE_HIDDEN);
    ::SetFileAttributesW((dir / "ZarqSystem.dll").c_str(), FILE_ATTRIBUTE_SYSTEM);
    auto list = com::Make<ZarqPlugins>();
    addintest::LogWatch log;
    com::Variant result;
    // Without a trailing backslash: one is added.
    list->GetInstalledPlugins(Bstr(dir.wstring()).get(), &result);
    EXPECT_EQ(VT_EMPTY, result.vt);
    long count = 0;
    list->get_Count(&count);
    EXPECT_EQ(1, count);
    EXPECT_TRUE(Has(list.Get(), L"ZarqProbe"));
    // ZarqSample.old.dll is tried as ZarqSample, each by its own name.
    EXPECT_NE(std::string::npos, log.Added().find("Could not create instance of plugin ZarqSample.ZarqPlugin"));
    EXPECT_EQ(std::string::npos, log.Added().find("ZarqFolder"));
    EXPECT_EQ(std::string::npos, log.Added().find("ZarqHidden"));
    EXPECT_EQ(std::string::npos, log.Added().find("ZarqSystem"));
    EXPECT_EQ(1u, log.Records());
    for (const char* name : {"ZarqHidden.dll", "ZarqSystem.dll"})
        ::SetFileAttributesW((dir / name).c_str(), FILE_ATTRIBUTE_NORMAL);
    fs::remove_all(dir);
}

TEST_F(PluginHost, FoldersSwitchPluginsOnAndOffThroughTheCatalogue)
{
    auto folders = Collection({L"F1", L"F2"});
    ComPtr<_NotifyFolder> f1 = Folder(folders.Get(), 1), f2 = Folder(folders.Get(), 2);
    ASSERT_TRUE(f1 && f2);

    f1->AddPluginByClass(Bstr(L"ZarqProbe").get());
    f1->AddPluginByClass(Bstr(L"ZarqProbe").get()); // already on: nothing
    f1->AddPluginByClass(Bstr(L"ZarqOther").get());
    f2->AddPluginByClass(Bstr(L"ZarqProbe").get());
    EXPECT_EQ((Lines{"ZarqProbe#1 StartUp", "ZarqProbe#1 AddRef", "ZarqOther#2 StartUp", "ZarqOther#2 AddRef",
                     "ZarqProbe#3 StartUp", "ZarqProbe#1 AddRef"}),
              m_probe.Take());

    long count = 0;
    f1->get_PluginCount(&count);
    EXPECT_EQ(2, count);
    VARIANT_BOOL active = VARIANT_FALSE;
    f1->get_IsPluginActive(Bstr(L"ZarqOther").get(), &active);
    EXPECT_EQ(VARIANT_TRUE, active);
    f2->get_IsPluginActive(Bstr(L"ZarqOther").get(), &active);
    EXPECT_EQ(VARIANT_FALSE, active);
    Bstr cls;
    f1->GetPluginClassByIndex(2, cls.put());
    EXPECT_EQ(L"ZarqOther", cls.str());

    // Settings and dialogs go to the folder's own instances, in list order.
    f1->LoadPlugins(Bstr(L"Folder1").get());
    f1->SavePlugins(Bstr(L"Folder1").get());
    f1->PluginConfig(com::Variant(L"ZarqOther"));
    f2->PluginInfo(com::Variant(L"ZarqProbe"));
    EXPECT_EQ((Lines{"ZarqProbe#1 LoadSettings Folder1", "ZarqOther#2 LoadSettings Folder1",
                     "ZarqProbe#1 SaveSettings Folder1", "ZarqOther#2 SaveSettings Folder1", "ZarqOther#2 Configure",
                     "ZarqProbe#3 Info"}),
              m_probe.Take());

    // Switching off counts down on the shared instance.
    f2->RemovePluginByClass(Bstr(L"ZarqProbe").get());
    f2->RemovePluginByClass(Bstr(L"ZarqOther").get()); // not on: nothing
    EXPECT_EQ((Lines{"ZarqProbe#1 DeleteRef", "ZarqProbe#1 RefCount 1"}), m_probe.Take());
    f2->get_PluginCount(&count);
    EXPECT_EQ(0, count);

    // Shutdown: one ShutDown per class entered in the catalogue.
    f1.Reset();
    f2.Reset();
    folders->BeginShutdown();
    EXPECT_EQ((Lines{"ZarqProbe#1 ShutDown", "ZarqOther#2 ShutDown"}), m_probe.Take());
    folders->get_Count(&count);
    EXPECT_EQ(0, count);
    folders->Catalogue()->get_Count(&count);
    EXPECT_EQ(0, count);
}

TEST_F(PluginHost, AClassNamedTwiceInOtherLettersIsOneClass)
{
    auto folders = Collection({L"F1"});
    ComPtr<_NotifyFolder> f1 = Folder(folders.Get(), 1);
    ASSERT_TRUE(f1);
    f1->AddPluginByClass(Bstr(L"ZarqProbe").get());
    f1->AddPluginByClass(Bstr(L"zarqprobe").get());
    f1->AddPluginByClass(Bstr(L"ZARQPROBE").get());
    EXPECT_EQ((Lines{"ZarqProbe#1 StartUp", "ZarqProbe#1 AddRef"}), m_probe.Take());
    long count = 0;
    f1->get_PluginCount(&count);
    EXPECT_EQ(1, count);
    short uses = 0;
    folders->Catalogue()->Instances().at(0)->get_RefCount(&uses);
    EXPECT_EQ(1, uses);
    m_probe.Take();

    // Switched off in yet other letters: the use is counted down, the instance goes.
    f1->RemovePluginByClass(Bstr(L"zarqPROBE").get());
    EXPECT_EQ((Lines{"ZarqProbe#1 DeleteRef", "ZarqProbe#1 RefCount 0"}), m_probe.Take());
    f1->get_PluginCount(&count);
    EXPECT_EQ(0, count);

    f1->AddPluginByClass(Bstr(L"zarqprobe").get());
    f1.Reset();
    m_probe.Take();
    folders->BeginShutdown();
    EXPECT_EQ((Lines{"ZarqProbe#2 ShutDown"}), m_probe.Take());
}

TEST_F(PluginHost, WarningsForUnknownPluginsAndIndexes)
{
    auto folders = Collection({L"F1"});
    ComPtr<_NotifyFolder> nf = Folder(folders.Get(), 1);
    nf->AddPluginByClass(Bstr(L"ZarqProbe").get());
    nf->AddPluginByClass(Bstr(L"ZarqOther").get());
    addintest::LogWatch log;

    Bstr cls;
    EXPECT_EQ(S_OK, nf->GetPluginClassByIndex(3, cls.put()));
    EXPECT_TRUE(cls.empty());
    nf->GetPluginClassByIndex(0, cls.put());
    nf->PluginConfig(com::Variant(L"ZarqUnknown"));
    nf->PluginInfo(com::Variant(L"ZarqProbes"));
    const std::string text = log.Added();
    EXPECT_NE(std::string::npos, text.find("Type     : Warning\r\n"
                                           "Message  : Index was too big ( was 3, but must be max. 2)\r\n"
                                           "Source   : NotifyFolder::GetPluginClassByIndex()\r\n"));
    EXPECT_NE(std::string::npos, text.find("Message  : Failed to get plugin with index 0\r\n"));
    EXPECT_NE(std::string::npos, text.find("Message  : Could not find plugin class ZarqUnknown\r\n"
                                           "Source   : NotifyFolder::PluginConfig()\r\n"));
    EXPECT_NE(std::string::npos, text.find("Message  : Could not find plugin class ZarqProbes\r\n"
                                           "Source   : NotifyFolder::PluginInfo()\r\n"));
    EXPECT_EQ(4u, log.Records());
    folders->BeginShutdown();
}

TEST_F(PluginHost, FailingPluginsAreToleratedAndLogged)
{
    auto folders = Collection({L"F1", L"F2"});
    ComPtr<_NotifyFolder> f1 = Folder(folders.Get(), 1), f2 = Folder(folders.Get(), 2);
    addintest::LogWatch log;

    // A plug-in that cannot start stays in the folder's list but out of the catalogue.
    m_probe.Fail("ZarqOther.StartUp");
    f1->AddPluginByClass(Bstr(L"ZarqOther").get());
    long count = 0;
    f1->get_PluginCount(&count);
    EXPECT_EQ(1, count);
    folders->Catalogue()->get_Count(&count);
    EXPECT_EQ(0, count);
    EXPECT_NE(std::string::npos, log.Added().find("Source   : NotifyFolders::RegisterPlugin()\r\n"
                                                  "Code     : -2147467259\r\n"
                                                  "Descript.: The probe was told to fail\r\n"));

    // Failing settings calls do not stop the next plug-in.
    f1->AddPluginByClass(Bstr(L"ZarqProbe").get());
    m_probe.Take();
    m_probe.Fail("LoadSettings");
    f1->LoadPlugins(Bstr(L"Folder1").get());
    EXPECT_EQ((Lines{"ZarqOther#1 LoadSettings Folder1", "ZarqProbe#2 LoadSettings Folder1"}), m_probe.Take());

    // Configure failing is logged under the folder's operation.
    m_probe.Fail("Configure");
    f1->PluginConfig(com::Variant(L"ZarqProbe"));
    EXPECT_NE(std::string::npos, log.Added().find("Source   : NotifyFolder::PluginConfig()\r\n"));

    // A plug-in whose GetClass fails makes lookups find nothing, logged.
    m_probe.Fail("ZarqOther.GetClass");
    VARIANT_BOOL active = VARIANT_TRUE;
    f1->get_IsPluginActive(Bstr(L"ZarqProbe").get(), &active);
    EXPECT_EQ(VARIANT_FALSE, active);
    EXPECT_NE(std::string::npos, log.Added().find("Source   : ZarqPlugins::Find()\r\n"));
    m_probe.Reset();
    f1.Reset();
    f2.Reset();
    folders->BeginShutdown();
}
