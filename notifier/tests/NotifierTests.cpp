// The notifier as the add-in drives it: created by its ProgID through the
// add-in's own plug-in host (corvane.NotifyFolders), fed items by the
// Outlook stand-in, its window read through the list view's messages and
// its settings through the registry API.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <memory>
#include <thread>

#include "Folder.h"
#include "NotifierTestSupport.h"
#include "OutlookWorld.h"
#include "com/LateBound.h"
#include "corvane.h"
#include "frmNotifyLayout.h"

using namespace notifiertest;

namespace {

// The test thread is Outlook's user-interface thread: one apartment for all tests.
class ComApartment : public ::testing::Environment {
  public:
    void SetUp() override { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override { ::CoUninitialize(); }
};
[[maybe_unused]] ::testing::Environment* const g_apartment = ::testing::AddGlobalTestEnvironment(new ComApartment);

using notifylayout::IDC_BTNOKAY;
using notifylayout::IDC_CHKTOP;
using notifylayout::IDC_LVWMSG;

template <class I>
com::ComPtr<I> CreateByProgId(const wchar_t* progId)
{
    com::ComPtr<I> object;
    CLSID clsid{};
    if (SUCCEEDED(::CLSIDFromProgID(progId, &clsid)))
        ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, __uuidof(I),
                           reinterpret_cast<void**>(object.GetAddressOf()));
    return object;
}

outlooksim::ItemData Mail(const wchar_t* subject, const wchar_t* sender, int year, int month, int day, int hour,
                          int minute)
{
    SYSTEMTIME st{static_cast<WORD>(year), static_cast<WORD>(month),  0, static_cast<WORD>(day),
                  static_cast<WORD>(hour), static_cast<WORD>(minute), 0, 0};
    double date = 0;
    ::SystemTimeToVariantTime(&st, &date);
    return outlooksim::ItemData{subject, sender, date};
}

class Notifier : public ::testing::Test {
  protected:
    void SetUp() override
    {
        DeleteSettings();
        m_world = std::make_unique<outlooksim::OutlookWorld>(outlooksim::OutlookWorld::Options{false, false});
        ASSERT_TRUE(m_world->AddFolder(L"Support"));
        Start();
    }

    void TearDown() override
    {
        Stop();
        m_world.reset();
        DeleteSettings();
    }

    // The add-in's collection with the folder "Support" in it, as at start-up.
    void Start()
    {
        outlooksim::Folder* support = m_world->FindFolder(L"Support");
        m_folders = CreateByProgId<_NotifyFolders>(L"corvane.NotifyFolders");
        ASSERT_TRUE(m_folders);
        com::Variant ns;
        ASSERT_EQ(S_OK, com::CallMethod(m_world->Application().Get(), L"GetNamespace", {com::Variant(L"MAPI")}, &ns));
        ASSERT_EQ(S_OK, m_folders->putref_OutlookNamespace(ns.pdispVal));
        long index = 0;
        m_folders->Add(com::Bstr(support->EntryId()).get(), com::Bstr(support->StoreId()).get(),
                       com::Bstr(L"Support").get(), &index);
        ASSERT_EQ(1, index);
        ASSERT_EQ(S_OK, m_folders->GetAt(1, m_nf.GetAddressOf()));
    }

    // Shutting the add-in down: the shared plug-in instances are shut down.
    void Stop()
    {
        if (m_folders)
            m_folders->BeginShutdown();
        m_nf.Reset();
        m_folders.Reset();
    }

    // Switches the notifier on for the folder, as the property page does.
    void SwitchOn() { ASSERT_EQ(S_OK, m_nf->AddPluginByClass(com::Bstr(L"ZarqNotifier").get())); }

    void Deliver(const outlooksim::ItemData& data, OlItemType type = olMailItem)
    {
        m_world->Deliver(L"Support", type, data);
    }

    std::unique_ptr<outlooksim::OutlookWorld> m_world;
    com::ComPtr<_NotifyFolders> m_folders;
    com::ComPtr<_NotifyFolder> m_nf;
};

} // namespace

