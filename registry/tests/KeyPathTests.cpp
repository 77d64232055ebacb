// The key path helpers, against a real local root table.
#include <gtest/gtest.h>

#include "KeyPath.h"
#include "RovaneInterfaces.h"
#include "com/ComError.h"

using namespace reg;

namespace {

HRESULT CodeOf(void (*call)(const RootKeyTable&), const RootKeyTable& roots)
{
    try {
        call(roots);
        return S_OK;
    } catch (const com::ComError& e) {
        return e.hr();
    }
}

class KeyPaths : public ::testing::Test {
  protected:
    void SetUp() override { m_roots.Build(L""); }
    RootKeyTable m_roots;
};

TEST_F(KeyPaths, FootTailAndParent)
{
    EXPECT_EQ(L"SOFTWARE", GetKeyFoot(L"\\HKLM\\SOFTWARE"));
    EXPECT_EQ(L"HKLM", GetKeyFoot(L"\\HKLM"));
    EXPECT_EQ(L"", GetKeyFoot(L"\\HKLM\\x\\"));
    EXPECT_EQ(L"SOFTWARE\\Classes", GetKeyTail(L"\\HKLM\\SOFTWARE\\Classes"));
    EXPECT_EQ(L"", GetKeyTail(L"\\HKLM"));
    EXPECT_EQ(L"\\HKLM\\SOFTWARE", GetParentKey(L"\\HKLM\\SOFTWARE\\Classes"));
    EXPECT_EQ(L"", GetParentKey(L"\\HKLM"));
    for (auto helper : {GetKeyFoot, GetKeyTail, GetParentKey}) {
        EXPECT_EQ(L"", helper(L""));
        EXPECT_THROW(helper(L"HKLM\\SOFTWARE"), com::ComError);
    }
}

TEST_F(KeyPaths, MergeUsesTheLongRootName)
{
    EXPECT_EQ(L"\\HKEY_CURRENT_USER\\Software", MergeKeys(L"", L"HKCU\\Software", m_roots));
    EXPECT_EQ(L"\\HKEY_CURRENT_USER\\Software", MergeKeys(L"", L"\\hkcu\\Software", m_roots));
    EXPECT_EQ(L"\\HKEY_LOCAL_MACHINE\\a\\b", MergeKeys(L"\\HKEY_LOCAL_MACHINE\\a", L"b", m_roots));
    EXPECT_EQ(L"\\HKEY_USERS\\x", MergeKeys(L"\\HKEY_LOCAL_MACHINE\\a", L"\\HKU\\x", m_roots));
    EXPECT_EQ(L"\\HKEY_LOCAL_MACHINE\\a", MergeKeys(L"\\HKLM\\a", L"", m_roots));
    EXPECT_EQ(L"\\HKXX\\a", MergeKeys(L"", L"HKXX\\a", m_roots)); // unknown roots stay as written
    EXPECT_EQ(L"\\HKEY_CURRENT_USERX", MergeKeys(L"", L"HKEY_CURRENT_USERX", m_roots));
    EXPECT_EQ(static_cast<HRESULT>(EInvalidKey),
              CodeOf([](const RootKeyTable& r) { MergeKeys(L"", L"", r); }, m_roots));
}

TEST_F(KeyPaths, RootHandles)
{
    EXPECT_EQ(HKEY_CURRENT_USER, GetRootKeyHandle(L"\\HKCU\\Software", m_roots));
    EXPECT_EQ(HKEY_CLASSES_ROOT, GetRootKeyHandle(L"\\hkey_classes_root", m_roots));
    EXPECT_EQ(static_cast<HRESULT>(EUnknownRootKey),
              CodeOf([](const RootKeyTable& r) { GetRootKeyHandle(L"\\HKDD", r); }, m_roots)); // not on NT
    EXPECT_EQ(static_cast<HRESULT>(EInvalidKey),
              CodeOf([](const RootKeyTable& r) { GetRootKeyHandle(L"HKCU", r); }, m_roots));
}

TEST_F(KeyPaths, SameOrBelow)
{
    EXPECT_TRUE(IsSameOrBelow(L"\\HKEY_CURRENT_USER\\a", L"\\HKEY_CURRENT_USER\\a"));
    EXPECT_TRUE(IsSameOrBelow(L"\\HKEY_CURRENT_USER\\A\\b", L"\\HKEY_CURRENT_USER\\a"));
    EXPECT_FALSE(IsSameOrBelow(L"\\HKEY_CURRENT_USER\\ab", L"\\HKEY_CURRENT_USER\\a"));
    EXPECT_FALSE(IsSameOrBelow(L"\\HKEY_CURRENT_USER", L"\\HKEY_CURRENT_USER\\a"));
}

} // namespace
