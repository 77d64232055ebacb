// The REGEDIT4 reader fed with bytes: what it accepts, what it hands on,
// where it stops.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RegFileParser.h"
#include "RovaneInterfaces.h"
#include "com/ComError.h"

using namespace reg;

namespace {

// Records the operations as text: "K:path", "V:name:type:hex bytes", "E".
class Recorder final : public RegFileHandler {
  public:
    void OnKey(std::string_view path) override { log.push_back("K:" + std::string(path)); }
    void OnValue(std::string_view name, std::uint32_t type, std::vector<std::uint8_t> data) override
    {
        std::string line = "V:" + std::string(name) + ":" + std::to_string(type) + ":";
        static const char digits[] = "0123456789abcdef";
        for (std::uint8_t b : data) {
            line += digits[b >> 4];
            line += digits[b & 15];
        }
        log.push_back(line);
    }
    void OnKeyEnd() override { log.push_back("E"); }
    std::vector<std::string> log;
};

struct Outcome {
    HRESULT hr = static_cast<HRESULT>(0xdeadbeef);
    std::vector<std::string> log;
};

Outcome Parse(std::string_view text)
{
    Outcome outcome;
    Recorder recorder;
    try {
        ParseRegFile(text, recorder);
        outcome.hr = S_OK;
    } catch (const RegFileFormatError&) {
        outcome.hr = EInvalidFileFormat; // what Import reports for it
    }
    outcome.log = recorder.log;
    return outcome;
}

void ExpectParsed(std::string_view text, const std::vector<std::string>& expected)
{
    SCOPED_TRACE(std::string(text));
    Outcome outcome = Parse(text);
    EXPECT_EQ(S_OK, outcome.hr);
    EXPECT_EQ(expected, outcome.log);
}

// Rejected with EInvalidFileFormat after handing on what came before.
void ExpectRejected(std::string_view text, const std::vector<std::string>& before)
{
    SCOPED_TRACE(std::string(text));
    Outcome outcome = Parse(text);
    EXPECT_EQ(static_cast<HRESULT>(EInvalidFileFormat), outcome.hr);
    EXPECT_EQ(before, outcome.log);
}

TEST(RegFileParser, ValueKinds)
{
    ExpectParsed("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\a]\r\n"
                 "@=\"def\"\r\n"
                 "\"s\"=\"back\\slash \"quoted\" \"\r\n"
                 "\"d\"=dword:0000002a\r\n"
                 "\"b\"=hex:01,FF,20\r\n"
                 "\"e\"=hex:\r\n"
                 "\"m\"=hex(7):61,00,00\r\n"
                 "\"big\"=hex(1f):00\r\n"
                 "\"n\"=hex(0):\r\n",
                 {"K:HKEY_CURRENT_USER\\a", "V::1:64656600", "V:s:1:6261636b5c736c617368202271756f746564222000",
                  "V:d:4:2a000000", "V:b:3:01ff20", "V:e:3:", "V:m:7:610000", "V:big:31:00", "V:n:0:", "E"});
}

TEST(RegFileParser, LinesAndBlocks)
{
    // LF alone, several blocks, a last line without line end.
    ExpectParsed("REGEDIT4\n\n[A]\n\"x\"=\"1\"\n\n[B]\n\"y\"=dword:00000001",
                 {"K:A", "V:x:1:3100", "E", "K:B", "V:y:4:01000000", "E"});
    // A header alone, or with its empty line, is a file without keys.
    ExpectParsed("REGEDIT4\r\n", {});
    ExpectParsed("REGEDIT4\r\n\r\n", {});
    // Continuation lines: the backslash and line end go, indentation stays (and is skipped as a non-digit).
    ExpectParsed("REGEDIT4\r\n\r\n[K]\r\n\"b\"=hex:01,02,\\\r\n  03,04\\\r\n,05\r\n", {"K:K", "V:b:3:0102030405", "E"});
    // A continued string keeps the continuation's leading blanks.
    ExpectParsed("REGEDIT4\r\n\r\n[K]\r\n\"s\"=\"ab\\\r\n  cd\"\r\n", {"K:K", "V:s:1:61622020636400", "E"});
    // Digits pair up across separators; a last lone digit makes no byte.
    ExpectParsed("REGEDIT4\r\n\r\n[K]\r\n\"b\"=hex:1,2,3\r\n", {"K:K", "V:b:3:12", "E"});
}

TEST(RegFileParser, ACtrlZThatEndsTheFileIsItsEnd)
{
    for (std::string text :
         {"REGEDIT4\r\n\r\n[K]\r\n\"x\"=\"1\"\r\n\r\n[L]\r\n", "REGEDIT4\n\n[K]\n\"x\"=\"1\"", "REGEDIT4\r\n"}) {
        SCOPED_TRACE(text);
        Outcome plain = Parse(text), marked = Parse(text + '\x1A');
        EXPECT_EQ(S_OK, plain.hr);
        EXPECT_EQ(S_OK, marked.hr);
        EXPECT_EQ(plain.log, marked.log);
    }
    // Anywhere else it is a character like any other.
    ExpectParsed("REGEDIT4\r\n\r\n[K]\r\n\"x\"=\"\x1A\"\r\n", {"K:K", "V:x:1:1a00", "E"});
    ExpectRejected("REGEDIT4\r\n\r\n[K]\r\n\x1A\r\n", {"K:K"});
}

TEST(RegFileParser, LongLogicalLines)
{
    std::string text = "REGEDIT4\r\n\r\n[K]\r\n\"b\"=hex:";
    std::string expected = "V:b:3:";
    for (int i = 0; i < 3000; ++i) {
        text += i % 100 == 99 ? "ab,\\\r\n  " : "ab,";
        expected += "ab";
    }
    text += "cd\r\n";
    expected += "cd";
    ExpectParsed(text, {"K:K", expected, "E"});
}

TEST(RegFileParser, FailureTable)
{
    ExpectRejected("", {});
    ExpectRejected("REGEDIT5\r\n\r\n", {});
    ExpectRejected("regedit4\r\n\r\n", {});
    ExpectRejected("REGEDIT4 \r\n\r\n", {});
    ExpectRejected("Windows Registry Editor Version 5.00\r\n\r\n", {});
    ExpectRejected("REGEDIT4\r\n[K]\r\n", {});         // second line not empty
    ExpectRejected("REGEDIT4\r\n\r\n\r\n[K]\r\n", {}); // two empty lines
    ExpectRejected("REGEDIT4\r\n\r\nK]\r\n", {});
    ExpectRejected("REGEDIT4\r\n\r\n[K\r\n", {});
    ExpectRejected("REGEDIT4\r\n\r\n[K]\r\n\"a\"=\"1\"\r\n\r\n\r\n[L]\r\n", {"K:K", "V:a:1:3100", "E"});
    ExpectRejected("REGEDIT4\r\n\r\n[K]\r\nname=\"1\"\r\n", {"K:K"}); // no quote, no @
    ExpectRejected("REGEDIT4\r\n\r\n[K]\r\n\"name=\"1\r\n", {"K:K"}); // no "=" after the name
    ExpectRejected("REGEDIT4\r\n\r\n[K]\r\n\"name\r\n", {"K:K"});     // name not closed
    ExpectRejected("REGEDIT4\r\n\r\n[K]\r\n@\"x\"\r\n", {"K:K"});
    ExpectRejected("REGEDIT4\r\n\r\n[K]\r\n@\r\n", {"K:K"});
    ExpectRejected("REGEDIT4\r\n\r\n[K]\r\n\"s\"=\"open\r\n", {"K:K"}); // string not closed
    ExpectRejected("REGEDIT4\r\n\r\n[K]\r\n\"s\"=\"\r\n", {"K:K"});
    ExpectRejected("REGEDIT4\r\n\r\n[K]\r\n\"d\"=dword:2a\r\n", {"K:K"}); // not eight digits
    ExpectRejected("REGEDIT4\r\n\r\n[K]\r\n\"d\"=dword:0000002g\r\n", {"K:K"});
    ExpectRejected("REGEDIT4\r\n\r\n[K]\r\n\"d\"=dword:0000002a0\r\n", {"K:K"});
    ExpectRejected("REGEDIT4\r\n\r\n[K]\r\n\"h\"=hex(7:00\r\n", {"K:K"});
    ExpectRejected("REGEDIT4\r\n\r\n[K]\r\n\"h\"=hex():00\r\n", {"K:K"});
    ExpectRejected("REGEDIT4\r\n\r\n[K]\r\n\"h\"=hex(x):00\r\n", {"K:K"});
    ExpectRejected("REGEDIT4\r\n\r\n[K]\r\n\"h\"=hex(7)00\r\n", {"K:K"});
    ExpectRejected("REGEDIT4\r\n\r\n[K]\r\n\"h\"=hex(123456789):00\r\n", {"K:K"});
    ExpectRejected("REGEDIT4\r\n\r\n[K]\r\n\"x\"=str:abc\r\n", {"K:K"});
    ExpectRejected("REGEDIT4\r\n\r\n[K]\r\n; a comment\r\n", {"K:K"});
    ExpectRejected("REGEDIT4\r\n\r\n[K]\r\n-\"x\"\r\n", {"K:K"});
}

TEST(RegFileParser, ArbitraryBytesNeverCrash)
{
    // A crude stand-in for fuzzing: every prefix of a valid file, and some noise.
    const std::string valid = "REGEDIT4\r\n\r\n[K]\r\n@=\"x\"\r\n\"b\"=hex(2):41,\\\r\n 00\r\n\"d\"=dword:00000001\r\n";
    for (size_t n = 0; n <= valid.size(); ++n) {
        Outcome outcome = Parse(std::string_view(valid).substr(0, n));
        EXPECT_TRUE(outcome.hr == S_OK || outcome.hr == static_cast<HRESULT>(EInvalidFileFormat)) << n;
    }
    std::string noise = "REGEDIT4\r\n\r\n[";
    for (int i = 0; i < 512; ++i)
        noise += static_cast<char>((i * 131 + 7) & 0xFF);
    Outcome outcome = Parse(noise);
    EXPECT_TRUE(outcome.hr == S_OK || outcome.hr == static_cast<HRESULT>(EInvalidFileFormat));
}

} // namespace
