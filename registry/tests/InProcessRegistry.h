// Serves rovane.Registry from this program's own copy of the library for as
// long as the object lives: a client that creates it by its ProgID (the
// settings wrapper does) then runs against this program's registry seams
// instead of those of the registered rovane.dll. A class object registered
// with CoRegisterClassObject is what later CoGetClassObject calls for its
// CLSID get ("Registering a Running EXE Server", Microsoft documentation).
#pragma once

#include <windows.h>

class InProcessRegistry
{
  public:
    // COM must be initialized on the calling thread.
    InProcessRegistry();
    ~InProcessRegistry();
    InProcessRegistry(const InProcessRegistry&) = delete;
    InProcessRegistry& operator=(const InProcessRegistry&) = delete;

    // The result of the registration.
    HRESULT Result() const noexcept { return m_result; }

  private:
    HRESULT m_result = E_FAIL;
    DWORD m_cookie = 0;
};
