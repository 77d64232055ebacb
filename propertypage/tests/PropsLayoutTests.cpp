// The page "Überwachung" laid out from its design tables at the window's
// DPI: opened in a folder's Properties dialog of the Outlook stand-in, with
// the add-in connected, at the resolution of the test's prefix (96, 120 or
// 144 pixels per inch), and again after a change of DPI.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "AddinHost.h"
#include "FilesSetAside.h"
#include "FolderPropertiesDialog.h"
#include "LayoutTestSupport.h"
#include "OutlookWorld.h"
#include "PageHost.h"
#include "com/ComModule.h"
#include "zarqPropMainLayout.h"

using namespace pagelayout;

namespace {

class PageLayout : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { layouttest::BecomeDpiAware(); }
    void SetUp() override
    {
        // The add-in reads and writes its configuration file beside itself.
        m_files.SetAside();
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        m_world = std::make_unique<outlooksim::OutlookWorld>(outlooksim::OutlookWorld::Options{false, false});
        ASSERT_TRUE(m_world->AddFolder(L"Support"));
        m_addin = std::make_unique<outlooksim::AddinHost>(m_world->GetTrace(), m_world->Application().Get());
        ASSERT_TRUE(m_addin->Connect(L"corvane.Tarnwell"));
        outlooksim::FolderPropertiesDialog* dialog = m_world->OpenProperties(L"Support");
        ASSERT_TRUE(dialog);
        ASSERT_TRUE(dialog->Select(L"\u00dcberwachung"));
        ASSERT_EQ(1u, dialog->AddinPageCount());
        m_page = dialog->AddinPage(0)->ControlWindow();
        ASSERT_TRUE(m_page);
    }
    void TearDown() override
    {
        if (m_world)
            m_world->CloseProperties();
        m_addin.reset();
        m_world.reset();
        ::CoUninitialize();
        m_files.PutBack();
    }

    HWND Panel(int id) const { return ::GetDlgItem(m_page, id); }
    HWND InFrame(int id) const { return ::GetDlgItem(Panel(IDC_FRAWATCH), id); }

    // The control at its design rectangle moved up by up pixels and made
    // shorter by shorter pixels.
    static void ExpectMoved(HWND control, RECT design, int up, int shorter)
    {
        design.top -= up;
        design.bottom -= up + shorter;
        EXPECT_EQ(layouttest::Describe(design), layouttest::Describe(ui::ChildRect(control)));
    }

