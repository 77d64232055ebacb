// Typed INI access over the profile functions and over the in-memory
// document, and the document against the platform's own reader and writer:
// a file written by one must read the same through the other.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>
#include <vector>

#include "AddinTestSupport.h"
#include "IniDocument.h"
#include "IniFile.h"
#include "com/ComRaii.h"

using addintest::ReadBytes;
using addintest::WriteBytes;

namespace {

// A private folder under the temporary directory, removed before and after.
class TempFolder {
  public:
    TempFolder()
    {
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        m_dir = std::string(temp) + "corvane-ini-" + std::to_string(::GetCurrentProcessId()) + "\\";
        Clean();
        ::CreateDirectoryA(m_dir.c_str(), nullptr);
    }
    ~TempFolder()
    {
        Clean();
        ::RemoveDirectoryA(m_dir.c_str());
    }
    std::string File(const char* name) const { return m_dir + name; }

  private:
    void Clean() const
    {
        WIN32_FIND_DATAA found{};
        HANDLE h = ::FindFirstFileA((m_dir + "*").c_str(), &found);
        if (h == INVALID_HANDLE_VALUE)
            return;
        do
            ::DeleteFileA((m_dir + found.cFileName).c_str());
        while (::FindNextFileA(h, &found));
        ::FindClose(h);
    }
    std::string m_dir;
};

std::string DecimalSeparator()
{
    char text[8] = {};
    ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, text, sizeof text);
    return text;
}

std::string ApiString(const std::string& file, const char* section, const char* key, const char* def, DWORD size)
{
    std::vector<char> buffer(size + 1, '\x7F');
    const DWORD n = ::GetPrivateProfileStringA(section, key, def, buffer.data(), size, file.c_str());
    return std::string(buffer.data(), n);
}

// The wide reader, which the add-in uses.
std::wstring ApiStringW(const std::string& file, const char* section, const char* key, const char* def, DWORD size)
{
    std::vector<wchar_t> buffer(size + 1, L'\x7F');
    const DWORD n = ::GetPrivateProfileStringW(com::Widen(section).c_str(), com::Widen(key).c_str(),
                                               com::Widen(def).c_str(), buffer.data(), size, com::Widen(file).c_str());
    return std::wstring(buffer.data(), n);
}

// A document's text as its file holds it.
std::string Bytes(const IniDocument& doc) { return IniDocument::Encode(doc.Text()); }

// ---------------------------------------------------------------------------
// The file name

TEST(IniFileName, SplitsAtTheLastBackslashOnly)
{
    IniFile ini;
    EXPECT_EQ(L"", ini.GetIniFile());
    EXPECT_EQ(L"", ini.Path());
    EXPECT_EQ(L"", ini.File());

    ini.SetIniFile(L"C:\\Data\\cfg.ini");
    EXPECT_EQ(L"C:\\Data\\cfg.ini", ini.GetIniFile());
    EXPECT_EQ(L"C:\\Data\\", ini.Path());
    EXPECT_EQ(L"cfg.ini", ini.File());

    ini.SetIniFile(L"other.ini"); // no backslash: Path and File stay
    EXPECT_EQ(L"other.ini", ini.GetIniFile());
    EXPECT_EQ(L"C:\\Data\\", ini.Path());
    EXPECT_EQ(L"cfg.ini", ini.File());

    ini.SetIniFile(L"C:\\Dir\\");
    EXPECT_EQ(L"C:\\Dir\\", ini.Path());
    EXPECT_EQ(L"", ini.File());
}

// ---------------------------------------------------------------------------
// Typed reads and writes, once over the file and once over a document

enum class Backend { File, Document };

class IniFileTyped : public ::testing::TestWithParam<Backend> {
  protected:
    void SetUp() override
    {
        m_path = m_temp.File("typed.ini");
        m_ini.SetIniFile(com::Widen(m_path));
        if (GetParam() == Backend::Document) {
            auto doc = std::make_unique<IniDocument>();
            m_doc = doc.get();
            m_ini.UseDocument(std::move(doc));
        }
    }
    // Stores a value as it stands in the file.
    void Store(const char* key, const std::string& value)
    {
        if (m_doc)
            m_doc->SetString(L"S", com::Widen(key), com::Widen(value));
        else
            ::WritePrivateProfileStringA("S", key, value.c_str(), m_path.c_str());
    }
    // The text stored under a key.
    std::string Stored(const char* key) const
    {
        return m_doc ? com::Narrow(m_doc->GetString(L"S", com::Widen(key), L"<none>", 1000))
                     : ApiString(m_path, "S", key, "<none>", 1000);
    }

