#include "Scenario.h"

#include "PageCommandSyntax.h"

#include <cwctype>
#include <initializer_list>

namespace outlooksim {

std::wstring ScenarioCommand::Option(const std::wstring& key, std::wstring fallback) const
{
    auto it = options.find(key);
    return it == options.end() ? fallback : it->second;
}

std::wstring ScenarioError::Describe() const
{
    return L"line " + std::to_wstring(line) + L": " + message + L": " + text;
}

// ---------------------------------------------------------------------------
// Splitting a line into words: a state machine, one function per state,
// driven by one loop over the table of state functions.

namespace {

enum class SplitState { Between, Bare, Quoted, Done, Count };

struct Splitter {
    std::wstring_view line;
    size_t pos = 0;
    std::vector<Scenario::Word> words;
    Scenario::Word word;
    bool unclosedQuote = false;
};

bool AtEnd(const Splitter& s) { return s.pos >= s.line.size(); }

SplitState FinishWord(Splitter& s, SplitState next)
{
    s.words.push_back(std::move(s.word));
    s.word = {};
    return next;
}

SplitState Between(Splitter& s)
{
    while (!AtEnd(s) && std::iswspace(s.line[s.pos]))
        ++s.pos;
    if (AtEnd(s) || s.line[s.pos] == L'#')
        return SplitState::Done;
    if (s.line[s.pos] == L'"') {
        ++s.pos;
        s.word.quoted = true;
        return SplitState::Quoted;
    }
    return SplitState::Bare;
}

SplitState Bare(Splitter& s)
{
    while (!AtEnd(s)) {
        wchar_t c = s.line[s.pos++];
        if (std::iswspace(c))
            return FinishWord(s, SplitState::Between);
        if (c == L'"')
            return SplitState::Quoted;
        s.word.text += c;
    }
    return FinishWord(s, SplitState::Done);
}

// Inside quotes; a doubled quote stands for one.
SplitState Quoted(Splitter& s)
{
    while (!AtEnd(s)) {
        wchar_t c = s.line[s.pos++];
        if (c != L'"') {
            s.word.text += c;
            continue;
        }
        if (!AtEnd(s) && s.line[s.pos] == L'"') {
            s.word.text += L'"';
            ++s.pos;
            continue;
        }
        return SplitState::Bare;
    }
    s.unclosedQuote = true;
    return SplitState::Done;
}

using SplitFunction = SplitState (*)(Splitter&);
constexpr SplitFunction kSplitStates[] = {&Between, &Bare, &Quoted};

// ---------------------------------------------------------------------------
// The commands: how many words each takes, which options, and what else it checks.

using Check = std::wstring (*)(const ScenarioCommand&);

struct CommandSpec {
    const wchar_t* name;
    size_t minArgs;
    size_t maxArgs;
    std::initializer_list<const wchar_t*> keys;
    Check check;
};

bool OneOf(const std::wstring& value, std::initializer_list<const wchar_t*> allowed)
{
    for (const wchar_t* a : allowed)
        if (value == a)
            return true;
    return false;
}

std::wstring Choices(std::initializer_list<const wchar_t*> allowed)
{
    std::wstring text;
    for (const wchar_t* a : allowed)
        text += (text.empty() ? L"" : L", ") + std::wstring(a);
    return text;
}

std::wstring ExpectOneOf(const std::wstring& what, const std::wstring& value,
                         std::initializer_list<const wchar_t*> allowed)
{
    return OneOf(value, allowed) ? L"" : L"expected " + what + L" " + Choices(allowed) + L", not \"" + value + L"\"";
}

// Only the ASCII digits are digits: superscripts, fullwidth and other
// scripts' digits make a malformed line, never a number.
bool IsAsciiDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }

// The value of 1 to maxDigits ASCII digits, or nullopt.
std::optional<unsigned long> AsciiNumber(std::wstring_view text, size_t maxDigits)
{
    if (text.empty() || text.size() > maxDigits)
        return std::nullopt;
    unsigned long value = 0;
    for (wchar_t c : text) {
        if (!IsAsciiDigit(c))
            return std::nullopt;
        value = value * 10 + static_cast<unsigned long>(c - L'0');
    }
    return value;
}

bool IsCount(const std::wstring& text, unsigned long max)
{
    const std::optional<unsigned long> value = AsciiNumber(text, 9);
    return value && *value <= max;
}

std::wstring CheckFolder(const ScenarioCommand& c)
{
    std::wstring problem = ExpectOneOf(L"store=", c.Option(L"store", L"public"), {L"mailbox", L"public"});
    if (!problem.empty())
        return problem;
    for (const wchar_t* kind : Scenario::kFolderKinds)
        if (c.Option(L"kind", L"mail") == kind)
            return {};
    return L"expected kind= mail, calendar, contacts, tasks, journal, notes or post";
}

std::wstring CheckConnect(const ScenarioCommand& c)
{
    return ExpectOneOf(L"mode=", c.Option(L"mode", L"startup"), {L"startup", L"afterstartup"});
}

// alerts= is a comma-separated list of tray, sound, defaultsound and cursor.
std::wstring CheckWatch(const ScenarioCommand& c)
{
    std::wstring alerts = c.Option(L"alerts");
    for (size_t start = 0; start < alerts.size();) {
        size_t end = alerts.find(L',', start);
        if (end == std::wstring::npos)
            end = alerts.size();
        std::wstring problem =
            ExpectOneOf(L"alert", alerts.substr(start, end - start), {L"tray", L"sound", L"defaultsound", L"cursor"});
        if (!problem.empty())
            return problem;
        start = end + 1;
    }
    return {};
}

std::wstring CheckDeliver(const ScenarioCommand& c)
{
    std::wstring problem = ExpectOneOf(L"item kind", c.args[0], {L"mail", L"post"});
    if (problem.empty() && c.options.count(L"received") && !ParseScenarioDate(c.Option(L"received")))
        problem = L"expected received=YYYY-MM-DD HH:MM";
    if (problem.empty() && c.options.count(L"count") &&
        (!IsCount(c.Option(L"count"), 10000) || c.Option(L"count").find_first_not_of(L'0') == std::wstring::npos))
        problem = L"expected count=<items> (1 to 10000)";
    if (problem.empty() && c.options.count(L"limit") && !IsCount(c.Option(L"limit"), 10000))
        problem = L"expected limit=<items> (0 to 10000)";
    return problem;
}

std::wstring CheckQuit(const ScenarioCommand& c)
{
    return c.args.empty() ? L"" : ExpectOneOf(L"shutdown", c.args[0], {L"fast", L"classic"});
}

std::wstring CheckTray(const ScenarioCommand& c)
{
    return ExpectOneOf(L"tray action", c.args[0], {L"click", L"dblclick", L"rightclick", L"rightdblclick"});
}

std::wstring CheckExplorer(const ScenarioCommand& c) { return ExpectOneOf(L"explorer", c.args[0], {L"on", L"off"}); }

std::wstring CheckWait(const ScenarioCommand& c)
{
    return IsCount(c.args[0], 600000) ? L"" : L"expected milliseconds (0 to 600000)";
}

std::wstring CheckScreenshot(const ScenarioCommand& c)
{
    const std::wstring& name = c.args[0];
    if (name.find_first_of(L"\\/:*?\"<>|") != std::wstring::npos)
        return L"expected a file name without folder";
    return {};
}

std::wstring CheckLog(const ScenarioCommand& c)
{
    return !c.options.count(L"lines") || IsCount(c.Option(L"lines"), 10000) ? L"" : L"expected lines=<count>";
}

bool IsPair(const std::wstring& text, wchar_t separator, bool positive)
{
    const auto pair = ParseScenarioPair(text, separator);
    return pair && (!positive || (pair->first > 0 && pair->second > 0));
}

std::wstring CheckWindow(const ScenarioCommand& c)
{
    const std::wstring& action = c.args[1];
    const bool hasArgument = c.args.size() > 2;
    if (OneOf(action, {L"close", L"minimize", L"maximize", L"restore", L"state", L"rows"}))
        return hasArgument ? L"\"" + action + L"\" takes no argument" : L"";
    if (action == L"size")
        return hasArgument && IsPair(c.args[2], L'x', true) ? L"" : L"expected size <width>x<height>";
    if (action == L"move")
        return hasArgument && IsPair(c.args[2], L',', false) ? L"" : L"expected move <x>,<y>";
    if (action == L"press")
        return hasArgument ? L"" : L"expected press <caption or tooltip>";
    return ExpectOneOf(L"window action", action,
                       {L"close", L"minimize", L"maximize", L"restore", L"size", L"move", L"press", L"state", L"rows"});
}

// latency getfolderfromid=<ms> items=<ms>: at least one of them.
std::wstring CheckLatency(const ScenarioCommand& c)
{
    if (c.options.empty())
        return L"expected getfolderfromid=<milliseconds> and/or items=<milliseconds>";
    for (const auto& [key, value] : c.options)
        if (!IsCount(value, 600000))
            return L"expected " + key + L"=<milliseconds> (0 to 600000)";
    return {};
}

std::wstring CheckStore(const ScenarioCommand& c)
{
    std::wstring problem = ExpectOneOf(L"store", c.args[0], {L"mailbox", L"public"});
    return problem.empty() ? ExpectOneOf(L"store state", c.args[1], {L"offline", L"online"}) : problem;
}

std::wstring CheckTimers(const ScenarioCommand& c)
{
    return IsCount(c.args[0], 100000) && c.args[0] != L"0" ? L"" : L"expected how many times as fast (1 to 100000)";
}

std::wstring NoCheck(const ScenarioCommand&) { return {}; }

const CommandSpec kCommands[] = {
    {L"folder", 1, 1, {L"store", L"kind", L"parent"}, &CheckFolder},
    {L"watch", 1, 1, {L"alerts", L"soundfile", L"plugins"}, &CheckWatch},
    {L"connect", 1, 1, {L"mode"}, &CheckConnect},
    {L"disconnect", 0, 0, {}, &NoCheck},
    {L"release", 0, 0, {}, &NoCheck},
    {L"deliver", 2, 2, {L"subject", L"sender", L"received", L"count", L"limit"}, &CheckDeliver},
    {L"quit", 0, 1, {}, &CheckQuit},
    {L"properties", 1, 1, {}, &NoCheck},
    {L"page", 1, 1, {}, &NoCheck},
    {L"click", 1, 1, {}, &NoCheck},
    {L"apply", 0, 0, {}, &NoCheck},
    {L"ok", 0, 0, {}, &NoCheck},
    {L"cancel", 0, 0, {}, &NoCheck},
    {L"tray", 1, 1, {}, &CheckTray},
    {L"explorer", 1, 1, {}, &CheckExplorer},
    {L"delete", 1, 1, {}, &NoCheck},
    {L"wait", 1, 1, {}, &CheckWait},
    {L"screenshot", 1, 1, {}, &CheckScreenshot},
    {L"log", 1, 1, {L"lines"}, &CheckLog},
    {L"window", 2, 3, {}, &CheckWindow},
    {L"latency", 0, 0, {L"getfolderfromid", L"items"}, &CheckLatency},
    {L"store", 2, 2, {}, &CheckStore},
    {L"timing", 0, 0, {}, &NoCheck},
    {L"timers", 1, 1, {}, &CheckTimers},
};

const CommandSpec* FindSpec(const std::wstring& name)
{
    for (const CommandSpec& syntax : kCommands)
        if (name == syntax.name)
            return &syntax;
    return nullptr;
}

// Sorts the words after the command word into arguments and options; the
// problem with the line, or empty.
std::wstring Classify(const CommandSpec& syntax, const std::vector<Scenario::Word>& words, ScenarioCommand& command)
{
    for (size_t i = 1; i < words.size(); ++i) {
        const Scenario::Word& w = words[i];
        size_t eq = w.quoted || syntax.keys.size() == 0 ? std::wstring::npos : w.text.find(L'=');
        if (eq == std::wstring::npos) {
            command.args.push_back(w.text);
            continue;
        }
        std::wstring key = w.text.substr(0, eq);
        if (!OneOf(key, syntax.keys))
            return L"unknown option \"" + key + L"=\" (allowed: " + Choices(syntax.keys) + L")";
        command.options[key] = w.text.substr(eq + 1);
    }
    if (command.args.size() < syntax.minArgs || command.args.size() > syntax.maxArgs)
        return L"\"" + command.name + L"\" takes " + std::to_wstring(syntax.minArgs) +
               (syntax.maxArgs != syntax.minArgs ? L" to " + std::to_wstring(syntax.maxArgs) : L"") + L" argument" +
               (syntax.maxArgs == 1 ? L"" : L"s") + L", not " + std::to_wstring(command.args.size());
    return syntax.check(command);
}

} // namespace

