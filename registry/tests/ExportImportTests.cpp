// The REGEDIT4 dialect: value lines as the writer forms them, Export and
// Import through the Registry object, and a real subtree exported and
// imported back to identical keys, values, types and bytes.

#include "RegFileWriter.h"
#include "RegistryTestSupport.h"
#include "SubtreeCopy.h"
#include "com/ComError.h"

using com::ComPtr;
using com::Variant;

namespace {

const wchar_t kRegistrySource[] = L"Registry.Registry.1";

std::string Line(std::string_view name, DWORD type, const std::vector<BYTE>& data)
{
    std::string out = "poison";
    try {
        reg::AppendValueLine(out, name, type, data);
    } catch (const com::ComError& e) {
        return "error " + std::to_string(e.hr()) + " " + out;
    }
    return out.substr(6);
}

std::string Error(ErrorConstants code) { return "error " + std::to_string(static_cast<HRESULT>(code)) + " poison"; }

TEST(RegFileWriter, ValueLines)
{
    EXPECT_EQ("\"s\"=\"text\"\r\n", Line("s", REG_SZ, Bytes(std::string_view("text\0", 5))));
    EXPECT_EQ("@=\"a\\b \"c\"\"\r\n", Line("", REG_SZ, Bytes(std::string_view("a\\b \"c\"\0", 8))));
    EXPECT_EQ("\"b\"=hex:01,ff,20\r\n", Line("b", REG_BINARY, Bytes({1, 0xff, 0x20})));
    EXPECT_EQ("\"b\"=hex:\r\n", Line("b", REG_BINARY, {}));
    EXPECT_EQ("\"d\"=dword:0000002a\r\n", Line("d", REG_DWORD, Bytes({0x2a, 0, 0, 0})));
    EXPECT_EQ("\"d\"=dword:12345678\r\n", Line("d", REG_DWORD, Bytes({0x78, 0x56, 0x34, 0x12})));
    EXPECT_EQ("\"m\"=hex(7):61,00,00\r\n", Line("m", REG_MULTI_SZ, Bytes({'a', 0, 0})));
    EXPECT_EQ("\"e\"=hex(2):25,00\r\n", Line("e", REG_EXPAND_SZ, Bytes({'%', 0})));
    EXPECT_EQ("\"r\"=hex(a):\r\n", Line("r", REG_RESOURCE_REQUIREMENTS_LIST, {}));
    EXPECT_EQ("\"n\"=hex(0):05\r\n", Line("n", REG_NONE, Bytes({5})));
}

TEST(RegFileWriter, WhatTheQuotedFormsCannotCarry)
{
    // Strings go out as hex(1) with their exact bytes.
    EXPECT_EQ("\"s\"=hex(1):61,0d,0a,62,00\r\n", Line("s", REG_SZ, Bytes({'a', '\r', '\n', 'b', 0})));
    EXPECT_EQ("\"s\"=hex(1):61,00,62,00\r\n", Line("s", REG_SZ, Bytes({'a', 0, 'b', 0})));
    EXPECT_EQ("\"s\"=hex(1):61,62\r\n", Line("s", REG_SZ, Bytes({'a', 'b'})));
    EXPECT_EQ("\"s\"=hex(1):\r\n", Line("s", REG_SZ, {}));
    // A DWORD that is not four bytes long.
    EXPECT_EQ("\"d\"=hex(4):01,02\r\n", Line("d", REG_DWORD, Bytes({1, 2})));
    // Names cannot be carried: refused, and no half line is left behind.
    EXPECT_EQ(Error(EInvalidData), Line("a\"b", REG_SZ, Bytes({0})));
    EXPECT_EQ(Error(EInvalidData), Line("a\nb", REG_SZ, Bytes({0})));
    // Types the table does not name go out by their number (REG_QWORD is 11).
    EXPECT_EQ("\"q\"=hex(b):2a,00,00,00,00,00,00,00\r\n", Line("q", 11, Bytes({42, 0, 0, 0, 0, 0, 0, 0})));
    EXPECT_EQ("\"t\"=hex(ffffffff):\r\n", Line("t", 0xFFFFFFFF, {}));
}

class ExportImport : public RegistryTest {
  protected:
    // Every key of the subtree with its values, in walk order.
    using Snapshot = std::vector<SubtreeKey>;

