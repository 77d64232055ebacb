#include "PageCommandSyntax.h"

#include <algorithm>
#include <cwctype>

namespace outlooksim {

namespace {

struct PageSyntax {
    const wchar_t* name;
    size_t minArgs;
    size_t maxArgs;
};

constexpr PageSyntax kPageCommands[] = {
    {L"tab", 1, 1},        {L"check", 1, 1}, {L"uncheck", 1, 1},    {L"select", 1, 1},    {L"type", 1, 1},
    {L"filedialog", 1, 2}, {L"key", 1, 1},   {L"pluginpath", 1, 1}, {L"pagestate", 0, 0}, {L"sheet", 1, 2},
};

// sheet site=client|container keys=accelerator|dialog
constexpr const wchar_t* kSheetChoices[] = {L"site=client", L"site=container", L"keys=accelerator", L"keys=dialog"};

constexpr const wchar_t* kKeys[] = {L"tab", L"shift+tab", L"space", L"enter"};

} // namespace

std::optional<std::wstring> ClassifyPageCommand(const std::vector<Scenario::Word>& words, ScenarioCommand& command)
{
    const PageSyntax* syntax = nullptr;
    for (const PageSyntax& s : kPageCommands)
        if (command.name == s.name)
            syntax = &s;
    if (!syntax)
        return std::nullopt;
    for (size_t i = 1; i < words.size(); ++i)
        command.args.push_back(words[i].text);
    if (command.args.size() < syntax->minArgs || command.args.size() > syntax->maxArgs)
        return L"\"" + command.name + L"\" takes " + std::to_wstring(syntax->minArgs) +
               (syntax->maxArgs != syntax->minArgs ? L" to " + std::to_wstring(syntax->maxArgs) : L"") + L" argument" +
               (syntax->maxArgs == 1 ? L"" : L"s") + L", not " + std::to_wstring(command.args.size());
    if (command.name == L"filedialog") {
        const std::wstring& how = command.args[0];
        if (how == L"answer" && command.args.size() == 2)
            return L"";
        if (how == L"cancel" && command.args.size() == 1)
            return L"";
        return std::wstring(L"expected filedialog answer <file> or filedialog cancel");
    }
    if (command.name == L"sheet") {
        for (const std::wstring& choice : command.args)
            if (std::find(std::begin(kSheetChoices), std::end(kSheetChoices), choice) == std::end(kSheetChoices))
                return std::wstring(L"expected sheet [site=client|container] [keys=accelerator|dialog]");
        return L"";
    }
    if (command.name == L"key") {
        std::wstring key = command.args[0];
        for (const wchar_t* k : kKeys)
            if (key == k)
                return L"";
        if (key.size() == 5 && key.rfind(L"alt+", 0) == 0 && std::iswalnum(key[4]))
            return L"";
        return std::wstring(L"expected key tab, shift+tab, space, enter or alt+<letter>");
    }
    return L"";
}

} // namespace outlooksim