    TempFolder m_temp;
    std::string m_path;
    IniFile m_ini;
    IniDocument* m_doc = nullptr;
};

TEST_P(IniFileTyped, StringsAreCutAndDefaultWhenEmpty)
{
    Store("long", std::string(300, 'x'));
    EXPECT_EQ(std::wstring(253, L'x'), m_ini.GetString(L"S", L"long"));
    EXPECT_EQ(298u, m_ini.GetLargeString(L"S", L"long", 300).size());
    EXPECT_EQ(300u, m_ini.GetLargeString(L"S", L"long", 512).size());

    Store("empty", "");
    EXPECT_EQ(L"fallback", m_ini.GetString(L"S", L"empty", L"fallback"));
    EXPECT_EQ(L"fallback", m_ini.GetLargeString(L"S", L"empty", 512, L"fallback"));
    EXPECT_EQ(L"", m_ini.GetString(L"S", L"missing"));
    EXPECT_EQ(L"fallback", m_ini.GetString(L"S", L"missing", L"fallback"));
    EXPECT_EQ(L"fallback", m_ini.GetString(L"Nowhere", L"missing", L"fallback"));
    // A buffer too small for anything gives the default.
    Store("short", "abc");
    EXPECT_EQ(L"dflt", m_ini.GetLargeString(L"S", L"short", 1, L"dflt"));
    EXPECT_EQ(L"dflt", m_ini.GetLargeString(L"S", L"short", -5, L"dflt"));
    EXPECT_EQ(L"a", m_ini.GetLargeString(L"S", L"short", 3));

    m_ini.PutString(L"S", L"plain", L"a = b ; c");
    EXPECT_EQ("a = b ; c", Stored("plain"));
    EXPECT_EQ(L"a = b ; c", m_ini.GetString(L"S", L"plain"));
}

TEST_P(IniFileTyped, SpaceReplacementKeepsBlanksAtBothEnds)
{
    m_ini.PutString(L"S", L"k", L"  two  words ", true);
    EXPECT_EQ("\xFF\xFFtwo\xFF\xFFwords\xFF", Stored("k"));
    EXPECT_EQ(L"  two  words ", m_ini.GetString(L"S", L"k", L"", true));
    EXPECT_EQ(L"  two  words ", m_ini.GetLargeString(L"S", L"k", 100, L"", true));

    // Without replacement the profile functions drop the outer blanks.
    m_ini.PutString(L"S", L"k", L"  two  words ");
    EXPECT_EQ(L"two  words", m_ini.GetString(L"S", L"k"));
}

TEST_P(IniFileTyped, IntegersGiveZeroWhenTheyDoNotFit)
{
    Store("n", "40000");
    EXPECT_EQ(0, m_ini.GetInt(L"S", L"n", 7));
    EXPECT_EQ(40000, m_ini.GetLong(L"S", L"n"));
    EXPECT_EQ(0, m_ini.GetByte(L"S", L"n", 7));
    Store("n", "300");
    EXPECT_EQ(0, m_ini.GetByte(L"S", L"n"));
    EXPECT_EQ(300, m_ini.GetInt(L"S", L"n"));
    Store("n", "-1");
    EXPECT_EQ(0, m_ini.GetByte(L"S", L"n"));
    EXPECT_EQ(-1, m_ini.GetInt(L"S", L"n"));
    Store("n", "-32768");
    EXPECT_EQ(-32768, m_ini.GetInt(L"S", L"n"));
    Store("n", "255");
    EXPECT_EQ(255, m_ini.GetByte(L"S", L"n"));
    Store("n", "12abc");
    EXPECT_EQ(12, m_ini.GetInt(L"S", L"n"));
    Store("n", "abc");
    EXPECT_EQ(0, m_ini.GetInt(L"S", L"n", 9));

    EXPECT_EQ(-5, m_ini.GetInt(L"S", L"missing", -5));
    EXPECT_EQ(9, m_ini.GetByte(L"S", L"missing", 9));
    EXPECT_EQ(-70000, m_ini.GetLong(L"S", L"missing", -70000));

    m_ini.PutInt(L"S", L"i", -32768);
    m_ini.PutByte(L"S", L"b", 255);
    m_ini.PutLong(L"S", L"l", -2147483647 - 1);
    EXPECT_EQ("-32768", Stored("i"));
    EXPECT_EQ("255", Stored("b"));
    EXPECT_EQ("-2147483648", Stored("l"));
    EXPECT_EQ(-2147483647 - 1, m_ini.GetLong(L"S", L"l"));
}

