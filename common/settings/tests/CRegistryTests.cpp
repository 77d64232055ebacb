// The settings wrapper against the real registry library (rovane.Registry,
// registered by the test fixture), in a private key that each test deletes
// before and after; results checked with the registry API.
#include <gtest/gtest.h>

#include <windows.h>

#include "CRegistry.h"

namespace {

constexpr const wchar_t* kKey = L"Software\\Wendmoor\\CorvaneTests\\Settings";
constexpr const char* kLong = "HKEY_CURRENT_USER\\Software\\Wendmoor\\CorvaneTests\\Settings";
constexpr const char* kShort = "\\HKCU\\Software\\Wendmoor\\CorvaneTests\\Settings";

class Settings : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Wendmoor\\CorvaneTests");
    }
    void TearDown() override
    {
        ::RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Wendmoor\\CorvaneTests");
        ::CoUninitialize();
    }
    static void Put(const wchar_t* name, DWORD type, const void* data, DWORD size)
    {
        ASSERT_EQ(ERROR_SUCCESS, ::RegSetKeyValueW(HKEY_CURRENT_USER, kKey, name, type, data, size));
    }
    static DWORD TypeOf(const wchar_t* name)
    {
        DWORD type = 0xDEADBEEF;
        if (::RegGetValueW(HKEY_CURRENT_USER, kKey, name, RRF_RT_ANY, &type, nullptr, nullptr) != ERROR_SUCCESS)
            return 0xDEADBEEF;
        return type;
    }
};

} // namespace

TEST_F(Settings, OpensKeysByEitherRootNameAndCreatesOnlyWhenAsked)
{
    CRegistry reg;
    EXPECT_FALSE(reg.OpenKey(kLong, false));
    EXPECT_EQ(7, reg.ReadDWORD("AlwaysOnTop", 7)) << "no key open after a failed OpenKey";
    EXPECT_FALSE(reg.WriteDWORD("AlwaysOnTop", 1, true));
    EXPECT_EQ(0xDEADBEEF, TypeOf(L"AlwaysOnTop"));

    EXPECT_TRUE(reg.OpenKey(kLong, true)) << "the whole missing path is created";
    EXPECT_TRUE(reg.WriteDWORD("AlwaysOnTop", 1, true));
    reg.CloseKey();
    EXPECT_EQ(-1, reg.ReadDWORD("AlwaysOnTop", -1)) << "closed: defaults again";

    CRegistry other;
    ASSERT_TRUE(other.OpenKey(kShort, false)) << "the short root name with a leading backslash";
    EXPECT_EQ(1, other.ReadDWORD("AlwaysOnTop", 0));
}

TEST_F(Settings, ReadsConvertOrFallBack)
{
    const wchar_t text42[] = L"42";
    const wchar_t word[] = L"Wendmoor";
    const BYTE bytes[] = {1, 2, 3};
    const double date = 37320.375; // 5 March 2002, 09:00
    Put(L"Text42", REG_SZ, text42, sizeof text42);
    Put(L"Word", REG_SZ, word, sizeof word);
    Put(L"Bytes", REG_BINARY, bytes, sizeof bytes);
    Put(L"Date", REG_BINARY, &date, sizeof date);
    DWORD seven = 7;
    Put(L"Seven", REG_DWORD, &seven, sizeof seven);

    CRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kLong, false));
    EXPECT_EQ(42, reg.ReadDWORD("Text42", -1));
    EXPECT_EQ(0, reg.ReadDWORD("Bytes", -1)) << "no number: 0, not the default";
    EXPECT_EQ(0, reg.ReadDWORD("Word", -1));
    EXPECT_EQ(-1, reg.ReadDWORD("Missing", -1));
    EXPECT_EQ("7", reg.ReadString("Seven", "x"));
    EXPECT_EQ("Wendmoor", reg.ReadString("Word", "x"));
    EXPECT_EQ("x", reg.ReadString("Missing", "x"));
    DATE result = -1;
    EXPECT_TRUE(reg.ReadDate("Date", result));
    EXPECT_DOUBLE_EQ(date, result);
    result = -1;
    EXPECT_FALSE(reg.ReadDate("Missing", result));
    EXPECT_EQ(-1, result) << "left unchanged";
}

TEST_F(Settings, WritesCreateOnlyWhenAllowedAndReportRefusals)
{
    const wchar_t text[] = L"alt";
    Put(L"Was", REG_SZ, text, sizeof text);
    CRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kLong, false));
    EXPECT_FALSE(reg.WriteDWORD("New", 5, false));
    EXPECT_EQ(0xDEADBEEF, TypeOf(L"New")) << "nothing created";
    EXPECT_TRUE(reg.WriteDWORD("Was", 5, false)) << "an existing value is written";
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), TypeOf(L"Was"));
    EXPECT_TRUE(reg.WriteString("Name", "Notifier", true));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), TypeOf(L"Name"));

    // Data the library cannot store is refused: reported as not written.
    VARIANT object;
    ::VariantInit(&object);
    object.vt = VT_UNKNOWN;
    object.punkVal = nullptr;
    EXPECT_FALSE(reg.WriteBinary("Was", object, false));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), TypeOf(L"Was")) << "the value is left as it was";
}