    Snapshot Take(const std::string& sub)
    {
        Snapshot snapshot;
        EXPECT_TRUE(ReadSubtree(KeyName(sub), snapshot));
        return snapshot;
    }
    HRESULT Export(const TempFile& file, const std::wstring& key, bool subKeys = true)
    {
        return m_registry->Export(file.Name().get(), com::Bstr(key).get(), subKeys ? VARIANT_TRUE : VARIANT_FALSE);
    }
    HRESULT Import(const TempFile& file) { return m_registry->Import(file.Name().get()); }
    // Files whose name starts with the file's name, the file itself included.
    static size_t FilesBeside(const TempFile& file)
    {
        WIN32_FIND_DATAA found{};
        HANDLE search = ::FindFirstFileA((file.Path() + "*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE)
            return 0;
        size_t count = 0;
        do
            ++count;
        while (::FindNextFileA(search, &found));
        ::FindClose(search);
        return count;
    }
    std::string HeaderAndKey(const std::string& sub) const
    {
        return "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\" + KeyName(sub) + "]\r\n";
    }
};

TEST_F(ExportImport, ExportWritesTheDialect)
{
    WriteRaw("t", "d", REG_DWORD, Bytes({42, 0, 0, 0}));
    WriteRaw("t\\child", "", REG_SZ, Bytes({'x', 0}));
    TempFile file("dialect");
    ASSERT_EQ(S_OK, Export(file, L"HKCU\\" + com::Widen(KeyName("t"))));
    EXPECT_EQ(HeaderAndKey("t") + "\"d\"=dword:0000002a\r\n\r\n[HKEY_CURRENT_USER\\" + KeyName("t\\child") +
                  "]\r\n@=\"x\"\r\n",
              file.Read());

    TempFile flat("flat");
    ASSERT_EQ(S_OK, Export(flat, FullPath("t"), false));
    EXPECT_EQ(HeaderAndKey("t") + "\"d\"=dword:0000002a\r\n", flat.Read());

    TempFile missing("missing");
    ASSERT_EQ(S_OK, Export(missing, FullPath("no such key")));
    EXPECT_EQ("REGEDIT4\r\n", missing.Read());
}

TEST_F(ExportImport, AnEmptyKeyExportsLocalMachineThenUsers)
{
    TempFile file("everything");
    HRESULT hr = Export(file, L"");
    // Wine fails on one special key of HKEY_LOCAL_MACHINE (see the walk); a
    // failed export leaves no file, so the order is checked where it succeeds.
    if (hr != S_OK) {
        ExpectErrorFrom(hr, EMessageFromSystem, kRegistrySource, IID_IRegistry);
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(file.Path().c_str()));
        return;
    }
    const std::string text = file.Read();
    const std::string start = "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE]\r\n";
    EXPECT_EQ(start, text.substr(0, start.size()));
    EXPECT_EQ(std::string::npos, text.find("\r\n[HKEY_CURRENT_USER"));
    EXPECT_EQ(std::string::npos, text.find("\r\n[HKEY_CLASSES_ROOT"));
    if (hr == S_OK) {
        size_t users = text.find("\r\n[HKEY_USERS]\r\n");
        ASSERT_NE(std::string::npos, users);
        EXPECT_EQ(std::string::npos, text.find("\r\n[HKEY_LOCAL_MACHINE", users));
    }
}

TEST_F(ExportImport, ExportFailures)
{
    TempFile existing("existing");
    existing.Write("keep me");
    ExpectErrorFrom(Export(existing, FullPath()), EMessageFromSystem, kRegistrySource, IID_IRegistry);
    EXPECT_EQ("keep me", existing.Read());

    WriteRaw("bad", "a\"b", REG_SZ, Bytes({0}));
    WriteRaw("bad\\later", "fine", REG_SZ, Bytes({'x', 0}));
    TempFile refused("refused");
    ExpectError(Export(refused, FullPath("bad")), EInvalidData, kRegistrySource, L"Invalid data.", IID_IRegistry);
    // No part of an export is left behind: it would import as if it were all.
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesA(refused.Path().c_str()));
    EXPECT_EQ(0u, FilesBeside(refused));

    TempFile unknown("unknown");
    ExpectError(Export(unknown, L"\\HKXX\\x"), EUnknownRootKey, kRegistrySource, L"Unknown root key.", IID_IRegistry);
}

