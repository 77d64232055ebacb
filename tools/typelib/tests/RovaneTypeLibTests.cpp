// rovane's registered type library, read back as a client sees it: the
// enumeration members carry the help strings that the build step writes,
// and rewriting the library kept everything else.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "com/ComRaii.h"

using com::Bstr;
using com::ComPtr;

namespace {

// The library identifier of rovane's type library, version 1.0.
const GUID kRovaneLib = {0x60FFDE62, 0x178E, 0x11D1, {0xB1, 0xA2, 0x00, 0x60, 0x97, 0x1F, 0x5C, 0x23}};

class RovaneTypeLib : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    static void TearDownTestSuite() { ::CoUninitialize(); }

    void SetUp() override { ASSERT_EQ(S_OK, ::LoadRegTypeLib(kRovaneLib, 1, 0, 0x409, &m_lib)); }

    ComPtr<ITypeInfo> Type(const wchar_t* name)
    {
        ComPtr<ITypeInfo> info;
        MEMBERID id = 0;
        USHORT found = 1;
        std::wstring text = name;
        EXPECT_EQ(S_OK, m_lib->FindName(text.data(), 0, &info, &id, &found)) << com::Narrow(name);
        return info;
    }

    // The help string of an enumeration member, or "<missing member>".
    std::string MemberHelp(const wchar_t* sEnum, const wchar_t* sMember)
    {
        SCOPED_TRACE(com::Narrow(sEnum) + "." + com::Narrow(sMember));
        ComPtr<ITypeInfo> info = Type(sEnum);
        if (!info)
            return "<missing enumeration>";
        TYPEATTR* attr = nullptr;
        EXPECT_EQ(S_OK, info->GetTypeAttr(&attr));
        if (!attr)
            return "<missing enumeration>";
        EXPECT_EQ(TKIND_ENUM, attr->typekind);
        std::string help = "<missing member>";
        for (UINT i = 0; i < attr->cVars; ++i) {
            VARDESC* var = nullptr;
            if (FAILED(info->GetVarDesc(i, &var)))
                continue;
            Bstr name, doc;
            if (SUCCEEDED(info->GetDocumentation(var->memid, name.put(), doc.put(), nullptr, nullptr)) &&
                name.view() == sMember)
                help = doc.ansi();
            info->ReleaseVarDesc(var);
        }
        info->ReleaseTypeAttr(attr);
        return help;
    }

    // The help strings of all members of an enumeration, member by member.
    std::vector<std::pair<std::string, std::string>> AllMembers(const wchar_t* sEnum)
    {
        std::vector<std::pair<std::string, std::string>> members;
        ComPtr<ITypeInfo> info = Type(sEnum);
        TYPEATTR* attr = nullptr;
        if (!info || FAILED(info->GetTypeAttr(&attr)))
            return members;
        for (UINT i = 0; i < attr->cVars; ++i) {
            VARDESC* var = nullptr;
            if (FAILED(info->GetVarDesc(i, &var)))
                continue;
            Bstr name, doc;
            info->GetDocumentation(var->memid, name.put(), doc.put(), nullptr, nullptr);
            members.emplace_back(name.ansi(), doc.ansi());
            info->ReleaseVarDesc(var);
        }
        info->ReleaseTypeAttr(attr);
        return members;
    }

    std::string TypeHelp(const wchar_t* name)
    {
        ComPtr<ITypeInfo> info = Type(name);
        Bstr doc;
        if (info)
            info->GetDocumentation(MEMBERID_NIL, nullptr, doc.put(), nullptr, nullptr);
        return doc.ansi();
    }

    ComPtr<ITypeLib> m_lib;
};

TEST_F(RovaneTypeLib, EveryEnumerationMemberHasAHelpString)
{
    for (const wchar_t* sEnum :
         {L"DataTypeConstants", L"AddOptionConstants", L"FindOptionConstants", L"ErrorConstants"}) {
        const auto members = AllMembers(sEnum);
        EXPECT_FALSE(members.empty()) << com::Narrow(sEnum);
        for (const auto& [name, help] : members) {
            if (name == "EExpected") // raised by nothing, published without one
                EXPECT_EQ("", help);
            else
                EXPECT_NE("", help) << name;
        }
    }
}

TEST_F(RovaneTypeLib, MembersOfEqualValueKeepTheirOwnHelpString)
{
    // Registry types and variant types share values: the help string belongs
    // to the member's name, not to its value.
    EXPECT_EQ("NONE", MemberHelp(L"DataTypeConstants", L"dtREG_NONE"));
    EXPECT_EQ("Empty (uninitialized) data type.", MemberHelp(L"DataTypeConstants", L"dtEmpty"));
    EXPECT_EQ("DWORD", MemberHelp(L"DataTypeConstants", L"dtREG_DWORD"));
    EXPECT_EQ("DWORD LITTLE ENDIAN", MemberHelp(L"DataTypeConstants", L"dtREG_DWORD_LITTLE_ENDIAN"));
    EXPECT_EQ("Single-precision floating-point data type.", MemberHelp(L"DataTypeConstants", L"dtSng"));
    EXPECT_EQ("Array data type.", MemberHelp(L"DataTypeConstants", L"dtArray"));
    EXPECT_EQ("REG_OPTION_VOLATILE", MemberHelp(L"AddOptionConstants", L"aoREG_OPTION_VOLATILE"));
    EXPECT_EQ("Look in keys, values, data - ignore case and length.", MemberHelp(L"FindOptionConstants", L"foAll"));
    EXPECT_EQ("Ignore case.", MemberHelp(L"FindOptionConstants", L"foMatchCase"));
    EXPECT_EQ("File open error.", MemberHelp(L"ErrorConstants", L"EFileOpenFailed"));
    EXPECT_EQ("Unsupported platform", MemberHelp(L"ErrorConstants", L"EUnsupportedPlatform"));
    EXPECT_EQ("Unsupported variant type.", MemberHelp(L"ErrorConstants", L"EUnsupportedVariantType"));
}

TEST_F(RovaneTypeLib, RewritingKeptTheRestOfTheLibrary)
{
    Bstr libHelp;
    ASSERT_EQ(S_OK, m_lib->GetDocumentation(-1, nullptr, libHelp.put(), nullptr, nullptr));
    EXPECT_EQ("rovane 1.4 Object Library", libHelp.ansi());
    EXPECT_EQ("Hivemark data type constants", TypeHelp(L"DataTypeConstants"));
    EXPECT_EQ("Hivemark error constants", TypeHelp(L"ErrorConstants"));
    EXPECT_EQ("IRegistry Interface", TypeHelp(L"IRegistry"));

    // Values stay as they were, the negative error codes included.
    ComPtr<ITypeInfo> errors = Type(L"ErrorConstants");
    ASSERT_TRUE(errors);
    VARDESC* var = nullptr;
    ASSERT_EQ(S_OK, errors->GetVarDesc(1, &var));
    EXPECT_EQ(VAR_CONST, var->varkind);
    EXPECT_EQ(static_cast<LONG>(0x80040001), V_I4(var->lpvarValue));
    errors->ReleaseVarDesc(var);
}

} // namespace
