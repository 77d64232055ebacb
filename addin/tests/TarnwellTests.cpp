// The connect class through the real COM boundary: created by ProgID from
// the registered corvane.dll, as Outlook does.
#include <gtest/gtest.h>

#include "AddinTestSupport.h"
#include "TheApp.h"
#include "com/ComObject.h"
#include "com/ComRaii.h"
#include "com/EventSink.h"
#include "corvane.h"

using com::ComPtr;

namespace {

class TarnwellTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))); }
    void TearDown() override
    {
        // Let every splash window close before the next test.
        addintest::PumpUntil(8000, [] { return addintest::FindOwnWindow("corvane.frmSplash") == nullptr; });
        ::CoUninitialize();
    }

    static ComPtr<_IDTExtensibility2> Create()
    {
        CLSID clsid{};
        EXPECT_EQ(S_OK, ::CLSIDFromProgID(L"corvane.Tarnwell", &clsid));
        ComPtr<_IDTExtensibility2> addin;
        EXPECT_EQ(S_OK, ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID__IDTExtensibility2,
                                           reinterpret_cast<void**>(addin.GetAddressOf())));
        return addin;
    }

    static SAFEARRAY* EmptyCustom() { return ::SafeArrayCreateVector(VT_VARIANT, 0, 0); }

    // The records the add-in appends from now on to its log, beside
    // corvane.dll in this program's folder.
    static addintest::LogWatch AddinLog()
    {
        return addintest::LogWatch(com::Narrow(com::Module::Directory()) + "corvane.log");
    }
};

} // namespace

TEST_F(TarnwellTest, CreatedByProgIdWithItsPublishedIdentifiers)
{
    CLSID clsid{};
    ASSERT_EQ(S_OK, ::CLSIDFromProgID(L"corvane.Tarnwell", &clsid));
    EXPECT_TRUE(clsid == CLSID_Tarnwell);
    wchar_t text[40] = {};
    ::StringFromGUID2(clsid, text, 40);
    EXPECT_STREQ(L"{7BCEE48D-3BF1-11D5-8054-0000CB711FAB}", text);

    ComPtr<_IDTExtensibility2> addin = Create();
    ASSERT_TRUE(addin);
    ComPtr<IDispatch> disp;
    ASSERT_EQ(S_OK, addin.As(&disp));
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(S_OK, disp->GetTypeInfo(0, 0, &info));
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(S_OK, info->GetTypeAttr(&attr));
    ::StringFromGUID2(attr->guid, text, 40);
    EXPECT_STREQ(L"{7BCEE48C-3BF1-11D5-8054-0000CB711FAB}", text);
    EXPECT_EQ(0, attr->cFuncs - 7); // IUnknown and IDispatch only: no members of its own
    info->ReleaseTypeAttr(attr);

    // The object answers IDTExtensibility2 by the identifier Office uses.
    ComPtr<IUnknown> ext;
    EXPECT_EQ(S_OK, disp->QueryInterface(IID__IDTExtensibility2, reinterpret_cast<void**>(ext.GetAddressOf())));
}

TEST_F(TarnwellTest, HoldsTheSingleInstanceMutexWhileItLives)
{
    {
        ComPtr<_IDTExtensibility2> addin = Create();
        ASSERT_TRUE(addin);
        TheApp probe; // a second context in the same process
        EXPECT_FALSE(probe.IsFirstInstance());
    }
    TheApp after;
    EXPECT_TRUE(after.IsFirstInstance());
}