TEST_F(ExportImport, ASubtreeImportsBackIdentically)
{
    WriteRaw("tree", "", REG_SZ, Bytes(std::string_view("default\0", 8)));
    WriteRaw("tree", "quote\\back", REG_SZ, Bytes(std::string_view("say \"hi\" \\ there\0", 18)));
    WriteRaw("tree", "lines", REG_SZ, Bytes(std::string_view("one\r\ntwo\0", 9)));
    WriteRaw("tree", "unterminated", REG_SZ, Bytes("abc"));
    WriteRaw("tree", "inner zero", REG_SZ, Bytes(std::string_view("a\0b\0", 4)));
    WriteRaw("tree", "empty string", REG_SZ, {});
    WriteRaw("tree", "dword", REG_DWORD, Bytes({0x2a, 0, 0, 0}));
    WriteRaw("tree", "short dword", REG_DWORD, Bytes({1, 2}));
    WriteRaw("tree", "big endian", REG_DWORD_BIG_ENDIAN, Bytes({0, 0, 0, 1}));
    WriteRaw("tree", "qword", 11, Bytes({1, 2, 3, 4, 5, 6, 7, 8}));
    WriteRaw("tree\\a", "private type", 0x20001, Bytes({0xca, 0xfe}));
    WriteRaw("tree\\a", "bin", REG_BINARY, Bytes({0, 1, 0xfe, 0xff}));
    WriteRaw("tree\\a", "empty bin", REG_BINARY, {});
    WriteRaw("tree\\a", "none", REG_NONE, Bytes({9}));
    WriteRaw("tree\\a", "empty none", REG_NONE, {});
    WriteRaw("tree\\a\\b", "multi", REG_MULTI_SZ, Bytes({'x', 0, 'y', 0, 0}));
    WriteRaw("tree\\a\\b", "expand", REG_EXPAND_SZ, Bytes(std::string_view("%TEMP%\\x\0", 9)));
    std::vector<BYTE> large(5000);
    for (size_t i = 0; i < large.size(); ++i)
        large[i] = static_cast<BYTE>(i * 7);
    WriteRaw("tree\\c", "large", REG_BINARY, large);
    CreateKey("tree\\empty key");
    const Snapshot before = Take("tree");

    TempFile file("roundtrip");
    ASSERT_EQ(S_OK, Export(file, FullPath("tree")));
    ASSERT_EQ(ERROR_SUCCESS, ::RegDeleteTreeA(HKEY_CURRENT_USER, KeyName("tree").c_str()));
    ASSERT_FALSE(KeyExists("tree"));
    ASSERT_EQ(S_OK, Import(file));
    EXPECT_EQ(before, Take("tree"));
}

TEST_F(ExportImport, ImportWritesKeysAndValues)
{
    TempFile file("import");
    file.Write("REGEDIT4\n\n[HKCU\\" + KeyName("imp\\deep") + "]\n\"b\"=hex:01,02,\\\n   03\n@=\"d\"\n\n[" +
               "HKEY_CURRENT_USER\\" + KeyName("imp") + "]\n\"m\"=hex(7):61,00,00\n");
    ASSERT_EQ(S_OK, Import(file));
    EXPECT_EQ(Bytes({1, 2, 3}), ReadRaw("imp\\deep", "b").bytes);
    EXPECT_EQ(Bytes({'d', 0}), ReadRaw("imp\\deep", "").bytes);
    StoredValue multi = ReadRaw("imp", "m");
    EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), multi.type);
    EXPECT_EQ(Bytes({'a', 0, 0}), multi.bytes);
}

TEST_F(ExportImport, ImportReadsAFileAnotherProgramHoldsOpenForWriting)
{
    TempFile file("held");
    file.Write(HeaderAndKey("held") + "\"x\"=\"1\"\r\n\x1A"); // ended by an old editor's Ctrl-Z
    com::UniqueFileHandle writer(::CreateFileA(file.Path().c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                               nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(writer);
    ASSERT_EQ(S_OK, Import(file));
    EXPECT_EQ(Bytes({'1', 0}), ReadRaw("held", "x").bytes);
}

TEST_F(ExportImport, ImportFailures)
{
    TempFile absent("absent");
    ExpectError(Import(absent), EFileOpenFailed, kRegistrySource, L"File open failed.", IID_IRegistry);

    TempFile twoBlanks("blanks");
    twoBlanks.Write(HeaderAndKey("first") + "\"x\"=\"1\"\r\n\r\n\r\n[HKEY_CURRENT_USER\\" + KeyName("second") +
                    "]\r\n");
    ExpectError(Import(twoBlanks), EInvalidFileFormat, kRegistrySource, L"Invalid file format.", IID_IRegistry);
    EXPECT_EQ(Bytes({'1', 0}), ReadRaw("first", "x").bytes); // not transactional
    EXPECT_FALSE(KeyExists("second"));

    TempFile secondLine("second");
    secondLine.Write("REGEDIT4\r\n[HKEY_CURRENT_USER\\" + KeyName("never") + "]\r\n");
    ExpectError(Import(secondLine), EInvalidFileFormat, kRegistrySource, L"Invalid file format.", IID_IRegistry);
    EXPECT_FALSE(KeyExists("never"));

    TempFile root("root");
    root.Write("REGEDIT4\r\n\r\n[HKEY_NOWHERE\\x]\r\n");
    ExpectError(Import(root), EUnknownRootKey, kRegistrySource, L"Unknown root key.", IID_IRegistry);
}

} // namespace
