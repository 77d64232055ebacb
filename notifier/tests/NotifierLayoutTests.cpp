// The window "Neue Nachrichten" laid out from its design tables at the
// window's DPI: at the resolution of the test's prefix (96, 120 or 144
// pixels per inch), and again after a change of DPI.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>

#include "LayoutTestSupport.h"
#include "NotifierTestSupport.h"
#include "frmNotify.h"
#include "frmNotifyLayout.h"

using namespace notifylayout;

namespace {

class NotifierLayout : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { layouttest::BecomeDpiAware(); }
    void SetUp() override
    {
        notifiertest::DeleteSettings();
        m_form = frmNotify::Load();
        ASSERT_TRUE(m_form);
    }
    void TearDown() override
    {
        m_form.reset();
        notifiertest::DeleteSettings();
    }

    // The window, its controls and its list's columns where the tables
    // put them at this DPI.
    void ExpectDesign(int dpi)
    {
        const Twips twips(dpi, dpi);
        HWND window = m_form->Hwnd();
        RECT client{};
        ::GetClientRect(window, &client);
        EXPECT_EQ(twips.ToPixelsX(kClientWidth), client.right);
        EXPECT_EQ(twips.ToPixelsY(kClientHeight), client.bottom);
        // The size grip has the system's size and keeps itself in the lower-right corner.
        layouttest::ExpectLayout({window}, kControls, twips, {IDC_SIZEGRIP});
        const RECT grip = ui::ChildRect(::GetDlgItem(window, IDC_SIZEGRIP));
        EXPECT_EQ(client.right, grip.right);
        EXPECT_EQ(client.bottom, grip.bottom);
        HWND list = ::GetDlgItem(window, IDC_LVWMSG);
        for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i)
            EXPECT_EQ(twips.ToPixelsX(kColumns[i].width), ::SendMessageW(list, LVM_GETCOLUMNWIDTH, i, 0)) << i;
        EXPECT_EQ(twips.FontHeight(kFonts[fntHeading].points),
                  layouttest::FontHeight(::GetDlgItem(window, IDC_LBLFOLDER)));
        EXPECT_EQ(twips.FontHeight(kFonts[fntList].points), layouttest::FontHeight(list));
    }

    std::unique_ptr<frmNotify> m_form;
};

} // namespace

TEST_F(NotifierLayout, FollowsTheTablesAtTheScreensDpi)
{
    const int dpi = layouttest::ExpectedDpi();
    ASSERT_EQ(dpi, ui::WindowDpi(m_form->Hwnd())) << "the prefix's screen";
    ExpectDesign(dpi);
}

TEST_F(NotifierLayout, IsLaidOutAgainWhenItsDpiChanges)
{
    for (int dpi : {144, 120, 96}) {
        SCOPED_TRACE(dpi);
        // The rectangle the system suggests: the design's client area at the new DPI.
        const Twips twips(dpi, dpi);
        RECT suggested{0, 0, twips.ToPixelsX(kClientWidth), twips.ToPixelsY(kClientHeight)};
        ::AdjustWindowRectEx(&suggested, static_cast<DWORD>(::GetWindowLongPtrW(m_form->Hwnd(), GWL_STYLE)), FALSE,
                             static_cast<DWORD>(::GetWindowLongPtrW(m_form->Hwnd(), GWL_EXSTYLE)));
        ::OffsetRect(&suggested, 40 - suggested.left, 30 - suggested.top);
        ::SendMessageW(m_form->Hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        const RECT moved = notifiertest::WindowRect(m_form->Hwnd());
        EXPECT_TRUE(::EqualRect(&suggested, &moved)) << layouttest::Describe(moved);
        ExpectDesign(dpi);
    }
}
