// The size-limit table with plain windows: what a window asks in
// WM_GETMINMAXINFO, the blocked system commands, and a handle that is used
// again after its window was given its own procedure back.
#include <gtest/gtest.h>

#include <windows.h>

#include "g_modMinMax.h"

namespace {

LRESULT CALLBACK PlainProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_SYSCOMMAND && wParam == SC_CLOSE)
        ::SetPropW(hWnd, L"closed", reinterpret_cast<HANDLE>(1));
    return ::DefWindowProcW(hWnd, msg, wParam, lParam);
}

class TestForm final : public Form {
  public:
    TestForm()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = &PlainProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.lpszClassName = L"SizeLimitTestForm";
        ::RegisterClassW(&wc);
        m_hWnd = ::CreateWindowExW(0, L"SizeLimitTestForm", L"Test", WS_OVERLAPPEDWINDOW, 10, 10, 400, 300, nullptr,
                                   nullptr, wc.hInstance, nullptr);
    }
    ~TestForm() { ::DestroyWindow(m_hWnd); }
    HWND Hwnd() const noexcept override { return m_hWnd; }
    std::string Name() const override { return "frmTest"; }
    int GetWindowState() const noexcept override { return 0; }
    void SetWindowState(int) noexcept override {}

  private:
    HWND m_hWnd;
};

MINMAXINFO AskLimits(HWND hWnd)
{
    MINMAXINFO info{};
    info.ptMaxSize = POINT{1111, 2222};
    ::SendMessageW(hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    return info;
}

WNDPROC ProcOf(HWND hWnd) { return reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(hWnd, GWLP_WNDPROC)); }

} // namespace

TEST(SizeLimits, AnswerTheWindowsQuestionsAndBlockCommands)
{
    TestForm form;
    ASSERT_TRUE(form.Hwnd());
    long maxWidth = 0, maxHeight = 0, zero = 0;
    SetMinMax(form, 0, 0, zero, zero, false, false, false, false);
    EXPECT_NE(&MinMaxWndProc, ProcOf(form.Hwnd())) << "four zeros register nothing";

    const short before = MinMaxCount();
    SetMinMax(form, 250, 250, maxWidth, maxHeight, false, false, false, true);
    RECT desktop{};
    ::GetWindowRect(::GetDesktopWindow(), &desktop);
    EXPECT_EQ(desktop.right, maxWidth) << "a zero maximum becomes the desktop's size";
    EXPECT_EQ(desktop.bottom, maxHeight);
    EXPECT_EQ(&MinMaxWndProc, ProcOf(form.Hwnd()));
    MINMAXINFO info = AskLimits(form.Hwnd());
    EXPECT_EQ(250, info.ptMinTrackSize.x);
    EXPECT_EQ(desktop.right, info.ptMaxTrackSize.x);
    EXPECT_EQ(-2, info.ptMaxPosition.x);
    EXPECT_EQ(-2, info.ptMaxPosition.y);
    EXPECT_EQ(1111, info.ptMaxSize.x) << "what Windows filled in stays";

    // Blocked exactly: SC_CLOSE never reaches the window's own procedure.
    ::SendMessageW(form.Hwnd(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(::GetPropW(form.Hwnd(), L"closed"));

    // A second registration keeps one procedure and takes the new limits.
    long w = 640, h = 480;
    SetMinMax(form, 300, 200, w, h, false, false, false, false);
    EXPECT_EQ(before + 1, MinMaxCount());
    info = AskLimits(form.Hwnd());
    EXPECT_EQ(300, info.ptMinTrackSize.x);
    EXPECT_EQ(480, info.ptMaxTrackSize.y);

    // Given its own procedure back, a registered handle gets the limits
    // again when it registers again (window handles are reused).
    RemoveMinMax(form);
    EXPECT_EQ(&PlainProc, ProcOf(form.Hwnd()));
    SetMinMax(form, 260, 260, w, h, false, false, false, false);
    EXPECT_EQ(&MinMaxWndProc, ProcOf(form.Hwnd()));
    EXPECT_EQ(260, AskLimits(form.Hwnd()).ptMinTrackSize.y);
    EXPECT_EQ(before + 1, MinMaxCount()) << "entries are never added twice for one handle";
    RemoveMinMax(form);
}