    // Every table's controls where it puts them at this DPI, the tab pages
    // below the strip of tabs, the fonts of this DPI. A page that its sheet
    // makes shorter than its design shows its frames whole: they, the tab
    // pages and the plug-in list are shortened alike, the plug-in buttons
    // stay at the list's foot. (A page told of another DPI in a sheet that
    // stays as it was may not fit: a sheet at that DPI is sized anew.)
    void ExpectDesign(int dpi, bool sheetAtThisDpi)
    {
        const Twips twips(dpi, dpi);
        RECT client{};
        ASSERT_TRUE(::GetClientRect(m_page, &client));
        const RECT frameDesign = ui::ControlRect(kFrames[0], twips);
        const RECT frame = ui::ChildRect(Panel(IDC_FRAWATCH));
        const int shorter = (frameDesign.bottom - frameDesign.top) - (frame.bottom - frame.top);
        if (sheetAtThisDpi) {
            EXPECT_LE(frame.bottom, client.bottom) << "the frame is cut off";
        }
        if (client.bottom >= twips.ToPixelsY(kPageTwips.cy)) {
            EXPECT_EQ(0, shorter);
        } else {
            EXPECT_GT(shorter, 0);
        }

        layouttest::ExpectLayout({m_page}, kPage, twips);
        layouttest::ExpectLayout({m_page}, kFrames, twips, {IDC_FRAWATCH, IDC_FRADONTWATCH});
        for (const ui::ControlDesign& design : kFrames)
            ExpectMoved(Panel(design.id), ui::ControlRect(design, twips), 0, shorter);
        // The tab control is narrowed to its strip.
        layouttest::ExpectLayout({Panel(IDC_FRAWATCH)}, kWatchFrame, twips, {IDC_TABMAIN, IDC_FRAWATCHBORDER});
        ExpectMoved(InFrame(IDC_FRAWATCHBORDER), ui::ControlRect(ui::DesignIn(kWatchFrame, IDC_FRAWATCHBORDER), twips),
                    0, shorter);
        const RECT design = ui::ControlRect(kTabMain, twips);
        const RECT strip = ui::ChildRect(InFrame(IDC_TABMAIN));
        EXPECT_EQ(design.left, strip.left);
        EXPECT_EQ(design.top, strip.top);
        EXPECT_EQ(design.right, strip.right);
        EXPECT_LT(strip.bottom, design.bottom);
        for (int page : {IDC_TABPAGE0, IDC_TABPAGE1}) {
            const RECT r = ui::ChildRect(InFrame(page));
            EXPECT_EQ(design.left, r.left) << page;
            EXPECT_EQ(design.right, r.right) << page;
            EXPECT_EQ(design.bottom - shorter, r.bottom) << page;
            EXPECT_LE(r.top, strip.bottom) << page; // the strip's bottom line is the page's top
        }
        // Positions on a tab count from the tab control's corner.
        const RECT page0 = ui::ChildRect(InFrame(IDC_TABPAGE0));
        const POINT onTab{0, page0.top - design.top};
        layouttest::ExpectLayout({InFrame(IDC_TABPAGE0), onTab}, kStandardTab, twips);
        for (const ui::ControlDesign& control : kStandardTab)
            EXPECT_LT(ui::ControlRect(control, twips, onTab).bottom, page0.bottom - page0.top) << control.id;
        HWND page1 = InFrame(IDC_TABPAGE1);
        layouttest::ExpectLayout({page1, onTab}, kPluginTab, twips, {IDC_LVWPLUGIN, IDC_BTNINFO, IDC_BTNCONFIG});
        ExpectMoved(::GetDlgItem(page1, IDC_LVWPLUGIN),
                    ui::ControlRect(ui::DesignIn(kPluginTab, IDC_LVWPLUGIN), twips, onTab), 0, shorter);
        for (int button : {IDC_BTNINFO, IDC_BTNCONFIG})
            ExpectMoved(::GetDlgItem(page1, button), ui::ControlRect(ui::DesignIn(kPluginTab, button), twips, onTab),
                        shorter, 0);
        layouttest::ExpectLayout({Panel(IDC_FRADONTWATCH)}, kDontWatchFrame, twips, {IDC_FRADONTWATCHBORDER});
        ExpectMoved(::GetDlgItem(Panel(IDC_FRADONTWATCH), IDC_FRADONTWATCHBORDER),
                    ui::ControlRect(ui::DesignIn(kDontWatchFrame, IDC_FRADONTWATCHBORDER), twips), 0, shorter);
        EXPECT_EQ(twips.FontHeight(kFonts[fntTitle].points),
                  layouttest::FontHeight(::GetDlgItem(m_page, IDC_LBLCURRENTFOLDER)));
        EXPECT_EQ(twips.FontHeight(kFonts[fntTahoma].points),
                  layouttest::FontHeight(::GetDlgItem(m_page, IDC_CHKWATCHFOLDER)));
        HWND list = ::GetDlgItem(page1, IDC_LVWPLUGIN);
        EXPECT_EQ(twips.ToPixelsX(kNameColumnWidth), ::SendMessageW(list, LVM_GETCOLUMNWIDTH, 0, 0));
    }

    std::unique_ptr<outlooksim::OutlookWorld> m_world;
    std::unique_ptr<outlooksim::AddinHost> m_addin;
    HWND m_page = nullptr;
    const std::wstring m_config = com::Module::Directory() + L"notifyfolders.ini";
    hosttest::FilesSetAside m_files{{m_config, m_config + L".bak"}};
};

} // namespace

TEST_F(PageLayout, FollowsTheTablesAtTheScreensDpi)
{
    const int dpi = layouttest::ExpectedDpi();
    ASSERT_EQ(dpi, ui::WindowDpi(m_page)) << "the prefix's screen";
    ExpectDesign(dpi, true);
}

TEST_F(PageLayout, IsLaidOutAgainWhenItsDpiChanges)
{
    // A child window hears of the change after its parent. The page reads
    // its window's DPI, which the stand-in's dialog cannot change, so the
    // test tells the page through the message of a top-level window.
    for (int dpi : {144, 120, 96}) {
        SCOPED_TRACE(dpi);
        ::SendMessageW(m_page, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), 0);
        ExpectDesign(dpi, false);
    }
}
