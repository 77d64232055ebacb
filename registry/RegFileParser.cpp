#include "RegFileParser.h"

#include <string>

namespace reg {

namespace {

using Byte = std::uint8_t;

// The registry types the data part names by its prefix.
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegBinary = 3;
constexpr std::uint32_t kRegDword = 4;

constexpr char kEndOfFileMark = '\x1A';

enum class ParserState { Header, BlankAfterHeader, KeyLine, ValueLines, Count };

// Splits the text into logical lines: a physical line ending in a backslash
// continues with the next one (its leading blanks included).
class LineReader {
  public:
    explicit LineReader(std::string_view text) : m_text(text) {}

    bool Next(std::string& line)
    {
        if (m_position >= m_text.size())
            return false;
        line.clear();
        for (;;) {
            std::string_view physical = NextPhysical();
            if (!physical.empty() && physical.back() == '\\') {
                line.append(physical.substr(0, physical.size() - 1));
                if (m_position < m_text.size())
                    continue;
                return true; // a continuation at the end of the file continues with nothing
            }
            line.append(physical);
            return true;
        }
    }

  private:
    // The next physical line without its line end (CR LF or LF); the last
    // line of a file may lack its line end.
    std::string_view NextPhysical()
    {
        size_t end = m_text.find('\n', m_position);
        size_t next = end == std::string_view::npos ? m_text.size() : end + 1;
        if (end == std::string_view::npos)
            end = m_text.size();
        else if (end > m_position && m_text[end - 1] == '\r')
            --end;
        std::string_view line = m_text.substr(m_position, end - m_position);
        m_position = next;
        return line;
    }

    std::string_view m_text;
    size_t m_position = 0;
};

// All the parser's state.
struct Parser {
    ParserState state = ParserState::Header;
    LineReader reader;
    std::string line;
    RegFileHandler& handler;
    bool keyOpen = false;
};

[[noreturn]] void Invalid() { throw RegFileFormatError(); }

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Every character that is not a hexadecimal digit is skipped; each pair of
// digits makes one byte (a last lone digit makes none).
std::vector<Byte> HexBytes(std::string_view text)
{
    std::vector<Byte> bytes;
    bytes.reserve(text.size() / 3 + 1);
    int high = -1;
    for (char c : text) {
        int digit = HexDigit(c);
        if (digit < 0)
            continue;
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(static_cast<Byte>(high << 4 | digit));
            high = -1;
        }
    }
    return bytes;
}

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// "dword:" and exactly eight hexadecimal digits, the first pair the most significant byte.
std::vector<Byte> DwordBytes(std::string_view digits)
{
    if (digits.size() != 8)
        Invalid();
    std::uint32_t number = 0;
    for (char c : digits) {
        int digit = HexDigit(c);
        if (digit < 0)
            Invalid();
        number = number << 4 | static_cast<std::uint32_t>(digit);
    }
    // Stored little-endian, as the registry keeps a REG_DWORD.
    return {static_cast<Byte>(number), static_cast<Byte>(number >> 8), static_cast<Byte>(number >> 16),
            static_cast<Byte>(number >> 24)};
}

// "hex(" type ")" ":" bytes.
void TypedHexData(std::string_view rest, std::uint32_t& type, std::vector<Byte>& data)
{
    size_t close = rest.find(')');
    if (close == 0 || close == std::string_view::npos || close > 8 || rest.substr(close, 2) != "):")
        Invalid();
    type = 0;
    for (char c : rest.substr(0, close)) {
        int digit = HexDigit(c);
        if (digit < 0)
            Invalid();
        type = type << 4 | static_cast<std::uint32_t>(digit);
    }
    data = HexBytes(rest.substr(close + 2));
}

// The data part after "=".
void ValueData(std::string_view part, std::uint32_t& type, std::vector<Byte>& data)
{
    if (StartsWith(part, "\"")) {
        if (part.size() < 2 || part.back() != '"')
            Invalid();
        std::string_view text = part.substr(1, part.size() - 2);
        type = kRegSz;
        data.assign(text.begin(), text.end());
        data.push_back(0);
    } else if (StartsWith(part, "dword:")) {
        type = kRegDword;
        data = DwordBytes(part.substr(6));
    } else if (StartsWith(part, "hex:")) {
        type = kRegBinary;
        data = HexBytes(part.substr(4));
    } else if (StartsWith(part, "hex(")) {
        TypedHexData(part.substr(4), type, data);
    } else {
        Invalid();
    }
}

// A value line: @ or "name", then "=", then the data part.
void ValueLine(Parser& p, std::string_view line)
{
    std::string_view name;
    size_t equals = 0;
    if (line.front() == '@') {
        equals = 1;
    } else if (line.front() == '"') {
        size_t quote = line.find('"', 1);
        if (quote == std::string_view::npos)
            Invalid();
        name = line.substr(1, quote - 1);
        equals = quote + 1;
    } else {
        Invalid();
    }
    if (equals >= line.size() || line[equals] != '=')
        Invalid();
    std::uint32_t type = 0;
    std::vector<Byte> data;
    ValueData(line.substr(equals + 1), type, data);
    p.handler.OnValue(name, type, std::move(data));
}

ParserState OnHeader(Parser&, std::string_view line)
{
    if (line != "REGEDIT4")
        Invalid();
    return ParserState::BlankAfterHeader;
}

ParserState OnBlankAfterHeader(Parser&, std::string_view line)
{
    if (!line.empty())
        Invalid();
    return ParserState::KeyLine;
}

ParserState OnKeyLine(Parser& p, std::string_view line)
{
    if (line.size() < 2 || line.front() != '[' || line.back() != ']')
        Invalid();
    p.keyOpen = true;
    p.handler.OnKey(line.substr(1, line.size() - 2));
    return ParserState::ValueLines;
}

ParserState OnValueLine(Parser& p, std::string_view line)
{
    if (line.empty()) {
        p.keyOpen = false;
        p.handler.OnKeyEnd();
        return ParserState::KeyLine;
    }
    ValueLine(p, line);
    return ParserState::ValueLines;
}

using StateFunction = ParserState (*)(Parser&, std::string_view);

constexpr StateFunction kStates[static_cast<size_t>(ParserState::Count)] = {
    OnHeader,
    OnBlankAfterHeader,
    OnKeyLine,
    OnValueLine,
};

} // namespace

void ParseRegFile(std::string_view text, RegFileHandler& handler)
{
    // A Ctrl-Z as the very last byte is the end-of-file mark that old
    // editors append (text-mode reading stops there): not data. One anywhere
    // else is an ordinary character.
    if (!text.empty() && text.back() == kEndOfFileMark)
        text.remove_suffix(1);
    Parser p{ParserState::Header, LineReader(text), {}, handler};
    while (p.reader.Next(p.line))
        p.state = kStates[static_cast<size_t>(p.state)](p, p.line);
    if (p.state == ParserState::Header)
        Invalid(); // not even a header
    if (p.keyOpen)
        handler.OnKeyEnd();
}

} // namespace reg
