// The guard of the procedures Windows calls: whatever a message handler
// throws ends as one record in the component's log, and the window answers
// the caller with the value the guard was given.
#include <gtest/gtest.h>

#include <new>
#include <string>

#include "Reported.h"
#include "SupportTestSupport.h"

namespace {

class Reported : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ::DeleteFileW(m_path.c_str());
        FixedClock::Install(6, 2, 2026, 7, 5, 9);
    }
    void TearDown() override { ::DeleteFileW(m_path.c_str()); }
    std::string Log() const { return ReadWholeFile(m_path); }
    size_t Count(const std::string& sPart) const
    {
        const std::string log = Log();
        size_t n = 0;
        for (size_t at = log.find(sPart); at != std::string::npos; at = log.find(sPart, at + 1))
            ++n;
        return n;
    }

    const std::wstring m_path = DirectoryOf(nullptr) + L"support_tests.log";
    SeamsScope m_seams;
};

// A window whose handler of WM_APP throws what the test asks for, in the
// guard the window procedures use.
int g_throw = 0;
LRESULT CALLBACK ThrowingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg != WM_APP)
        return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    return RunAnswered<LRESULT>("Probe::WindowProc()", -7, [&]() -> LRESULT {
        if (g_throw == 1)
            throw std::bad_alloc();
        if (g_throw == 2)
            throw com::ComError(E_ACCESSDENIED, L"own text");
        if (g_throw == 3)
            throw 42;
        return 5;
    });
}

} // namespace

TEST_F(Reported, AWindowProcedureThatThrowsAnswersAndLeavesOneRecord)
{
    WNDCLASSW wc{};
    wc.lpfnWndProc = ThrowingProc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"ReportedProbe";
    ASSERT_NE(0, ::RegisterClassW(&wc));
    HWND hwnd =
        ::CreateWindowExW(0, L"ReportedProbe", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    ASSERT_NE(nullptr, hwnd);

    g_throw = 0;
    EXPECT_EQ(5, ::SendMessageW(hwnd, WM_APP, 0, 0));
    EXPECT_EQ(0u, Count("Type     : ")); // an answer without a failure leaves no record

    g_throw = 1;
    EXPECT_EQ(-7, ::SendMessageW(hwnd, WM_APP, 0, 0));
    g_throw = 2;
    EXPECT_EQ(-7, ::SendMessageW(hwnd, WM_APP, 0, 0));
    g_throw = 3;
    EXPECT_EQ(-7, ::SendMessageW(hwnd, WM_APP, 0, 0));
    ::DestroyWindow(hwnd);
    ::UnregisterClassW(L"ReportedProbe", wc.hInstance);

    EXPECT_EQ(3u, Count("Type     : Error\r\nMessage  : "));
    EXPECT_EQ(3u, Count("Source   : Probe::WindowProc()\r\n"));
    EXPECT_EQ(1u, Count("Code     : -2147024882\r\n")); // E_OUTOFMEMORY
    EXPECT_EQ(1u, Count("Code     : -2147024891\r\nDescript.: own text\r\n"));
    EXPECT_EQ(1u, Count("Code     : -2147418113\r\n")); // E_UNEXPECTED
}

TEST_F(Reported, AHandlerAnsweringAnHresultGetsTheFailuresCode)
{
    EXPECT_EQ(S_FALSE, RunReportedHr("Probe::Handler()", [] { return S_FALSE; }));
    EXPECT_EQ(E_ACCESSDENIED,
              RunReportedHr("Probe::Handler()", []() -> HRESULT { throw com::ComError(E_ACCESSDENIED); }));
    EXPECT_EQ(E_OUTOFMEMORY, RunReportedHr("Probe::Handler()", []() -> HRESULT { throw std::bad_alloc(); }));
    EXPECT_EQ(E_UNEXPECTED, RunReportedHr("Probe::Handler()", []() -> HRESULT { throw 1; }));
    EXPECT_EQ(3u, Count("Source   : Probe::Handler()\r\n"));

    Warn("Something expected", "Probe::Warned()");
    WarnError("Something wrong", "Probe::Erred()");
    EXPECT_EQ(1u, Count("Type     : Warning\r\nMessage  : Something expected\r\nSource   : Probe::Warned()\r\nDate"));
    EXPECT_EQ(1u, Count("Type     : Error\r\nMessage  : Something wrong\r\nSource   : Probe::Erred()\r\nDate"));
}