TEST_P(IniFileTyped, BooleansAreOneOrZeroAndAnyNonZeroIsTrue)
{
    EXPECT_TRUE(m_ini.GetBoolean(L"S", L"missing", true));
    EXPECT_FALSE(m_ini.GetBoolean(L"S", L"missing"));
    Store("b", "0");
    EXPECT_FALSE(m_ini.GetBoolean(L"S", L"b", true));
    Store("b", "7");
    EXPECT_TRUE(m_ini.GetBoolean(L"S", L"b"));
    Store("b", "-1");
    EXPECT_TRUE(m_ini.GetBoolean(L"S", L"b"));
    m_ini.PutBoolean(L"S", L"t", true);
    m_ini.PutBoolean(L"S", L"f", false);
    EXPECT_EQ("1", Stored("t"));
    EXPECT_EQ("0", Stored("f"));
}

TEST_P(IniFileTyped, PathsEndInABackslash)
{
    EXPECT_EQ(L"\\", m_ini.GetPath(L"S", L"missing"));
    EXPECT_EQ(L"C:\\x\\", m_ini.GetPath(L"S", L"missing", L"C:\\x"));
    m_ini.PutPath(L"S", L"p", L"C:\\Wave Files");
    EXPECT_EQ("C:\\Wave Files\\", Stored("p"));
    m_ini.PutPath(L"S", L"q", L"D:\\");
    EXPECT_EQ("D:\\", Stored("q"));
    EXPECT_EQ(L"D:\\", m_ini.GetPath(L"S", L"q"));
}

TEST_P(IniFileTyped, SinglesUseTheLocaleSeparator)
{
    const std::string sep = DecimalSeparator();
    m_ini.PutSingle(L"S", L"f", 3.14159f, 2);
    EXPECT_EQ("3" + sep + "14", Stored("f"));
    EXPECT_FLOAT_EQ(3.14f, m_ini.GetSingle(L"S", L"f"));
    m_ini.PutSingle(L"S", L"f", 2.5f, 0); // the format "0.": rounded, separator kept
    EXPECT_EQ("3" + sep, Stored("f"));
    m_ini.PutSingle(L"S", L"f", -0.125f, 1);
    EXPECT_EQ("-0" + sep + "1", Stored("f"));
    m_ini.PutSingle(L"S", L"f", 1.5f, -4); // no decimals below zero
    EXPECT_EQ("2" + sep, Stored("f"));
    m_ini.PutSingle(L"S", L"f", 2.675f, 2); // the number as written, half away from zero
    EXPECT_EQ("2" + sep + "68", Stored("f"));
    m_ini.PutSingle(L"S", L"f", 9.996f, 2);
    EXPECT_EQ("10" + sep + "00", Stored("f"));
    m_ini.PutSingle(L"S", L"f", 1e10f, 1);
    EXPECT_EQ("10000000000" + sep + "0", Stored("f"));
    m_ini.PutSingle(L"S", L"f", 0.000123f, 5);
    EXPECT_EQ("0" + sep + "00012", Stored("f"));

    EXPECT_FLOAT_EQ(1.25f, m_ini.GetSingle(L"S", L"missing", 1.25f));
    Store("f", "not a number");
    EXPECT_FLOAT_EQ(-4.5f, m_ini.GetSingle(L"S", L"f", -4.5f));
    Store("f", "");
    EXPECT_FLOAT_EQ(0.75f, m_ini.GetSingle(L"S", L"f", 0.75f));
    Store("f", "1e40"); // beyond a single
    EXPECT_FLOAT_EQ(2.0f, m_ini.GetSingle(L"S", L"f", 2.0f));
    Store("f", "3" + sep + "5x");
    EXPECT_FLOAT_EQ(2.0f, m_ini.GetSingle(L"S", L"f", 2.0f));
    Store("f", "  -12" + sep + "5  ");
    EXPECT_FLOAT_EQ(-12.5f, m_ini.GetSingle(L"S", L"f"));

    // Any number of decimals is written.
    m_ini.PutSingle(L"S", L"g", 1.0f, 300);
    EXPECT_EQ("1" + sep + std::string(300, '0'), Stored("g"));
}

