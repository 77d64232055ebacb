// The words of the scenario commands that use an add-in's page (tab,
// check, uncheck, select, type, filedialog, key, pluginpath, pagestate,
// sheet),
// checked without Windows: the scenario parser and its fuzz target use it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "Scenario.h"

namespace outlooksim {

// Nullopt if the line is not a page command; otherwise the problem with
// it, empty when there is none (the words are then sorted into the command).
std::optional<std::wstring> ClassifyPageCommand(const std::vector<Scenario::Word>& words, ScenarioCommand& command);

} // namespace outlooksim
