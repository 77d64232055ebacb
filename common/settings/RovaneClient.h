// The registry library's published interfaces, for components that drive
// it through COM. The generated header gives default BSTR arguments as
// string literals.
#pragma once

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wwrite-strings"
#include "rovane.h"
#pragma GCC diagnostic pop
