// Seconds on the performance counter, for timings.
#pragma once

#include <windows.h>

namespace com {

inline double ClockSeconds() noexcept
{
    LARGE_INTEGER counter, frequency;
    ::QueryPerformanceCounter(&counter);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

} // namespace com