INSTANTIATE_TEST_SUITE_P(IniFile, IniFileTyped, ::testing::Values(Backend::File, Backend::Document),
                         [](const auto& info) { return info.param == Backend::File ? "File" : "Document"; });

// The separators of a German user, for the life of the object.
class GermanSeparators {
  public:
    GermanSeparators() : m_decimal(Get(LOCALE_SDECIMAL)), m_thousand(Get(LOCALE_STHOUSAND))
    {
        m_set = ::SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, ".") &&
                ::SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, ",");
    }
    ~GermanSeparators()
    {
        ::SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, m_decimal.c_str());
        ::SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STHOUSAND, m_thousand.c_str());
    }
    bool Set() const { return m_set; }

  private:
    static std::string Get(LCTYPE type)
    {
        char text[8] = {};
        ::GetLocaleInfoA(LOCALE_USER_DEFAULT, type, text, sizeof text);
        return text;
    }
    std::string m_decimal, m_thousand;
    bool m_set = false;
};

TEST(IniFileTypedLocale, SinglesFollowTheUsersDecimalSeparator)
{
    GermanSeparators german;
    ASSERT_TRUE(german.Set());

    IniFile ini;
    ini.UseDocument(std::make_unique<IniDocument>());
    ini.PutSingle(L"S", L"f", 3.14159f, 2);
    EXPECT_EQ(L"3,14", ini.GetString(L"S", L"f"));
    EXPECT_FLOAT_EQ(3.14f, ini.GetSingle(L"S", L"f"));
    EXPECT_FLOAT_EQ(1.25f, ini.GetSingle(L"S", L"missing", 1.25f));
    // A point is this user's thousands separator: the file is read by the user's rules.
    ini.PutString(L"S", L"g", L"2.5");
    EXPECT_FLOAT_EQ(25.0f, ini.GetSingle(L"S", L"g"));
    ini.PutString(L"S", L"g", L" -1.000,5e1 ");
    EXPECT_FLOAT_EQ(-10005.0f, ini.GetSingle(L"S", L"g"));
}

// ---------------------------------------------------------------------------
// The document against the platform's reader and writer

class IniFileDocumentVsPlatform : public ::testing::Test {
  protected:
    // Every lookup of the list must read the same through both, at several buffer sizes.
    void ExpectSameReads(const IniDocument& doc, const std::string& file,
                         const std::vector<std::pair<const char*, const char*>>& lookups)
    {
        for (const auto& [section, key] : lookups) {
            for (DWORD size : {1u, 4u, 7u, 254u, 100001u}) {
                SCOPED_TRACE(std::string("[") + section + "] " + key + " size " + std::to_string(size));
                EXPECT_EQ(ApiStringW(file, section, key, "  dflt  ", size),
                          doc.GetString(com::Widen(section), com::Widen(key), L"  dflt  ", size));
                EXPECT_EQ(ApiStringW(file, section, key, "", size),
                          doc.GetString(com::Widen(section), com::Widen(key), L"", size));
            }
            EXPECT_EQ(static_cast<int>(::GetPrivateProfileIntW(com::Widen(section).c_str(), com::Widen(key).c_str(),
                                                               -77, com::Widen(file).c_str())),
                      doc.GetInt(com::Widen(section), com::Widen(key), -77))
                << "[" << section << "] " << key;
        }
    }

    TempFolder m_temp;
};

// One sequence of writes, through the document and through the platform.
const std::vector<std::vector<std::string>> kWrites = {
    {"Folder1", "EntryId", "00000000A1B2C3"},
    {"Folder1", "FriendlyName", "Posteingang = Inbox; mit Semikolon"},
    {"Folder2", "EntryId", "  blanks around  "},
    {"Folder1", "StoreId", ""},
    {"folder1", "ENTRYID", "replaced"},
    {"Folder2", "Quoted", "\"in quotes\""},
    {"Folder2", "Single", "'single'"},
    {"Folder2", "Code255", "\xFFstart and end\xFF"},
    {"Folder2", "Equals", "a=b=c"},
    {"Folder2", "Semicolon", ";not a comment"},
    {"General", "FolderCount", "2"},
    {"Folder1", "Plugin1", "ZarqNotifier"},
};

