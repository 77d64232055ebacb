// The user-interface thread's message loop, run in steps between the
// host's actions: everything waiting is processed, or messages are
// processed for a while (timers fire, windows paint). Modeless dialogs
// register for their keyboard handling and for a look after each step.
#pragma once

#include <windows.h>

namespace outlooksim {

class ModelessWindow {
  public:
    // True if the message was the dialog's and has been handled.
    virtual bool PreTranslate(MSG& msg) noexcept = 0;
    // After each batch of messages (a dialog that has ended goes away here).
    virtual void AfterMessages() noexcept = 0;

  protected:
    ~ModelessWindow() = default;
};

class MessagePump {
  public:
    static void Register(ModelessWindow* window);
    static void Unregister(ModelessWindow* window) noexcept;

    // Processes every message waiting in this thread's queue.
    static void PumpPending() noexcept;
    // Processes messages for the given time.
    static void PumpFor(DWORD milliseconds) noexcept;

    // The longest time one dispatched message took since the last reset
    // (seconds): how long the user-interface thread was blocked at most.
    static double LongestDispatch() noexcept;
    static void ResetLongestDispatch() noexcept;
};

} // namespace outlooksim
