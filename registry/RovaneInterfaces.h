// The interfaces generated from rovane.idl. widl writes the IDL's default
// string arguments as C++ default arguments of type BSTR (L""), which C++
// only accepts as a deprecated conversion.
#pragma once

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wwrite-strings"
#include "rovane.h"
#pragma GCC diagnostic pop