TEST_F(IniFileDocumentVsPlatform, TheSameWritesGiveTheSameBytes)
{
    const std::string api = m_temp.File("api.ini"), mine = m_temp.File("doc.ini");
    IniDocument doc;
    for (const auto& w : kWrites) {
        ::WritePrivateProfileStringA(w[0].c_str(), w[1].c_str(), w[2].c_str(), api.c_str());
        doc.SetString(com::Widen(w[0]), com::Widen(w[1]), com::Widen(w[2]));
    }
    ASSERT_TRUE(doc.Save(com::Widen(mine)));
    EXPECT_EQ(ReadBytes(api), ReadBytes(mine));
    EXPECT_EQ(ReadBytes(mine), Bytes(doc));
    EXPECT_EQ("[Folder1]\r\n"
              "EntryId=replaced\r\n"
              "FriendlyName=Posteingang = Inbox; mit Semikolon\r\n"
              "StoreId=\r\n"
              "Plugin1=ZarqNotifier\r\n"
              "[Folder2]\r\n"
              "EntryId=blanks around\r\n"
              "Quoted=\"in quotes\"\r\n"
              "Single='single'\r\n"
              "Code255=\xFFstart and end\xFF\r\n"
              "Equals=a=b=c\r\n"
              "Semicolon=;not a comment\r\n"
              "[General]\r\n"
              "FolderCount=2\r\n",
              Bytes(doc));
}

TEST_F(IniFileDocumentVsPlatform, AWrittenDocumentReadsTheSameThroughThePlatform)
{
    const std::string file = m_temp.File("doc.ini");
    IniDocument doc;
    for (const auto& w : kWrites)
        doc.SetString(com::Widen(w[0]), com::Widen(w[1]), com::Widen(w[2]));
    ASSERT_TRUE(doc.Save(com::Widen(file)));
    ExpectSameReads(doc, file,
                    {{"Folder1", "EntryId"},
                     {"FOLDER1", "entryid"},
                     {" Folder1 ", " EntryId "},
                     {"Folder1", "StoreId"},
                     {"Folder1", "FriendlyName"},
                     {"Folder2", "EntryId"},
                     {"Folder2", "Quoted"},
                     {"Folder2", "Single"},
                     {"Folder2", "Code255"},
                     {"Folder2", "Equals"},
                     {"Folder2", "Semicolon"},
                     {"General", "FolderCount"},
                     {"Folder3", "EntryId"},
                     {"Folder1", "Missing"}});
}

TEST_F(IniFileDocumentVsPlatform, AnyTextReadsTheSameThroughTheDocument)
{
    const std::string file = m_temp.File("odd.ini");
    const std::string text = std::string("top=before any section\r\n"
                                         "\r\n"
                                         "  [ Spaced ]  \r\n"
                                         "  key one  =  value one  \r\n"
                                         "\tTabbed\t=\t7 \t\r\n"
                                         "noequals\r\n"
                                         "=emptykey\r\n"
                                         "[dup]\r\n"
                                         "a=1\r\n"
                                         "a=2\r\n"
                                         "[DUP]\r\n"
                                         "a=3\r\n"
                                         "b=4\r\n"
                                         "[quotes]\r\n"
                                         "q=\"abcdef\"\r\n"
                                         "s='x\"\r\n"
                                         "e=\"\"\r\n"
                                         "one=\"\r\n"
                                         "inner=  \"  padded  \"  \r\n"
                                         "[lf only]\n"
                                         "x=1\n"
                                         "[cr only]\r"
                                         "y=2\r"
                                         "[c] trailing text\r\n"
                                         "k=4\r\n"
                                         "[unclosed\r\n"
                                         "[numbers]\r\n"
                                         "hex=0x1F\r\n"
                                         "neg=-12\r\n"
                                         "plus=+5\r\n"
                                         "big=99999999999\r\n"
                                         "word=abc\r\n"
                                         "lead=42abc\r\n"
                                         "empty=\r\n"
                                         "[long]\r\n"
                                         "v=") +
                             std::string(100000, 'L') + "\r\nafter=1\r\n" +
                             std::string("[nul]\r\nz=x\0y\r\nlast=end", 22);
    WriteBytes(file, text);
    IniDocument doc;
    ASSERT_TRUE(doc.Load(com::Widen(file)));
    ExpectSameReads(doc, file,
                    {{"", "top"},         {"Spaced", "key one"}, {"Spaced", "Tabbed"}, {"Spaced", "noequals"},
                     {"Spaced", ""},      {"dup", "a"},          {"dup", "b"},         {"DUP", "a"},
                     {"quotes", "q"},     {"quotes", "s"},       {"quotes", "e"},      {"quotes", "one"},
                     {"quotes", "inner"}, {"lf only", "x"},      {"cr only", "y"},     {"c", "k"},
                     {"unclosed", "k"},   {"numbers", "hex"},    {"numbers", "neg"},   {"numbers", "plus"},
                     {"numbers", "big"},  {"numbers", "word"},   {"numbers", "lead"},  {"numbers", "empty"},
                     {"long", "v"},       {"long", "after"},     {"nul", "z"},         {"nul", "last"}});

    // A write through the platform rewrites the file in the form the document writes.
    ::WritePrivateProfileStringA("dup", "c", "new", file.c_str());
    doc.SetString(L"dup", L"c", L"new");
    EXPECT_EQ(ReadBytes(file), Bytes(doc));
}

