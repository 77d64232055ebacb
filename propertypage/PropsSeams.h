// The page's system calls whose effect a test must see or answer: the
// open-file dialog of the sound file chooser and its error message box.
// The table holds the real functions; a test may swap in its own and
// restore the table afterwards.
#pragma once

#include <windows.h>
#include <commdlg.h>

struct PropsSeams {
    BOOL(WINAPI* GetOpenFileNameA)(LPOPENFILENAMEA lpofn);
    int(WINAPI* MessageBoxA)(HWND hWnd, LPCSTR lpText, LPCSTR lpCaption, UINT uType);
};

extern PropsSeams g_propsSeams;

// The table as it is at start: the real system calls.
PropsSeams RealPropsSeams() noexcept;