std::optional<std::vector<Scenario::Word>> Scenario::Split(std::wstring_view line)
{
    Splitter s{line};
    SplitState state = SplitState::Between;
    while (state != SplitState::Done)
        state = kSplitStates[static_cast<int>(state)](s);
    if (s.unclosedQuote)
        return std::nullopt;
    return std::move(s.words);
}

Scenario Scenario::Parse(std::wstring_view script)
{
    Scenario scenario;
    int number = 0;
    size_t start = 0;
    while (start <= script.size()) {
        size_t end = script.find(L'\n', start);
        if (end == std::wstring_view::npos)
            end = script.size();
        std::wstring line(script.substr(start, end - start));
        start = end + 1;
        ++number;
        if (!line.empty() && line.back() == L'\r')
            line.pop_back();
        auto fail = [&](std::wstring message) {
            scenario.m_error = ScenarioError{number, line, std::move(message)};
            return scenario;
        };
        auto words = Split(line);
        if (!words)
            return fail(L"a quote is not closed");
        if (words->empty())
            continue;
        ScenarioCommand command{number, line, (*words)[0].text};
        const CommandSpec* syntax = FindSpec(command.name);
        if (!syntax) {
            // The commands for an add-in's page have their own syntax.
            auto pageProblem = ClassifyPageCommand(*words, command);
            if (!pageProblem)
                return fail(L"unknown command \"" + command.name + L"\"");
            if (!pageProblem->empty())
                return fail(*pageProblem);
            scenario.m_commands.push_back(std::move(command));
            continue;
        }
        std::wstring problem = Classify(*syntax, *words, command);
        if (!problem.empty())
            return fail(problem);
        scenario.m_commands.push_back(std::move(command));
    }
    return scenario;
}

