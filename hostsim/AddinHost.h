// Loads a COM add-in the way Outlook does: created in process by its
// ProgID, then driven through IDTExtensibility2 on the user-interface
// thread - OnConnection and OnStartupComplete at start, OnBeginShutdown and
// OnDisconnection at the end, then released. Failures are traced, never
// fatal.
#pragma once

#include <string>

#include "com/ComRaii.h"
#include "outlook.h"

namespace outlooksim {

class Trace;

class AddinHost {
  public:
    AddinHost(Trace& trace, IDispatch* application);
    ~AddinHost();
    AddinHost(const AddinHost&) = delete;
    AddinHost& operator=(const AddinHost&) = delete;

    // Creates the add-in and connects it; false if it could not be created,
    // does not implement IDTExtensibility2 or fails OnConnection (then it is
    // released again).
    bool Connect(const std::wstring& progId, ext_ConnectMode mode = ext_cm_Startup);
    // OnBeginShutdown and OnDisconnection(ext_dm_HostShutdown).
    void Disconnect();
    // Lets go of the add-in object (disconnecting first if still connected).
    void Release();
    // Lets go of the add-in object without OnBeginShutdown or
    // OnDisconnection, as Outlook 2010 and later do when the user closes
    // Outlook (after ApplicationEvents.Quit).
    void ReleaseWithoutDisconnect();

    bool Connected() const noexcept { return m_connected; }

    // What Outlook times of an add-in's start-up (seconds): its creation,
    // OnConnection and OnStartupComplete, each on its own.
    struct StartupTimes {
        double creation = 0, connection = 0, startupComplete = 0;
        double Total() const noexcept { return creation + connection + startupComplete; }
    };
    const StartupTimes& Times() const noexcept { return m_times; }

    // The library registered as the in-process server of a ProgID, or empty.
    static std::wstring LibraryPath(const std::wstring& progId);
    IUnknown* Object() const noexcept { return m_addin.Get(); }
    const std::wstring& ProgId() const noexcept { return m_progId; }

  private:
    void Step(const wchar_t* name, HRESULT hr);

    Trace& m_trace;
    com::ComPtr<IDispatch> m_application;
    com::ComPtr<_IDTExtensibility2> m_addin;
    std::wstring m_progId;
    bool m_connected = false;
    StartupTimes m_times;
};

} // namespace outlooksim
