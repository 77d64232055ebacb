// Swaps the add-in's system-call table for recorders for the life of the
// object, so a test sees the calls and their order; restores it afterwards.
#pragma once

#include <string>
#include <vector>

#include "AddinSeams.h"

class SeamRecorder {
  public:
    struct ShellCall {
        DWORD message;
        NOTIFYICONDATAW data;
    };

    SeamRecorder();
    ~SeamRecorder();
    SeamRecorder(const SeamRecorder&) = delete;
    SeamRecorder& operator=(const SeamRecorder&) = delete;

    // Every recorded call as one line, in order ("PlaySoundW MailBeep 0x10001",
    // "Sleep 500", ...); texts of the wide calls in UTF-8.
    static std::vector<std::string> calls;
    static std::vector<ShellCall> shellCalls;
    // What the recorders answer.
    static BOOL shellResult;
    static HCURSOR loadCursorResult; // null: call the real LoadCursorA
    static HICON copyIconResult;     // null: call the real CopyIcon

  private:
    AddinSeams m_saved;
};
