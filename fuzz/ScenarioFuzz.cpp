// The scenario parser fed with any text (the input's bytes taken as UTF-16
// code units, so that every character a script can hold is reachable): it
// accepts the script or names its first malformed line, and never throws.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "Scenario.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::wstring script;
    script.reserve(size / 2);
    for (std::size_t i = 0; i + 1 < size; i += 2)
        script += static_cast<wchar_t>(data[i] | data[i + 1] << 8);

    const outlooksim::Scenario scenario = outlooksim::Scenario::Parse(script);
    if (scenario.Ok()) {
        for (const outlooksim::ScenarioCommand& c : scenario.Commands())
            if (c.line < 1 || c.name.empty())
                std::abort();
    } else if (scenario.Error()->line < 1) {
        std::abort();
    }
    outlooksim::ParseScenarioDate(script);
    return 0;
}
