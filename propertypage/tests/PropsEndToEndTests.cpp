// The page in the stand-in's Properties dialog, created by the add-in.
#include <gtest/gtest.h>

#include "HostRun.h"
