// The base of every window the product creates: one object per window.
//
// The object is bound to its window at WM_NCCREATE (it travels as the
// creation parameter) and unbound at WM_NCDESTROY, so every message in
// between reaches it, and none after. Each window class is registered once
// per module load. Every message runs inside the guard: an exception a
// handler lets out is logged and the message gets the default handling, so
// no exception leaves a window procedure into the host's message loop.
//
// The window is laid out at its own DPI (ui::WindowDpi) when it is made; on
// WM_DPICHANGED (a top-level window moved to a monitor with another DPI)
// the base re-reads the DPI, lets the window lay itself out again and moves
// it to the rectangle the system suggests; a child window hears of the
// change by WM_DPICHANGED_AFTERPARENT and is laid out again in place.
// Source: Microsoft documentation, "WM_DPICHANGED message" and
// "WM_DPICHANGED_AFTERPARENT message".
#pragma once

#include <windows.h>

#include "Dpi.h"
#include "Twips.h"
#include "com/ComError.h"

namespace ui {

// A window class of the module: its name, and the class background
// (COLOR_BTNFACE + 1 for a form, null for none).
struct WindowClass {
    const wchar_t* name;
    HBRUSH background = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
};

class Window {
  public:
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    HWND Hwnd() const noexcept { return m_hWnd; }
    const Twips& Scale() const noexcept { return m_twips; }

    // Registers the window class of the module unless it already is; a
    // class left behind by an earlier load of the module is replaced.
    static bool RegisterOnce(const WindowClass& windowClass) noexcept;

  protected:
    Window() noexcept = default;
    // A window still there is unbound first, so no message reaches a half-destroyed object.
    virtual ~Window();

    // Creates this object's window (registering its class first). The
    // rectangle is in the parent's client coordinates, or the screen's for
    // a top-level window. Null if the window cannot be created.
    HWND CreateFor(const WindowClass& windowClass, DWORD exStyle, const wchar_t* caption, DWORD style, const RECT& rect,
                   HWND parent, int id = 0) noexcept;

    // One message of the window. It may throw: the guard catches.
    virtual LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) = 0;
    // The window's DPI changed (Scale() has the new one): make the fonts
    // again and place the controls. A top-level window is then moved to
    // the suggested rectangle.
    virtual void OnDpiChanged() {}
    // After WM_NCDESTROY: the window is gone and the object unbound.
    virtual void OnDestroyed() noexcept {}
    // A handler failed; the default writes an Error record to the
    // component's log.
    virtual void OnMessageFailed(UINT msg, const com::ComError& error) noexcept;

    LRESULT Default(UINT msg, WPARAM wParam, LPARAM lParam) noexcept
    {
        return ::DefWindowProcW(m_hWnd, msg, wParam, lParam);
    }

  private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT Dispatch(UINT msg, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT DpiChanged(UINT msg, WPARAM wParam, LPARAM lParam);

    HWND m_hWnd = nullptr;
    Twips m_twips{kDefaultDpi, kDefaultDpi};
};

} // namespace ui