TEST_F(Notifier, ListsNewItemsNewestFirstAndClearsTheMarksWhenClosed)
{
    SwitchOn();
    ASSERT_TRUE(NotifyWindow()) << "StartUp loads the window";
    EXPECT_FALSE(::IsWindowVisible(NotifyWindow())) << "hidden until the first item";

    Deliver(Mail(L"Eins", L"Erika Muster", 2001, 3, 5, 9, 7));
    Deliver(Mail(L"Zwei", L"", 2001, 3, 5, 21, 5));
    Deliver(Mail(L"Drei", L"Jonas", 2024, 12, 31, 23, 59));
    HWND window = NotifyWindow();
    ASSERT_TRUE(window);
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_EQ((std::vector<std::wstring>{
                  L"row 1: \"Drei\" | \"Jonas\" | \"31.12.2024 23:59\" | \"Support\" (bold, selected)",
                  L"row 2: \"Zwei\" | \"\" | \"05.03.2001 21:05\" | \"Support\" (bold)",
                  L"row 3: \"Eins\" | \"Erika Muster\" | \"05.03.2001 09:07\" | \"Support\" (bold)",
              }),
              Rows());

    // The close box hides the window and takes the marks off what was seen.
    ::SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(::IsWindow(window));
    EXPECT_FALSE(::IsWindowVisible(window));
    Deliver(Mail(L"Vier", L"Erika Muster", 2024, 1, 2, 3, 4));
    Deliver(Mail(L"F\u00fcnf", L"Erika Muster", 2024, 1, 2, 3, 5));
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_EQ((std::vector<std::wstring>{
                  L"row 1: \"F\u00fcnf\" | \"Erika Muster\" | \"02.01.2024 03:05\" | \"Support\" (bold, selected)",
                  L"row 2: \"Vier\" | \"Erika Muster\" | \"02.01.2024 03:04\" | \"Support\" (bold)",
                  L"row 3: \"Drei\" | \"Jonas\" | \"31.12.2024 23:59\" | \"Support\"",
                  L"row 4: \"Zwei\" | \"\" | \"05.03.2001 21:05\" | \"Support\"",
                  L"row 5: \"Eins\" | \"Erika Muster\" | \"05.03.2001 09:07\" | \"Support\"",
              }),
              Rows());

    // "Schließen" does the same; the entries stay until the plug-in shuts down.
    ::SendMessageW(::GetDlgItem(window, IDC_BTNOKAY), BM_CLICK, 0, 0);
    EXPECT_FALSE(::IsWindowVisible(window));
    EXPECT_EQ(L"row 1: \"F\u00fcnf\" | \"Erika Muster\" | \"02.01.2024 03:05\" | \"Support\" (selected)", Rows()[0]);
    Stop();
    EXPECT_FALSE(NotifyWindow()) << "ShutDown destroys the window";
}

