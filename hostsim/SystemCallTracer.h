// Shows what an add-in asks of the system: the host loads the add-in's
// library before creating its object and routes the library's imports of
// the notification-area, sound, cursor and wait functions through wrappers
// that write a "system: ..." trace line and then call the real function.
// (Timers of the tray window may be made to run faster, so that a scenario
// sees a retry of minutes in a moment.)
// The add-in itself is not changed; it sees the system as always.
#pragma once

#include <string>

#include "Trace.h"

namespace outlooksim {

class SystemCallTracer {
  public:
    // Loads the in-process server registered for progId and patches its
    // import table. False if the library cannot be found or loaded.
    static bool Attach(Trace& trace, const std::wstring& progId);
    // Stops tracing (the wrappers stay in place and only call through).
    static void Detach() noexcept;
    // The timers the add-in sets on its tray window run this many times as
    // fast (1: in real time); the trace shows the interval asked for.
    static void SetTimerDivisor(unsigned divisor) noexcept;
    // The add-in's waits a user would notice (100 ms and more) return at
    // once: for runs that repeat a scenario thousands of times.
    static void SkipLongWaits(bool skip) noexcept;
};

} // namespace outlooksim