// A name outside the code page makes the whole file UTF-16 with its byte
// order mark: the platform reads it whole, and its own later writes (a
// plug-in's keys) keep it so.
TEST_F(IniFileDocumentVsPlatform, ANameInAnotherScriptIsWrittenAsUtf16AndReadWhole)
{
    const std::string file = m_temp.File("cyrillic.ini");
    const std::wstring name = L"\u041F\u043E\u0434\u0434\u0435\u0440\u0436\u043A\u0430"; // Поддержка
    IniDocument doc;
    doc.SetString(L"Folder1", L"FriendlyName", name);
    doc.SetString(L"Folder1", L"SoundFile", L"C:\\\u00D6l\\\u0437\u0432\u0443\u043A.wav");
    doc.SetString(L"General", L"FolderCount", L"1");
    ASSERT_TRUE(doc.Save(com::Widen(file)));
    const std::string bytes = ReadBytes(file);
    ASSERT_EQ("\xFF\xFE", bytes.substr(0, 2));
    EXPECT_EQ(doc.Text(), IniDocument::Decode(bytes));

    IniFile ini;
    ini.SetIniFile(com::Widen(file));
    EXPECT_EQ(name, ini.GetString(L"Folder1", L"FriendlyName"));
    EXPECT_EQ(1, ini.GetInt(L"General", L"FolderCount"));
    ::WritePrivateProfileStringW(L"Folder1", L"Plugin1", L"ZarqNotifier", com::Widen(file).c_str());
    ::WritePrivateProfileStringW(nullptr, nullptr, nullptr, com::Widen(file).c_str());
    EXPECT_EQ("\xFF\xFE", ReadBytes(file).substr(0, 2));
    EXPECT_EQ(name, ini.GetString(L"Folder1", L"FriendlyName"));
    EXPECT_EQ(L"C:\\\u00D6l\\\u0437\u0432\u0443\u043A.wav", ini.GetString(L"Folder1", L"SoundFile"));
    EXPECT_EQ(L"ZarqNotifier", ini.GetString(L"Folder1", L"Plugin1"));
}

TEST_F(IniFileDocumentVsPlatform, AMissingFileReadsAsEmpty)
{
    const std::string file = m_temp.File("missing.ini");
    IniDocument doc;
    EXPECT_FALSE(doc.Load(com::Widen(file)));
    ExpectSameReads(doc, file, {{"General", "FolderCount"}, {"", ""}});
    EXPECT_EQ(L"", doc.Text());
}

TEST(IniFileDocument, ALineBreakInAValueCannotStartALine)
{
    IniDocument doc;
    doc.SetString(L"Folder1", L"FriendlyName", L"evil\r\n[General]\r\nFolderCount=0");
    doc.SetString(L"General", L"FolderCount", L"1");
    EXPECT_EQ(L"[Folder1]\r\n"
              L"FriendlyName=evil  [General]  FolderCount=0\r\n"
              L"[General]\r\n"
              L"FolderCount=1\r\n",
              doc.Text());
    EXPECT_EQ(1, IniDocument::Parse(doc.Text()).GetInt(L"General", L"FolderCount", 0));
}

TEST(IniFileDocument, BinaryGarbageParsesWithoutHarm)
{
    std::string garbage;
    uint32_t x = 12345;
    for (int i = 0; i < 200000; ++i) {
        x = x * 1103515245u + 12345u;
        garbage += static_cast<char>(x >> 24);
    }
    const IniDocument doc = IniDocument::Parse(IniDocument::Decode(garbage));
    EXPECT_EQ(0, doc.GetInt(L"General", L"FolderCount", 0));
    const IniDocument again = IniDocument::Parse(doc.Text());
    EXPECT_EQ(doc.Text(), again.Text());
}

} // namespace