TEST_F(Notifier, WindowLayoutFollowsTheDesignAndSizeLimits)
{
    SwitchOn();
    Deliver(Mail(L"Eins", L"Erika", 2024, 1, 1, 8, 0));
    HWND window = NotifyWindow();
    ASSERT_TRUE(window);
    // Design twips at the screen's pixels per inch.
    HDC screen = ::GetDC(nullptr);
    const int dpiX = ::GetDeviceCaps(screen, LOGPIXELSX), dpiY = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    const auto px = [&](int twips) { return ::MulDiv(twips, dpiX, 1440); };
    const auto py = [&](int twips) { return ::MulDiv(twips, dpiY, 1440); };
    RECT client{};
    ::GetClientRect(window, &client);
    EXPECT_EQ(px(notifylayout::kClientWidth), client.right);
    EXPECT_EQ(py(notifylayout::kClientHeight), client.bottom);
    const RECT list = ControlRect(window, IDC_LVWMSG);
    EXPECT_EQ(px(notifylayout::DesignOf(IDC_LVWMSG).left), list.left);
    EXPECT_EQ(py(notifylayout::DesignOf(IDC_LVWMSG).top), list.top);
    const auto rows = outlooksim::WindowCommands::ListRows(window);
    std::wstring columns = L"columns:";
    for (const auto& column : notifylayout::kColumns)
        columns += L" \"" + std::wstring(column.header) + L"\" " + std::to_wstring(px(column.width)) +
                   (column.format == LVCFMT_RIGHT ? L" right" : L" left");
    EXPECT_EQ(columns, rows[0]);

    // Growing the window moves the button and the box down and the button
    // right, and grows the list by the same amounts.
    const RECT before = WindowRect(window);
    const RECT button = ControlRect(window, IDC_BTNOKAY), box = ControlRect(window, IDC_CHKTOP);
    ::SetWindowPos(window, nullptr, 0, 0, before.right - before.left + 100, before.bottom - before.top + 60,
                   SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_EQ(button.left + 100, ControlRect(window, IDC_BTNOKAY).left);
    EXPECT_EQ(button.top + 60, ControlRect(window, IDC_BTNOKAY).top);
    EXPECT_EQ(box.left, ControlRect(window, IDC_CHKTOP).left);
    EXPECT_EQ(box.top + 60, ControlRect(window, IDC_CHKTOP).top);
    EXPECT_EQ(list.right - list.left + 100,
              ControlRect(window, IDC_LVWMSG).right - ControlRect(window, IDC_LVWMSG).left);

    // Minimizing and restoring leaves the layout as it was.
    const RECT listBefore = ControlRect(window, IDC_LVWMSG), buttonBefore = ControlRect(window, IDC_BTNOKAY);
    ::SendMessageW(window, WM_SYSCOMMAND, SC_MINIMIZE, 0);
    EXPECT_TRUE(::IsIconic(window));
    ::SendMessageW(window, WM_SYSCOMMAND, SC_RESTORE, 0);
    EXPECT_FALSE(::IsIconic(window));
    const RECT listAfter = ControlRect(window, IDC_LVWMSG), buttonAfter = ControlRect(window, IDC_BTNOKAY);
    EXPECT_TRUE(::EqualRect(&listBefore, &listAfter));
    EXPECT_TRUE(::EqualRect(&buttonBefore, &buttonAfter));

    // Never smaller than 250 x 250 pixels.
    ::SetWindowPos(window, nullptr, 0, 0, 100, 80, SWP_NOMOVE | SWP_NOZORDER);
    const RECT small = WindowRect(window);
    EXPECT_EQ(250, small.right - small.left);
    EXPECT_EQ(250, small.bottom - small.top);
}

TEST_F(Notifier, PlacementAndStayOnTopSurviveARestart)
{
    WriteDword(kSettingsKey, L"AlwaysOnTop", 1);
    SwitchOn();
    HWND window = NotifyWindow();
    ASSERT_TRUE(window);
    EXPECT_EQ(BST_CHECKED, ::SendDlgItemMessageW(window, IDC_CHKTOP, BM_GETCHECK, 0, 0));
    Deliver(Mail(L"Eins", L"Erika", 2024, 1, 1, 8, 0));
    // Whether the window really is topmost is checked through corvane-host
    // (NotifierEndToEnd): Wine ignores HWND_TOPMOST for the windows of this
    // console test program, even when the test itself asks for it.
    ::SetWindowPos(window, nullptr, 37, 41, 480, 310, SWP_NOZORDER);
    // The user takes the window off the top.
    ::SendDlgItemMessageW(window, IDC_CHKTOP, BM_CLICK, 0, 0);
    EXPECT_EQ(BST_UNCHECKED, ::SendDlgItemMessageW(window, IDC_CHKTOP, BM_GETCHECK, 0, 0));
    Stop();

    EXPECT_EQ(37, ReadDword(kPlacementKey, L"X"));
    EXPECT_EQ(41, ReadDword(kPlacementKey, L"Y"));
    EXPECT_EQ(480, ReadDword(kPlacementKey, L"Width"));
    EXPECT_EQ(310, ReadDword(kPlacementKey, L"Height"));
    EXPECT_EQ(0, ReadDword(kPlacementKey, L"State"));
    EXPECT_EQ(0, ReadDword(kSettingsKey, L"AlwaysOnTop"));

    // A value deleted by hand: loading stops there, the next save writes it again.
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kPlacementKey, L"Y");
    Start();
    SwitchOn();
    window = NotifyWindow();
    ASSERT_TRUE(window);
    const RECT partly = WindowRect(window);
    EXPECT_EQ(37, partly.left) << "the left edge comes back";
    EXPECT_NE(41, partly.top) << "loading stops at the missing value";
    EXPECT_EQ(BST_UNCHECKED, ::SendDlgItemMessageW(window, IDC_CHKTOP, BM_GETCHECK, 0, 0));
    ::SetWindowPos(window, nullptr, 60, 70, 400, 300, SWP_NOZORDER);
    Stop();
    EXPECT_EQ(70, ReadDword(kPlacementKey, L"Y"));
    EXPECT_EQ(400, ReadDword(kPlacementKey, L"Width"));

    // The next start puts the window back where it was.
    Start();
    SwitchOn();
    const RECT again = WindowRect(NotifyWindow());
    EXPECT_EQ(60, again.left);
    EXPECT_EQ(70, again.top);
    EXPECT_EQ(400, again.right - again.left);
    EXPECT_EQ(300, again.bottom - again.top);
}

