// The small helpers: file existence, computer and user names, busy pointer.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "SupportTestSupport.h"
#include "com/ComRaii.h"
#include "g_modNewFunc.h"

namespace {

class Helpers : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ::DeleteFileW(m_file.c_str());
        ::RemoveDirectoryW(m_dir.c_str());
    }
    void TearDown() override { SetUp(); }

    const std::wstring m_file = DirectoryOf(nullptr) + L"support_tests_exists.txt";
    const std::wstring m_dir = DirectoryOf(nullptr) + L"support_tests_exists.dir";
    SeamsScope m_seams;
};

TEST_F(Helpers, FileExists)
{
    const std::string file = com::Narrow(m_file);
    EXPECT_FALSE(FileExists(file));
    ASSERT_TRUE(WriteWholeFile(m_file, ""));
    EXPECT_TRUE(FileExists(file)); // an empty file has a length too
    ASSERT_TRUE(WriteWholeFile(m_file, "RIFF"));
    EXPECT_TRUE(FileExists(file));

    // Held open without any sharing by someone else: its length is still known.
    HANDLE held = ::CreateFileW(m_file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, held);
    EXPECT_TRUE(FileExists(file));
    ::CloseHandle(held);

    ASSERT_TRUE(::CreateDirectoryW(m_dir.c_str(), nullptr));
    EXPECT_FALSE(FileExists(com::Narrow(m_dir))); // a directory has no length
    EXPECT_FALSE(FileExists(""));
    EXPECT_FALSE(FileExists(file + "\\x"));
    EXPECT_FALSE(FileExists(com::Narrow(DirectoryOf(nullptr)) + "*.exe"));
}

TEST_F(Helpers, NamesAreTheSystemsNames)
{
    char computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD computerSize = sizeof computer;
    ASSERT_TRUE(::GetComputerNameA(computer, &computerSize));
    char user[257] = {};
    DWORD userSize = sizeof user;
    ASSERT_TRUE(::GetUserNameA(user, &userSize));

    EXPECT_FALSE(CurrentComputerName().empty());
    EXPECT_EQ(computer, CurrentComputerName());
    EXPECT_FALSE(CurrentUserName().empty());
    EXPECT_EQ(user, CurrentUserName());
}

// What the name calls were asked, and what they answer.
struct NameCall {
    static DWORD sizeAsked;
    static const char* answer; // written into the buffer, also on failure
    static DWORD sizeAnswered;
    static BOOL result;
    static BOOL WINAPI Answer(LPSTR lpBuffer, LPDWORD nSize)
    {
        sizeAsked = *nSize;
        std::memcpy(lpBuffer, answer, std::strlen(answer) + 1);
        *nSize = sizeAnswered;
        return result;
    }
    static void Set(const char* text, DWORD size, BOOL ok)
    {
        sizeAsked = 0xdeadbeef;
        answer = text;
        sizeAnswered = size;
        result = ok;
    }
};
DWORD NameCall::sizeAsked = 0;
const char* NameCall::answer = "";
DWORD NameCall::sizeAnswered = 0;
BOOL NameCall::result = FALSE;

TEST_F(Helpers, NameBuffersAndFailures)
{
    g_supportSeams.GetComputerNameA = NameCall::Answer;
    g_supportSeams.GetUserNameA = NameCall::Answer;

    // The computer name's size comes back without the terminator, the user name's with it.
    NameCall::Set("ZENTRALE-07", 11, TRUE);
    EXPECT_EQ("ZENTRALE-07", CurrentComputerName());
    EXPECT_EQ(254u, NameCall::sizeAsked);
    NameCall::Set("hbergmann", 10, TRUE);
    EXPECT_EQ("hbergmann", CurrentUserName());
    EXPECT_EQ(254u, NameCall::sizeAsked);

    // The user name is cut to the returned length.
    NameCall::Set("hbergmann", 4, TRUE);
    EXPECT_EQ("hbe", CurrentUserName());

    // A failing call answers "<n/a>", whatever it left in the buffer.
    NameCall::Set("poisoned", 8, FALSE);
    EXPECT_EQ("<n/a>", CurrentComputerName());
    NameCall::Set("poisoned", 9, FALSE);
    EXPECT_EQ("<n/a>", CurrentUserName());
    NameCall::Set("", 255, FALSE); // too small: the size needed comes back
    EXPECT_EQ("<n/a>", CurrentComputerName());
    EXPECT_EQ("<n/a>", CurrentUserName());
}

TEST_F(Helpers, BusyCursor)
{
    const HCURSOR wait = ::LoadCursorA(nullptr, IDC_WAIT);
    const HCURSOR arrow = ::LoadCursorA(nullptr, IDC_ARROW);
    const HCURSOR cross = ::LoadCursorA(nullptr, IDC_CROSS);
    ASSERT_NE(wait, arrow);

    ::SetCursor(cross);
    SetBusyCursor(true);
    EXPECT_EQ(wait, ::GetCursor());
    SetBusyCursor(true);
    EXPECT_EQ(wait, ::GetCursor());
    SetBusyCursor(false);
    EXPECT_EQ(arrow, ::GetCursor());

    ::SetCursor(cross);
    SetBusyCursor(false);
    EXPECT_EQ(arrow, ::GetCursor());
}

} // namespace
