// The configuration save run in a process of its own, for the test that
// kills it: 200 watched folders bound to the Outlook stand-in, saved through
// the collection's SaveToFile into notifyfolders.ini beside this program.
//
//   config_save_child reference   saves state A and B once each, copies each
//                                 file to notifyfolders.a / .b, checks that
//                                 both load 200 folders, prints the time of
//                                 one save in microseconds
//   config_save_child loop EVENT  saves A, B, A, B, ... for ever; sets the
//                                 named event once the saving has begun
//   config_save_child loaded      loads the configuration as the add-in does
//                                 and prints the state it holds, A or B
//                                 (exit code 5: 200 folders of neither)
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "Folder.h"
#include "NotifyFolders.h"
#include "NotifyFoldersIni.h"
#include "OutlookWorld.h"
#include "com/ComModule.h"

namespace {

constexpr int kFolders = 200;

class Config {
  public:
    Config() : m_world(outlooksim::OutlookWorld::Options{false, false}), m_folders(com::Make<NotifyFolders>())
    {
        m_folders->putref_OutlookNamespace(Namespace().Get());
        for (int i = 1; i <= kFolders; ++i) {
            outlooksim::Folder* folder = m_world.AddFolder(L"Ordner " + std::to_wstring(i));
            long index = 0;
            m_folders->Add(com::Bstr(folder->EntryId()).get(), com::Bstr(folder->StoreId()).get(),
                           com::Bstr(L"\xD6"
                                     L"ffentlicher Ordner " +
                                     std::to_wstring(i))
                               .get(),
                           &index);
            com::ComPtr<_NotifyFolder> nf;
            m_folders->GetAt(index, &nf);
            nf->put_ShowTrayIcon(VARIANT_TRUE);
            nf->put_SoundFile(com::Bstr(L"C:\\Windows\\Media\\ding.wav").get());
        }
    }
    long Count() const
    {
        long n = 0;
        m_folders->get_Count(&n);
        return n;
    }
    // State A or B: every folder's sound and cursor settings differ.
    void Set(bool b)
    {
        for (long i = 1; i <= Count(); ++i) {
            com::ComPtr<_NotifyFolder> nf;
            m_folders->GetAt(i, &nf);
            nf->put_PlaySound(b ? VARIANT_TRUE : VARIANT_FALSE);
            nf->put_ChangeCursor(b ? VARIANT_FALSE : VARIANT_TRUE);
        }
    }
    bool Save()
    {
        VARIANT_BOOL saved = VARIANT_FALSE;
        m_folders->SaveToFile(&saved);
        return saved != VARIANT_FALSE;
    }
    // The folders a fresh collection loads from the file.
    long LoadedCount() { return Loaded() ? Count(m_loaded.Get()) : -1; }
    // The state the loaded folders hold: 'A', 'B', or '?' for anything else.
    char LoadedState()
    {
        if (!Loaded() || Count(m_loaded.Get()) != kFolders)
            return '?';
        int b = 0;
        for (long i = 1; i <= kFolders; ++i) {
            com::ComPtr<_NotifyFolder> nf;
            m_loaded->GetAt(i, &nf);
            VARIANT_BOOL sound = VARIANT_FALSE, cursor = VARIANT_FALSE;
            nf->get_PlaySound(&sound);
            nf->get_ChangeCursor(&cursor);
            if ((sound != VARIANT_FALSE) == (cursor != VARIANT_FALSE))
                return '?';
            b += sound != VARIANT_FALSE;
        }
        return b == 0 ? 'A' : b == kFolders ? 'B' : '?';
    }

  private:
    static long Count(_NotifyFolders* folders)
    {
        long n = 0;
        folders->get_Count(&n);
        return n;
    }
    bool Loaded()
    {
        m_loaded = com::Make<NotifyFolders>();
        m_loaded->putref_OutlookNamespace(Namespace().Get());
        VARIANT_BOOL loaded = VARIANT_FALSE;
        m_loaded->LoadFromFile(&loaded);
        return loaded != VARIANT_FALSE;
    }
    com::ComPtr<IDispatch> Namespace()
    {
        DISPID id = 0;
        LPOLESTR name = const_cast<LPOLESTR>(L"GetNamespace");
        com::ComPtr<IDispatch> app = m_world.Application();
        app->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id);
        com::Variant arg(L"MAPI"), result;
        DISPPARAMS params{&arg, nullptr, 1, 0};
        app->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params, &result,
                    nullptr, nullptr);
        return result.ToDispatch();
    }

    outlooksim::OutlookWorld m_world;
    com::ComPtr<NotifyFolders> m_folders;
    com::ComPtr<NotifyFolders> m_loaded;
};

std::string Beside(const char* name) { return com::Narrow(com::Module::Directory()) + name; }

int Reference(Config& config)
{
    const std::string file = Beside("notifyfolders.ini");
    LARGE_INTEGER start, end, frequency;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    constexpr int kRounds = 6;
    for (int round = 0; round < kRounds; ++round) {
        config.Set(round % 2 == 1);
        if (!config.Save())
            return 3;
    }
    ::QueryPerformanceCounter(&end);
    for (bool b : {false, true}) {
        config.Set(b);
        if (!config.Save() ||
            !::CopyFileA(file.c_str(), Beside(b ? "notifyfolders.b" : "notifyfolders.a").c_str(), FALSE))
            return 3;
        if (config.LoadedCount() != kFolders)
            return 4;
    }
    std::printf("%ld\n", static_cast<long>((end.QuadPart - start.QuadPart) * 1000000 / frequency.QuadPart / kRounds));
    return 0;
}

int Loop(Config& config, const char* eventName)
{
    HANDLE begun = ::OpenEventA(EVENT_MODIFY_STATE, FALSE, eventName);
    if (!begun)
        return 3;
    for (bool b = false;; b = !b) {
        config.Set(b);
        if (begun) {
            ::SetEvent(begun);
            ::CloseHandle(begun);
            begun = nullptr;
        }
        config.Save();
    }
}

} // namespace

int main(int argc, char** argv)
{
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Config config;
    if (config.Count() != kFolders)
        return 3;
    if (argc == 2 && std::strcmp(argv[1], "reference") == 0)
        return Reference(config);
    if (argc == 3 && std::strcmp(argv[1], "loop") == 0)
        return Loop(config, argv[2]);
    if (argc == 2 && std::strcmp(argv[1], "loaded") == 0) {
        const char state = config.LoadedState();
        std::printf("%c\n", state);
        return state == '?' ? 5 : 0;
    }
    return 2;
}
