// The scenarios built into corvane-host: the demo, which it runs when it is
// given none, and the tour of what real Outlook does that the demo spares
// the add-in (slow and offline stores, bursts, the fast shutdown).
#pragma once

#include <string_view>

namespace outlooksim {

const wchar_t* SampleScenario() noexcept;
const wchar_t* RealOutlookScenario() noexcept;
// The tours the allocation failures are run against (corvane-host
// --fail-alloc): twenty watched folders with plug-ins, items, a page applied,
// then Outlook closes the classic way or fast.
const wchar_t* AllocationScenario() noexcept;
const wchar_t* AllocationQuitScenario() noexcept;

struct BuiltInScenario {
    const wchar_t* name;  // as --scenario names it
    const wchar_t* title; // as the trace names it
    const wchar_t* text;
};

// The built-in scenario of that name, or null.
const BuiltInScenario* FindBuiltInScenario(std::wstring_view name) noexcept;

} // namespace outlooksim
