// The error dialog as a real window: its layout, its texts, the details
// button, and the modal display that OK, the close box and Escape end.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "SupportTestSupport.h"
#include "frmError.h"

namespace {

int Dpi(int index)
{
    HDC screen = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(screen, index);
    ::ReleaseDC(nullptr, screen);
    return dpi;
}
int PixelsX(int twips) { return ::MulDiv(twips, Dpi(LOGPIXELSX), 1440); }
int PixelsY(int twips) { return ::MulDiv(twips, Dpi(LOGPIXELSY), 1440); }

int OuterHeight(HWND hwnd)
{
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    return r.bottom - r.top;
}

LOGFONTW ItemFont(HWND form, int id)
{
    LOGFONTW font{};
    auto handle = reinterpret_cast<HFONT>(::SendDlgItemMessageW(form, id, WM_GETFONT, 0, 0));
    ::GetObjectW(handle, sizeof font, &font);
    return font;
}

// Runs each shown form through a test's script. A watchdog destroys a form
// that is still up after ten seconds, so that a broken loop fails instead
// of hanging.
class ShownForm : public ::testing::Test {
  protected:
    void SetUp() override
    {
        s_script = nullptr;
        s_form = nullptr;
        s_shown = 0;
        s_watchdogFired = false;
        g_supportSeams.ErrorFormShown = [](HWND hwndForm) {
            ++s_shown;
            s_form = hwndForm;
            s_watchdog = ::SetTimer(nullptr, 0, 10000, Watchdog);
            if (s_script)
                s_script(hwndForm);
        };
    }
    void TearDown() override
    {
        ::KillTimer(nullptr, s_watchdog);
        EXPECT_FALSE(s_watchdogFired) << "the form stayed up";
    }
    static void CALLBACK Watchdog(HWND, UINT, UINT_PTR id, DWORD)
    {
        ::KillTimer(nullptr, id);
        s_watchdogFired = true;
        ::DestroyWindow(s_form);
    }