// The date's days since 30 December 1899, the zero of automation dates.
namespace {

bool IsLeapYear(unsigned long year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

long DaysSinceDateZero(unsigned long year, unsigned long month, unsigned long day)
{
    // Days from 1 March of year 0 of the proleptic Gregorian calendar.
    const long y = static_cast<long>(month <= 2 ? year - 1 : year);
    const long m = static_cast<long>(month <= 2 ? month + 9 : month - 3);
    const long days = 365 * y + y / 4 - y / 100 + y / 400 + (153 * m + 2) / 5 + static_cast<long>(day) - 1;
    const long zero = 365 * 1899 + 1899 / 4 - 1899 / 100 + 1899 / 400 + (153 * 9 + 2) / 5 + 30 - 1;
    return days - zero;
}

} // namespace

std::optional<std::pair<int, int>> ParseScenarioPair(std::wstring_view text, wchar_t separator)
{
    const size_t at = text.find(separator);
    if (at == std::wstring_view::npos)
        return std::nullopt;
    auto number = [](std::wstring_view part) -> std::optional<int> {
        const bool negative = !part.empty() && part.front() == L'-';
        if (negative)
            part.remove_prefix(1);
        const std::optional<unsigned long> value = AsciiNumber(part, 6);
        if (!value)
            return std::nullopt;
        return negative ? -static_cast<int>(*value) : static_cast<int>(*value);
    };
    const auto a = number(text.substr(0, at));
    const auto b = number(text.substr(at + 1));
    if (!a || !b)
        return std::nullopt;
    return std::make_pair(*a, *b);
}

std::optional<double> ParseScenarioDate(std::wstring_view text)
{
    // YYYY-MM-DD, a blank or T, HH:MM; month, day and hour may have one digit.
    const size_t dash1 = text.find(L'-');
    const size_t dash2 = dash1 == std::wstring_view::npos ? dash1 : text.find(L'-', dash1 + 1);
    const size_t sep = text.find_first_of(L" T");
    const size_t colon = text.find(L':');
    if (dash2 == std::wstring_view::npos || sep == std::wstring_view::npos || colon == std::wstring_view::npos ||
        !(dash2 < sep && sep < colon))
        return std::nullopt;
    const auto year = AsciiNumber(text.substr(0, dash1), 4);
    const auto month = AsciiNumber(text.substr(dash1 + 1, dash2 - dash1 - 1), 2);
    const auto day = AsciiNumber(text.substr(dash2 + 1, sep - dash2 - 1), 2);
    const auto hour = AsciiNumber(text.substr(sep + 1, colon - sep - 1), 2);
    const auto minute = AsciiNumber(text.substr(colon + 1), 2);
    if (!year || !month || !day || !hour || !minute || *year < 100 || *month < 1 || *month > 12 || *day < 1 ||
        *hour > 23 || *minute > 59)
        return std::nullopt;
    static constexpr unsigned long kMonthDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const unsigned long monthDays = kMonthDays[*month - 1] + (*month == 2 && IsLeapYear(*year) ? 1 : 0);
    if (*day > monthDays)
        return std::nullopt;
    return static_cast<double>(DaysSinceDateZero(*year, *month, *day)) +
           static_cast<double>(*hour * 60 + *minute) / 1440.0;
}

} // namespace outlooksim
