// The scenario corvane-host runs when it is given none: the demo.
#pragma once

namespace outlooksim {

const wchar_t* SampleScenario() noexcept;

} // namespace outlooksim