TEST_F(Notifier, BadItemsAreLoggedAndNeverListed)
{
    SwitchOn();
    com::ComPtr<_ZarqPlugin> plugin = CreateByProgId<_ZarqPlugin>(L"ZarqNotifier.ZarqPlugin");
    ASSERT_TRUE(plugin);

    const addintest::LogWatch log = NotifierLog();
    EXPECT_EQ(S_OK, plugin->HandleItemAdd(nullptr, m_nf.Get()));
    EXPECT_EQ(1u, log.Count("Message  : An invalid item oder NotifyFolder object was passed\r\n"));
    EXPECT_EQ(1u, log.Count("Source   : ZarqPlugin_HandleItemAdd()\r\n"));
    EXPECT_FALSE(::IsWindowVisible(NotifyWindow()));

    // A folder that is not bound to Outlook has no item collection.
    long index = 0;
    m_folders->Add(com::Bstr(L"00DEAD").get(), com::Bstr(L"00BEEF").get(), com::Bstr(L"Weg").get(), &index);
    com::ComPtr<_NotifyFolder> unbound;
    ASSERT_EQ(S_OK, m_folders->GetAt(index, unbound.GetAddressOf()));
    com::ComPtr<IDispatch> item = m_world->Deliver(L"Posteingang", olMailItem, Mail(L"X", L"Y", 2024, 1, 1, 0, 0));
    EXPECT_EQ(S_OK, plugin->HandleItemAdd(item.Get(), unbound.Get()));
    EXPECT_EQ(1u, log.Count("Message  : Could not get a valid Outlook.Items collection\r\n"));
    EXPECT_FALSE(::IsWindowVisible(NotifyWindow()));
    EXPECT_TRUE(Rows().empty());

    // A post item is no mail item: no line, but the window shows.
    Deliver(Mail(L"Aushang", L"Erika", 2024, 1, 1, 0, 0), olPostItem);
    EXPECT_EQ(1u, log.Count("Message  : Supplied mailitem object is invalid\r\n"));
    EXPECT_EQ(1u, log.Count("Source   : frmNotify::MailItemAdd()\r\n"));
    EXPECT_TRUE(::IsWindowVisible(NotifyWindow()));
    EXPECT_TRUE(Rows().empty());
}

TEST_F(Notifier, OneSharedWindowUntilShutDown)
{
    com::ComPtr<_ZarqPlugin> first = CreateByProgId<_ZarqPlugin>(L"ZarqNotifier.ZarqPlugin");
    com::ComPtr<_ZarqPlugin> second = CreateByProgId<_ZarqPlugin>(L"ZarqNotifier.ZarqPlugin");
    ASSERT_TRUE(first && second);
    first->StartUp();
    HWND window = NotifyWindow();
    second->StartUp();
    EXPECT_EQ(window, NotifyWindow()) << "a second StartUp makes no second window";
    second->ShutDown();
    EXPECT_FALSE(NotifyWindow()) << "any ShutDown removes the shared window";
    com::ComPtr<IDispatch> item = m_world->Deliver(L"Support", olMailItem, Mail(L"X", L"Y", 2024, 1, 1, 0, 0));
    EXPECT_EQ(S_OK, first->HandleItemAdd(item.Get(), m_nf.Get()));
    EXPECT_FALSE(NotifyWindow()) << "no window, nothing shown";
    first->ShutDown();
}

