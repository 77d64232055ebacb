// A hidden top-level window of the add-in's tray window class, so that the
// host's "tray" command reaches the probe: a double-click calls the add-in.
#pragma once

#include <windows.h>

class ProbeAddin;

class ProbeTrayWindow {
  public:
    static constexpr const wchar_t* kClassName = L"corvane.frmTrayIcon";

    explicit ProbeTrayWindow(ProbeAddin* addin);
    ~ProbeTrayWindow();
    ProbeTrayWindow(const ProbeTrayWindow&) = delete;
    ProbeTrayWindow& operator=(const ProbeTrayWindow&) = delete;

  private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    ProbeAddin* m_addin;
    HWND m_hwnd = nullptr;
};
