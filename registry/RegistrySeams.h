// The registry calls that open and create keys go through this table, so
// that a test can see the access rights the library asks for and refuse
// some of them, as Windows refuses a standard user write access to a
// machine key. It holds the real functions; a test may swap in its own and
// restore the table afterwards.
#pragma once

#include <windows.h>

struct RegistrySeams {
    LONG(WINAPI* RegOpenKeyExA)(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult);
    LONG(WINAPI* RegCreateKeyExA)
    (HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions, REGSAM samDesired,
     LPSECURITY_ATTRIBUTES lpSecurityAttributes, PHKEY phkResult, LPDWORD lpdwDisposition);
};

extern RegistrySeams g_registrySeams;

// The table as it is at start: the real system calls.
RegistrySeams RealRegistrySeams() noexcept;