TEST(NotifierContract, AnswersThroughItsInterfacesAndByName)
{
    com::ComPtr<_ZarqPlugin> plugin = CreateByProgId<_ZarqPlugin>(L"ZarqNotifier.ZarqPlugin");
    ASSERT_TRUE(plugin);
    com::Bstr text;
    ASSERT_EQ(S_OK, plugin->GetClass(text.put()));
    EXPECT_EQ(L"ZarqNotifier", text.str());
    ASSERT_EQ(S_OK, plugin->GetFriendlyName(text.put()));
    EXPECT_EQ(L"Notifier", text.str());
    ASSERT_EQ(S_OK, plugin->GetDescription(text.put()));
    EXPECT_EQ(L"Zeigt neue Nachrichten in einer Liste an", text.str());

    // Late bound, as a script would ask: a string, not a GUID.
    com::ComPtr<IDispatch> dispatch;
    ASSERT_EQ(S_OK, plugin.As(&dispatch));
    com::Variant id;
    ASSERT_EQ(S_OK, com::CallMethod(dispatch.Get(), L"GetId", {}, &id));
    ASSERT_EQ(VT_BSTR, id.vt);
    EXPECT_EQ(L"5CF3ECF3-42FB-11d5-B141-00105AAFBBEA", std::wstring(id.bstrVal));

    // The use count: 16 bits, no clamp at 0, overflow errors at both ends.
    short count = 99;
    ASSERT_EQ(S_OK, plugin->DeleteRef());
    ASSERT_EQ(S_OK, plugin->get_RefCount(&count));
    EXPECT_EQ(-1, count);
    for (int i = 0; i < 32768; ++i)
        ASSERT_EQ(S_OK, plugin->PluginAddRef());
    EXPECT_EQ(DISP_E_OVERFLOW, plugin->PluginAddRef());
    plugin->get_RefCount(&count);
    EXPECT_EQ(32767, count);
    for (int i = 0; i < 65535; ++i)
        ASSERT_EQ(S_OK, plugin->DeleteRef());
    EXPECT_EQ(DISP_E_OVERFLOW, plugin->DeleteRef());
    plugin->get_RefCount(&count);
    EXPECT_EQ(-32768, count);
}

namespace {

// Closes the next message box of this process with OK once it is on
// screen, keeping its caption and text.
class MessageBoxAnswer {
  public:
    MessageBoxAnswer(std::wstring& caption, std::wstring& text)
        : m_thread([this, &caption, &text] {
              for (int i = 0; i < 500 && !m_done; ++i) {
                  for (HWND w = ::FindWindowW(L"#32770", nullptr); w;
                       w = ::FindWindowExW(nullptr, w, L"#32770", nullptr)) {
                      DWORD pid = 0;
                      ::GetWindowThreadProcessId(w, &pid);
                      if (pid != ::GetCurrentProcessId() || !::IsWindowVisible(w))
                          continue;
                      wchar_t buffer[512] = {};
                      ::GetWindowTextW(w, buffer, 512);
                      caption = buffer;
                      ::GetDlgItemTextW(w, 0xFFFF, buffer, 512); // a message box's text
                      text = buffer;
                      ::PostMessageW(w, WM_COMMAND, IDOK, 0);
                      return;
                  }
                  ::Sleep(20);
              }
          })
    {
    }
    ~MessageBoxAnswer()
    {
        m_done = true;
        m_thread.join();
    }

  private:
    std::atomic<bool> m_done{false};
    std::thread m_thread;
};

} // namespace

TEST(NotifierContract, ConfigureAndInfoShowTheirMessages)
{
    com::ComPtr<_ZarqPlugin> plugin = CreateByProgId<_ZarqPlugin>(L"ZarqNotifier.ZarqPlugin");
    ASSERT_TRUE(plugin);
    std::wstring caption, text;
    {
        MessageBoxAnswer answer(caption, text);
        EXPECT_EQ(S_OK, plugin->Configure());
    }
    EXPECT_EQ(L"Hinweis", caption);
    EXPECT_EQ(L"Dieses Plugin hat keine weiteren Einstellungsm\u00f6glichkeiten.", text);
    {
        MessageBoxAnswer answer(caption, text);
        EXPECT_EQ(S_OK, plugin->Info());
    }
    EXPECT_EQ(L"Info", caption);
    {
        // The library's own version, as its version resource gives it.
        std::wstring path(MAX_PATH, L'\0');
        path.resize(::GetModuleFileNameW(::GetModuleHandleW(L"ZarqNotifier.dll"), path.data(), MAX_PATH));
        DWORD ignored = 0;
        std::vector<BYTE> block(::GetFileVersionInfoSizeW(path.c_str(), &ignored));
        VS_FIXEDFILEINFO* version = nullptr;
        UINT size = 0;
        ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data()));
        ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&version), &size));
        const std::wstring expected = L"ZarqNotifier v" + std::to_wstring(HIWORD(version->dwFileVersionMS)) + L"." +
                                      std::to_wstring(LOWORD(version->dwFileVersionMS)) + L"." +
                                      std::to_wstring(LOWORD(version->dwFileVersionLS)) + L"\r\n\r\n";
        EXPECT_EQ(0u, text.find(expected)) << com::Narrow(text);
    }
}