    static std::function<void(HWND)> s_script;
    static HWND s_form;
    static int s_shown;
    static UINT_PTR s_watchdog;
    static bool s_watchdogFired;
    SeamsScope m_seams;
};
std::function<void(HWND)> ShownForm::s_script;
HWND ShownForm::s_form = nullptr;
int ShownForm::s_shown = 0;
UINT_PTR ShownForm::s_watchdog = 0;
bool ShownForm::s_watchdogFired = false;

TEST(frmErrorForm, LayoutAndTexts)
{
    frmError form;
    ASSERT_TRUE(form.Load());
    const HWND hwnd = form.hWnd();
    ASSERT_TRUE(::IsWindow(hwnd));
    EXPECT_FALSE(::IsWindowVisible(hwnd)); // loaded, not shown

    EXPECT_EQ(L"Fehler in Anwendung", WindowText(hwnd));
    EXPECT_EQ(L"In dieser Anwendung ist eine nicht vorhergesehene Ausnahmesituation aufgetreten. Details zu diesem "
              L"Problem wurden in einer Protokolldatei festgehalten. Sollte diese Meldung \u00f6fter auftauchen, "
              L"setzen Sie sich bitte mit dem Hersteller dieser Anwendung in Verbindung.",
              ItemText(hwnd, frmError::Label1));
    EXPECT_EQ(L"&OK", ItemText(hwnd, frmError::btnOkay));
    EXPECT_EQ(L"&Details >>", ItemText(hwnd, frmError::btnDetails));
    EXPECT_EQ(L"", ItemText(hwnd, frmError::txtProc));
    EXPECT_EQ(L"", ItemText(hwnd, frmError::txtDetails));

    // The design client width, the collapsed outer height.
    RECT client{};
    ::GetClientRect(hwnd, &client);
    EXPECT_EQ(PixelsX(5790), client.right);
    EXPECT_EQ(PixelsY(2175), OuterHeight(hwnd));

    for (int id : {frmError::txtProc, frmError::txtDetails}) {
        SCOPED_TRACE(id);
        const LOGFONTW font = ItemFont(hwnd, id);
        EXPECT_STREQ(L"Courier New", font.lfFaceName);
        EXPECT_EQ(-::MulDiv(825, Dpi(LOGPIXELSY), 7200), font.lfHeight);
    }
    EXPECT_TRUE(::GetWindowLongW(::GetDlgItem(hwnd, frmError::txtDetails), GWL_STYLE) & ES_MULTILINE);
    EXPECT_FALSE(::GetWindowLongW(::GetDlgItem(hwnd, frmError::txtProc), GWL_STYLE) & ES_MULTILINE);

    // The system's error icon, 32 x 32.
    auto icon = reinterpret_cast<HICON>(::SendDlgItemMessageW(hwnd, frmError::imgError, STM_GETICON, 0, 0));
    ASSERT_NE(nullptr, icon);
    ICONINFO info{};
    ASSERT_TRUE(::GetIconInfo(icon, &info));
    BITMAP bitmap{};
    ::GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    EXPECT_EQ(32, bitmap.bmWidth);
    EXPECT_EQ(info.hbmColor ? 32 : 64, bitmap.bmHeight);
    if (info.hbmColor)
        ::DeleteObject(info.hbmColor);
    ::DeleteObject(info.hbmMask);

    form.Unload();
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(nullptr, form.hWnd());
}

TEST(frmErrorForm, SetErrorMessage)
{
    frmError form;
    form.SetErrorMessage("Nothing::Loaded()", 1, "x"); // not loaded: nothing happens
    ASSERT_TRUE(form.Load());
    const HWND hwnd = form.hWnd();

    form.SetErrorMessage("zarqPropMain::Apply()", 0, "");
    EXPECT_EQ(L"zarqPropMain::Apply()", ItemText(hwnd, frmError::txtProc));
    EXPECT_EQ(L"[ 0 ] ", ItemText(hwnd, frmError::txtDetails));

    form.SetErrorMessage("", -2147024891, "Zugriff verweigert");
    EXPECT_EQ(L"", ItemText(hwnd, frmError::txtProc));
    EXPECT_EQ(L"[ -2147024891 ] Zugriff verweigert", ItemText(hwnd, frmError::txtDetails));
}

TEST_F(ShownForm, DetailsButtonTogglesAndOkCloses)
{
    HWND seen = nullptr;
    s_script = [&](HWND hwnd) {
        seen = hwnd;
        EXPECT_TRUE(::IsWindowVisible(hwnd));
        const HWND details = ::GetDlgItem(hwnd, frmError::btnDetails);
        EXPECT_EQ(L"&Details >>", WindowText(details));
        EXPECT_EQ(PixelsY(2175), OuterHeight(hwnd));

        ::SendMessageW(details, BM_CLICK, 0, 0);
        EXPECT_EQ(L"Details <<", WindowText(details));
        EXPECT_EQ(PixelsY(4320), OuterHeight(hwnd));

        ::SendMessageW(details, BM_CLICK, 0, 0);
        EXPECT_EQ(L"Details >>", WindowText(details));
        EXPECT_EQ(PixelsY(2175), OuterHeight(hwnd));

        ::SendMessageW(details, BM_CLICK, 0, 0);
        EXPECT_EQ(L"Details <<", WindowText(details));

        ::SendDlgItemMessageW(hwnd, frmError::btnOkay, BM_CLICK, 0, 0);
        EXPECT_FALSE(::IsWindow(hwnd));
    };
    frmError form;
    ASSERT_TRUE(form.Load());
    form.Show();
    EXPECT_EQ(1, s_shown);
    EXPECT_EQ(form.hWnd(), nullptr);
    EXPECT_NE(seen, nullptr);
    EXPECT_FALSE(::IsWindow(seen));
}

// A key pressed on the control that has the focus.
void PostKey(WPARAM key)
{
    ::PostMessageW(::GetFocus(), WM_KEYDOWN, key, 1);
    ::PostMessageW(::GetFocus(), WM_KEYUP, key, 0xC0000001);
}

// The owner is disabled while the form is up and enabled again after it;
// posted input goes through the form's own modal loop.
TEST_F(ShownForm, ModalLoopEndsOnOkCloseBoxAndEscape)
{
    const HWND owner = ::CreateWindowExW(0, L"STATIC", L"Eigenschaften", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 300,
                                         200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, owner);

    const std::function<void(HWND)> endings[] = {
        [](HWND hwnd) { ::PostMessageW(::GetDlgItem(hwnd, frmError::btnOkay), BM_CLICK, 0, 0); },
        [](HWND hwnd) { ::PostMessageW(hwnd, WM_CLOSE, 0, 0); },
        [](HWND) { PostKey(VK_ESCAPE); },
        [](HWND) { PostKey(VK_RETURN); },
    };
    int index = 0;
    for (const auto& ending : endings) {
        SCOPED_TRACE(index++);
        ::SetActiveWindow(owner);
        s_script = [&](HWND hwnd) {
            EXPECT_EQ(owner, ::GetWindow(hwnd, GW_OWNER));
            EXPECT_FALSE(::IsWindowEnabled(owner));
            EXPECT_EQ(::GetDlgItem(hwnd, frmError::btnOkay), ::GetFocus());
            ending(hwnd);
            EXPECT_TRUE(::IsWindow(hwnd)); // only posted: the loop has to deliver it
        };
        frmError form;
        ASSERT_TRUE(form.Load());
        const HWND hwnd = form.hWnd();
        form.Show();
        EXPECT_FALSE(::IsWindow(hwnd));
        EXPECT_TRUE(::IsWindowEnabled(owner));
    }
    ::DestroyWindow(owner);
}

// A WM_QUIT that arrives while the form is up ends the display and is
// handed back to the caller's loop.
TEST_F(ShownForm, QuitEndsTheDisplayAndIsPutBack)
{
    s_script = [](HWND) { ::PostQuitMessage(3); };
    frmError form;
    ASSERT_TRUE(form.Load());
    form.Show();
    MSG msg{};
    ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(3u, msg.wParam);
    form.Unload();
    EXPECT_EQ(nullptr, form.hWnd());
}

} // namespace
