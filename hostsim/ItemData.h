// The properties of a delivered item, shared by the item object (which the
// add-in may change through Subject) and the folder that lists it.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>

namespace outlooksim {

struct ItemData {
    std::wstring subject;
    std::wstring sender;
    DATE received = 0; // 0: stamped with the local time on delivery
};

} // namespace outlooksim
