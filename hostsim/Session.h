// What all objects of one Outlook object model share: the trace, the
// stores with their folders, the application's one NameSpace and its
// explorer. Every COM object of the model holds the session; the world
// closes it when it goes, which lets go of the objects the session holds
// (objects still referenced by a client keep working on an empty model).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Store.h"
#include "Trace.h"
#include "com/ComRaii.h"

namespace outlooksim {

class Application;
class NameSpace;
class Explorer;
class Folder;

// The outcome of looking a folder up by its identifiers.
struct FolderLookup {
    Folder* folder = nullptr;
    HRESULT hr = S_OK;
    std::wstring description;
};

class Session {
  public:
    explicit Session(bool echoTrace);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Trace& GetTrace() noexcept { return m_trace; }

    Store& Mailbox() noexcept { return *m_stores[0]; }
    Store& PublicStore() noexcept { return *m_stores[1]; }
    const std::vector<std::unique_ptr<Store>>& Stores() const noexcept { return m_stores; }
    Store* FindStore(std::wstring_view storeId) const noexcept;

    // Folder lookup as GetFolderFromID does it: in the given store, or in
    // the default store when no store identifier is given.
    FolderLookup Lookup(std::wstring_view entryId, std::wstring_view storeId) const;
    Folder* FindByName(std::wstring_view name) const noexcept;
    uint64_t NextFolderNumber() noexcept { return m_nextFolderNumber++; }

    // The application's objects (set by the world).
    Application* App() const noexcept { return m_application.Get(); }
    NameSpace* Mapi() const noexcept { return m_nameSpace.Get(); }
    Explorer* ActiveExplorer() const noexcept { return m_explorer.Get(); }
    void SetApplication(Application* app, NameSpace* ns);
    void SetExplorer(Explorer* explorer);

    // How long the server takes: each GetFolderFromID and each Items of a
    // folder waits this long before it answers (milliseconds; 0 by default).
    struct Latency {
        DWORD getFolderFromId = 0;
        DWORD items = 0;
    };
    const Latency& ServerLatency() const noexcept { return m_latency; }
    void SetLatency(const Latency& latency) noexcept { m_latency = latency; }

    // Whether the explorer has a visible window (the host program) or not (tests).
    bool ShowWindows() const noexcept { return m_showWindows; }
    void SetShowWindows(bool show) noexcept { m_showWindows = show; }

    // Something the explorer window shows has changed.
    void Changed();

    // Lets go of every object the session holds.
    void Close() noexcept;

    // Error descriptions, as Outlook words them.
    static constexpr const wchar_t* kNotFound = L"Der Vorgang ist fehlgeschlagen. Ein Objekt wurde nicht gefunden.";
    static constexpr const wchar_t* kInvalidEntryId =
        L"Der Vorgang ist fehlgeschlagen. Die Eintrags-ID ist ung\u00FCltig.";
    static constexpr const wchar_t* kStoreUnavailable =
        L"Der Vorgang ist fehlgeschlagen. Der Informationsspeicher ist nicht verf\u00FCgbar.";
    static constexpr const wchar_t* kInvalidArgument =
        L"Der Vorgang konnte nicht ausgef\u00FChrt werden. Mindestens ein Parameterwert ist ung\u00FCltig.";
    // A store that does not answer. Outlook passes MAPI's code on in the
    // call's exception information, as it does MAPI_E_NOT_FOUND:
    // MAPI_E_NETWORK_ERROR, 0x80040115 in the Windows SDK's mapicode.h,
    // the code Outlook reports when it cannot reach the Exchange server.
    static constexpr const wchar_t* kNetworkError =
        L"Netzwerkprobleme verhindern die Verbindung mit Microsoft Exchange.";
    static constexpr HRESULT kMapiNetworkError = static_cast<HRESULT>(0x80040115);
    static constexpr HRESULT kMapiNotFound = static_cast<HRESULT>(0x8004010F);
    static constexpr HRESULT kMapiInvalidEntryId = static_cast<HRESULT>(0x80040107);

  private:
    Trace m_trace;
    std::vector<std::unique_ptr<Store>> m_stores;
    uint64_t m_nextFolderNumber = 0x10;
    bool m_showWindows = false;
    Latency m_latency;
    com::ComPtr<Application> m_application;
    com::ComPtr<NameSpace> m_nameSpace;
    com::ComPtr<Explorer> m_explorer;
};

} // namespace outlooksim
