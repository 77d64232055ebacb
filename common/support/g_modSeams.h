// The system calls of the shared support modules whose effect a test must
// observe or fix go through this table. It holds the real functions; a test
// may swap in its own and restore the table afterwards.
#pragma once

#include <windows.h>

struct SupportSeams {
    // The clock of the log records.
    void(WINAPI* GetLocalTime)(LPSYSTEMTIME lpSystemTime);
    // The computer and user names of the detailed log records.
    BOOL(WINAPI* GetComputerNameA)(LPSTR lpBuffer, LPDWORD nSize);
    BOOL(WINAPI* GetUserNameA)(LPSTR lpBuffer, LPDWORD pcbBuffer);
    // Called once the error form is on screen, just before its modal loop
    // starts. Null in the real table. A test drives the real window from
    // here (press its buttons, read captions and sizes); once the form is
    // unloaded, the modal loop ends without waiting for a message.
    void (*ErrorFormShown)(HWND hwndForm);
    // Every write to the log file.
    BOOL(WINAPI* WriteFile)
    (HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite, LPDWORD lpNumberOfBytesWritten,
     LPOVERLAPPED lpOverlapped);
};

extern SupportSeams g_supportSeams;

// The table as it is at start: the real system calls.
SupportSeams RealSupportSeams() noexcept;
