// A scenario: the host's script, one command per line.
//
//   # comment
//   folder Support                      folder Kalender store=mailbox kind=calendar
//   connect corvane.Tarnwell            deliver mail Support subject="Neue Anfrage" sender="Erika Muster"
//   wait 1000                           screenshot after
//
// Words are separated by blanks; double quotes keep blanks in a word, also
// after "key=". Parsing checks every line before anything runs: a
// malformed line is reported with its number and text.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace outlooksim {

struct ScenarioCommand {
    int line = 0;                                 // 1-based
    std::wstring text;                            // the line as written
    std::wstring name;                            // the command word
    std::vector<std::wstring> args;               // the other words, in order
    std::map<std::wstring, std::wstring> options; // key=value words

    std::wstring Option(const std::wstring& key, std::wstring fallback = {}) const;
};

struct ScenarioError {
    int line = 0;
    std::wstring text;
    std::wstring message;

    // "line 7: expected mail or post: deliver fax Support"
    std::wstring Describe() const;
};

class Scenario {
  public:
    // Folder kinds by name; the position is the folder's OlItemType.
    static constexpr const wchar_t* kFolderKinds[] = {L"mail",    L"calendar", L"contacts", L"tasks",
                                                      L"journal", L"notes",    L"post"};

    // Parses a whole script; on the first malformed line the result has an error.
    static Scenario Parse(std::wstring_view script);

    bool Ok() const noexcept { return !m_error; }
    const std::optional<ScenarioError>& Error() const noexcept { return m_error; }
    const std::vector<ScenarioCommand>& Commands() const noexcept { return m_commands; }

    // Splits one line into words (exposed for the tests); nullopt for an unclosed quote.
    struct Word {
        std::wstring text;
        bool quoted = false; // the word began with a quote: never key=value
    };
    static std::optional<std::vector<Word>> Split(std::wstring_view line);

  private:
    std::vector<ScenarioCommand> m_commands;
    std::optional<ScenarioError> m_error;
};

// A date as the scenario writes it ("2024-05-01 10:00" or "2024-05-01T10:00"); nullopt if malformed.
std::optional<double> ParseScenarioDate(std::wstring_view text);

// "<a><separator><b>": two whole numbers of ASCII digits, each with an
// optional minus sign (a window's "size WxH" and "move X,Y").
std::optional<std::pair<int, int>> ParseScenarioPair(std::wstring_view text, wchar_t separator);

} // namespace outlooksim
