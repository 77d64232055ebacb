// A stand-in for rovane's registry seams, for as long as it lives: it
// records every key the library opens or creates with the access asked for,
// and passes the call on to the system, or refuses write access the way
// Windows refuses a standard user a key under HKEY_LOCAL_MACHINE. Run as
// root, Wine grants every right a key's handle is opened with, so only a
// stand-in can show what a user who may only read would meet.
//
// The header needs nothing of the library, so that clients that drive the
// library through its published interfaces can use it too.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class AccessRecorder {
  public:
    struct Call {
        bool create = false; // RegCreateKeyExA, else RegOpenKeyExA
        std::string subKey;  // as handed to the call, relative to its parent
        REGSAM access = 0;
        LONG result = ERROR_SUCCESS;
    };

    // The rights that write to a key.
    static constexpr REGSAM kWriteRights = KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

    // Records only.
    AccessRecorder();
    // Also refuses (ERROR_ACCESS_DENIED) every call that asks for a write
    // right on a key whose subkey text contains readOnly; the empty text
    // stands for every key.
    explicit AccessRecorder(std::string readOnly);
    ~AccessRecorder();
    AccessRecorder(const AccessRecorder&) = delete;
    AccessRecorder& operator=(const AccessRecorder&) = delete;

    const std::vector<Call>& Calls() const noexcept { return m_calls; }
    void Clear() noexcept { m_calls.clear(); }
    // How many calls were refused.
    size_t Refused() const noexcept;

  private:
    static LONG WINAPI Open(HKEY parent, LPCSTR subKey, DWORD options, REGSAM access, PHKEY result);
    static LONG WINAPI Create(HKEY parent, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options, REGSAM access,
                              LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition);
    bool Refuses(LPCSTR subKey, REGSAM access) const;

    bool m_refusing = false;
    std::string m_readOnly;
    std::vector<Call> m_calls;
};
