// A 64-bit millisecond count made from the 32-bit GetTickCount, for Windows
// before Vista, which has no GetTickCount64 (see TickCount64.cpp).
#pragma once

#include <windows.h>

namespace com {

// Readings up to this much older than the last one come from threads that
// read the clock just before another one recorded its reading.
constexpr DWORD kStaleTickReading = 60 * 1000;

// The 64-bit count for the GetTickCount reading `now`, given the last
// 64-bit count `last` (0: none yet). Every other step forward is time
// that has passed, also across the 32-bit count's wrap after 49.7 days, so
// the count stays right as long as the clock is read once in that time.
constexpr ULONGLONG ExtendTickCount(ULONGLONG last, DWORD now) noexcept
{
    if (last == 0)
        return now;
    const DWORD lastLow = static_cast<DWORD>(last);
    const DWORD back = lastLow - now;
    if (back != 0 && back <= kStaleTickReading)
        return last - back;
    return last + static_cast<DWORD>(now - lastLow);
}

} // namespace com
