// The notification-area icon and its hidden window: the records handed to
// the shell, the pictures, the tooltip field, the mouse callbacks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AddinTestSupport.h"
#include "SeamRecorder.h"
#include "TrayIcon.h"
#include "frmTrayIcon.h"

namespace {

struct EventLog : frmTrayIconEvents {
    std::vector<std::string> seen;
    void TrayIconLeftDblClick() override { seen.push_back("LeftDblClick"); }
    void TrayIconLeftDown() override { seen.push_back("LeftDown"); }
    void TrayIconRightDblClick() override { seen.push_back("RightDblClick"); }
    void TrayIconRightDown() override { seen.push_back("RightDown"); }
};

std::wstring Tip(const NOTIFYICONDATAW& data) { return std::wstring(data.szTip); }

} // namespace

TEST(TrayIcon, RecordsHandedToTheShell)
{
    SeamRecorder rec;
    HICON icon = ::LoadIcon(nullptr, IDI_APPLICATION);
    HWND owner = reinterpret_cast<HWND>(0x1234);
    {
        TrayIcon tray;
        EXPECT_EQ(1u, tray.Id());
        EXPECT_TRUE(tray.Add(owner, icon));
        ASSERT_EQ(1u, rec.shellCalls.size());
        const auto& add = rec.shellCalls[0];
        EXPECT_EQ(static_cast<DWORD>(NIM_ADD), add.message);
        EXPECT_EQ(static_cast<DWORD>(NOTIFYICONDATAW_V1_SIZE), add.data.cbSize);
#ifndef _WIN64
        EXPECT_EQ(152u, add.data.cbSize);
#endif
        EXPECT_EQ(owner, add.data.hWnd);
        EXPECT_EQ(1u, add.data.uID);
        EXPECT_EQ(static_cast<UINT>(NIF_MESSAGE | NIF_ICON), add.data.uFlags);
        EXPECT_EQ(1025u, add.data.uCallbackMessage);
        EXPECT_EQ(icon, add.data.hIcon);
        EXPECT_EQ(L"", Tip(add.data));

        tray.ModifyTooltip(L"Hallo");
        const auto& tip = rec.shellCalls.back();
        EXPECT_EQ(static_cast<DWORD>(NIM_MODIFY), tip.message);
        EXPECT_EQ(static_cast<UINT>(NIF_TIP), tip.data.uFlags);
        EXPECT_EQ(L"Hallo", Tip(tip.data));
        EXPECT_EQ(nullptr, tip.data.hIcon);

        // A long tooltip is cut to the field, and the field stays terminated.
        tray.ModifyTooltip(std::wstring(100, L'x'));
        const auto& longTip = rec.shellCalls.back();
        EXPECT_EQ(std::wstring(63, L'x'), Tip(longTip.data));
        EXPECT_EQ(L'\0', longTip.data.szTip[63]);

        // A character of two UTF-16 units (U+1F4E7) is never cut in two.
        const std::wstring pair = L"\U0001F4E7";
        tray.ModifyTooltip(std::wstring(62, L'x') + pair + L"y");
        EXPECT_EQ(std::wstring(62, L'x'), Tip(rec.shellCalls.back().data));
        tray.ModifyTooltip(std::wstring(61, L'x') + pair + L"y");
        EXPECT_EQ(std::wstring(61, L'x') + pair, Tip(rec.shellCalls.back().data));

        tray.ModifyIcon(nullptr);
        EXPECT_EQ(static_cast<UINT>(NIF_ICON), rec.shellCalls.back().data.uFlags);
        EXPECT_EQ(nullptr, tray.Icon());

        tray.Remove();
        EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), rec.shellCalls.back().message);
        EXPECT_EQ(0u, rec.shellCalls.back().data.uFlags);
        EXPECT_FALSE(tray.Visible());
    }
    // The removal succeeded: destruction removes nothing again.
    EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), rec.shellCalls.back().message);
    EXPECT_EQ(7u, rec.shellCalls.size());
}

TEST(TrayIcon, VisibilityFollowsTheShellsAnswers)
{
    SeamRecorder rec;
    {
        TrayIcon tray;
        rec.shellResult = FALSE; // the shell refuses the icon
        EXPECT_FALSE(tray.Add(nullptr, nullptr));
        EXPECT_FALSE(tray.Visible());
        rec.shellResult = TRUE;
        tray.ModifyTooltip(L"x");
        EXPECT_TRUE(tray.Visible());
        rec.shellResult = FALSE; // the removal fails: the icon counts as still there
        tray.Remove();
        EXPECT_TRUE(tray.Visible());
        rec.shellResult = TRUE;
    }
    // ... so destruction removes it again.
    ASSERT_EQ(4u, rec.shellCalls.size());
    EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), rec.shellCalls[3].message);
}