TEST_F(TarnwellTest, ConnectionWithAnObjectThatIsNotOutlookStillShowsTheSplash)
{
    ComPtr<_IDTExtensibility2> addin = Create();
    ASSERT_TRUE(addin);
    // Any automation object that is not Outlook's Application.
    auto stranger = com::Make<com::EventSink>(IID_IUnknown, com::EventHandler());
    SAFEARRAY* custom = EmptyCustom();
    const addintest::LogWatch log = AddinLog();
    addin->OnConnection(stranger.Get(), ext_cm_Startup, nullptr, &custom);

    HWND splash = addintest::FindOwnWindow("corvane.frmSplash");
    ASSERT_NE(nullptr, splash);
    EXPECT_TRUE(::IsWindowVisible(splash));
    // 6000 x 3705 twips at the screen's pixels per inch.
    RECT rc{};
    ::GetClientRect(splash, &rc);
    HDC screen = ::GetDC(nullptr);
    EXPECT_EQ(::MulDiv(6000, ::GetDeviceCaps(screen, LOGPIXELSX), 1440), rc.right - rc.left);
    EXPECT_EQ(::MulDiv(3705, ::GetDeviceCaps(screen, LOGPIXELSY), 1440), rc.bottom - rc.top);
    ::ReleaseDC(nullptr, screen);
    EXPECT_EQ(nullptr, ::GetWindow(splash, GW_OWNER));

    // Modeless: the thread goes on; after about 2.5 s the window closes by itself.
    addintest::PumpFor(1000);
    EXPECT_TRUE(::IsWindow(splash));
    EXPECT_TRUE(addintest::PumpUntil(6000, [&] { return !::IsWindow(splash); }));

    // The tray icon's window lives from creation to disconnection; the
    // other notifications change nothing.
    HWND tray = addintest::FindOwnWindow("corvane.frmTrayIcon");
    ASSERT_NE(nullptr, tray);
    addin->OnStartupComplete(&custom);
    addin->OnAddInsUpdate(&custom);
    addin->OnBeginShutdown(&custom);
    EXPECT_TRUE(::IsWindow(tray));
    addin->OnDisconnection(ext_dm_HostShutdown, &custom);
    EXPECT_FALSE(::IsWindow(tray));
    ::SafeArrayDestroy(custom);
    // Nothing of this is worth a record.
    EXPECT_EQ(0u, log.Records()) << log.Added();
}

TEST_F(TarnwellTest, ConnectionWithoutApplicationOrCustomArrayFailsNothing)
{
    ComPtr<_IDTExtensibility2> addin = Create();
    ASSERT_TRUE(addin);
    const addintest::LogWatch log = AddinLog();
    addin->OnConnection(nullptr, ext_cm_AfterStartup, nullptr, nullptr);
    EXPECT_NE(nullptr, addintest::FindOwnWindow("corvane.frmSplash"));
    addin->OnDisconnection(ext_dm_UserClosed, nullptr);
    EXPECT_EQ(nullptr, addintest::FindOwnWindow("corvane.frmTrayIcon"));
    // Connecting again after a disconnection works the same way.
    addin->OnConnection(nullptr, ext_cm_AfterStartup, nullptr, nullptr);
    addin->OnDisconnection(ext_dm_HostShutdown, nullptr);
    EXPECT_EQ(0u, log.Records()) << log.Added();
}

TEST_F(TarnwellTest, ServerCanUnloadOnceObjectsAndSplashAreGone)
{
    {
        ComPtr<_IDTExtensibility2> addin = Create();
        ASSERT_TRUE(addin);
        addin->OnConnection(nullptr, ext_cm_Startup, nullptr, nullptr);
        addin->OnDisconnection(ext_dm_HostShutdown, nullptr);
    }
    HMODULE dll = ::GetModuleHandleA("corvane.dll");
    ASSERT_NE(nullptr, dll);
    using CanUnload = HRESULT(__stdcall*)();
    auto canUnload = reinterpret_cast<CanUnload>(::GetProcAddress(dll, "DllCanUnloadNow"));
    ASSERT_TRUE(canUnload);
    // The splash window keeps the module loaded while it is open.
    EXPECT_EQ(S_FALSE, canUnload());
    EXPECT_TRUE(addintest::PumpUntil(6000, [] { return addintest::FindOwnWindow("corvane.frmSplash") == nullptr; }));
    EXPECT_EQ(S_OK, canUnload());
}
