// A component of its own: writes one detailed record to its log file.
#include <windows.h>

#include "g_modDebug.h"

extern "C" __attribute__((dllexport)) void ProbeWriteLog(long lType, const char* sMessage)
{
    WriteLog(lType, sMessage ? sMessage : "", "SupportProbe::WriteLog()", 0, "unknown", true);
}