TEST(frmTrayIcon, LoadShowsTheNoNewMailIconAndUnloadRemovesIt)
{
    SeamRecorder rec;
    auto form = std::make_shared<frmTrayIcon>();
    ASSERT_NE(nullptr, form->imgNoNewMail());
    ASSERT_NE(nullptr, form->imgNewMail());
    form->Load();
    ASSERT_NE(nullptr, form->Hwnd());
    EXPECT_FALSE(::IsWindowVisible(form->Hwnd()));
    ASSERT_EQ(2u, rec.shellCalls.size());
    EXPECT_EQ(static_cast<DWORD>(NIM_ADD), rec.shellCalls[0].message);
    EXPECT_EQ(1u, rec.shellCalls[0].data.uID);
    EXPECT_EQ(form->Hwnd(), rec.shellCalls[0].data.hWnd);
    EXPECT_EQ(form->imgNoNewMail(), rec.shellCalls[0].data.hIcon);
    EXPECT_EQ(L"Keine neuen Nachrichten", Tip(rec.shellCalls[1].data));

    form->ShowMailIcon(2); // neither picture: nothing happens
    EXPECT_EQ(2u, rec.shellCalls.size());
    form->ShowMailIcon(frmTrayIcon::mitNewMail);
    EXPECT_EQ(form->imgNewMail(), rec.shellCalls.back().data.hIcon);
    form->ShowMailIcon(frmTrayIcon::mitNoNewMail);
    EXPECT_EQ(form->imgNoNewMail(), rec.shellCalls.back().data.hIcon);
    form->ShowTooltip(L"Support");
    EXPECT_EQ(L"Support", Tip(rec.shellCalls.back().data));

    form->Unload();
    EXPECT_EQ(static_cast<DWORD>(NIM_DELETE), rec.shellCalls.back().message);
    EXPECT_EQ(nullptr, form->Hwnd());
    const size_t count = rec.shellCalls.size();
    form.reset();
    EXPECT_EQ(count, rec.shellCalls.size());
}

TEST(frmTrayIcon, WithoutItsIconOnlyTheTwoPicturesAreReported)
{
    SeamRecorder rec;
    frmTrayIcon form; // never loaded: no tray icon
    addintest::LogWatch log;
    form.ShowMailIcon(2);
    form.ShowMailIcon(-1);
    EXPECT_EQ(0u, log.Records()) << log.Added();
    form.ShowMailIcon(frmTrayIcon::mitNewMail);
    EXPECT_EQ(1u, log.Records());
    EXPECT_EQ(1u, log.Count("Source   : frmTrayIcon::ShowMailIcon()\r\nCode     : 91\r\n"));
    EXPECT_TRUE(rec.shellCalls.empty());
}

TEST(frmTrayIcon, CallbackMessagesBecomeEvents)
{
    SeamRecorder rec;
    auto form = std::make_shared<frmTrayIcon>();
    g_frmTrayIcon = form;
    EventLog log;
    form->SetListener(&log);
    form->Load();
    HWND hWnd = form->Hwnd();
    ASSERT_NE(nullptr, hWnd);

    for (UINT mouse : {WM_MOUSEMOVE, WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONDOWN})
        ::SendMessageA(hWnd, 1025, 1, mouse);
    EXPECT_TRUE(log.seen.empty());

    // A double-click arrives as a button-down followed by a double-click.
    ::SendMessageA(hWnd, 1025, 1, WM_LBUTTONDOWN);
    ::SendMessageA(hWnd, 1025, 1, WM_LBUTTONDBLCLK);
    ::SendMessageA(hWnd, 1025, 1, WM_RBUTTONDOWN);
    ::SendMessageA(hWnd, 1025, 1, WM_RBUTTONDBLCLK);
    EXPECT_EQ((std::vector<std::string>{"LeftDown", "LeftDblClick", "RightDown", "RightDblClick"}), log.seen);

    // Without the process-wide reference the message is only passed on.
    g_frmTrayIcon.reset();
    ::SendMessageA(hWnd, 1025, 1, WM_RBUTTONDOWN);
    EXPECT_EQ(4u, log.seen.size());
    form->Unload();
}

TEST(frmTrayIcon, TheRealShellAcceptsTheIconUnderADisplay)
{
    auto form = std::make_shared<frmTrayIcon>();
    form->Load();
    ASSERT_NE(nullptr, form->Icon());
    // Shell_NotifyIconW answers 0 without an X display (Wine); the tests run under Xvfb.
    EXPECT_TRUE(form->Icon()->Visible());
    form->ShowMailIcon(frmTrayIcon::mitNewMail);
    form->ShowTooltip(L"\u041f\u043e\u0434\u0434\u0435\u0440\u0436\u043a\u0430");
    EXPECT_TRUE(form->Icon()->Visible());
    form->Unload();
    EXPECT_FALSE(form->Icon()->Visible());
}
