// What the placement and size-limit modules need of a top-level window of
// the notifier: its handle, its name and its window state.
#pragma once

#include <windows.h>

#include <string>

class Form {
  public:
    enum WindowState { vbNormal = 0, vbMinimized = 1, vbMaximized = 2 };

    virtual HWND Hwnd() const noexcept = 0;
    // The form's name, as its placement key is derived from it ("frmNotify").
    virtual std::string Name() const = 0;
    // A hidden window keeps the state it is to be shown in.
    virtual int GetWindowState() const noexcept = 0;
    virtual void SetWindowState(int iState) noexcept = 0;

  protected:
    ~Form() = default;
};
