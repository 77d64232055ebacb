#include "FolderBinder.h"

#include <algorithm>

#include "AddinErrors.h"
#include "AddinSeams.h"
#include "NotifyFolders.h"
#include "g_modDebug.h"

namespace {

constexpr const char kSource[] = "FolderBinder::BindNext()";
constexpr UINT kFirstRetry = 15 * 1000;
constexpr UINT kLongestRetry = 5 * 60 * 1000;

// MAPI's codes (mapicode.h of the Windows SDK) as Outlook's object model
// passes them on in the exception information of a failed call.
constexpr HRESULT kMapiNotFound = static_cast<HRESULT>(0x8004010F);       // MAPI_E_NOT_FOUND
constexpr HRESULT kMapiInvalidEntryId = static_cast<HRESULT>(0x80040107); // MAPI_E_INVALID_ENTRYID

// Whether a failed lookup may work later. A folder that its store reports
// as not there, an identifier the store rejects, and a host without
// Outlook's object model stay as they are; any other failure is the store
// not answering now (offline, a network that is not up yet, a server that
// is down: MAPI_E_NETWORK_ERROR, MAPI_E_FAILONEPROVIDER, MAPI_E_LOGON_FAILED
// and the like), and the folder is tried again.
bool MayWorkLater(HRESULT hr) noexcept
{
    return FAILED(hr) && hr != kMapiNotFound && hr != kMapiInvalidEntryId && hr != E_POINTER && hr != E_NOINTERFACE &&
           HRESULT_FACILITY(hr) != FACILITY_DISPATCH;
}

} // namespace

FolderBinder::FolderBinder(NotifyFolders* nfFolders, std::shared_ptr<frmTrayIcon> window)
    : m_nfFolders(nfFolders), m_window(std::move(window))
{
    if (m_window)
        m_window->AddMessageHandler(this);
}

FolderBinder::~FolderBinder()
{
    Stop();
    if (m_window)
        m_window->RemoveMessageHandler(this);
}

UINT FolderBinder::RetryInterval(unsigned uRetry) noexcept
{
    UINT interval = kFirstRetry;
    for (unsigned i = 0; i < uRetry && interval < kLongestRetry; ++i)
        interval *= 2;
    return std::min(interval, kLongestRetry);
}

HWND FolderBinder::Window() const noexcept { return m_window ? m_window->Hwnd() : nullptr; }

void FolderBinder::Queue(NotifyFolder* nf)
{
    if (!nf)
        return;
    if (!Window()) {
        Bind(Entry{nf, false});
        return;
    }
    m_queue.push_back(Entry{nf, false});
    PostNext();
}

void FolderBinder::Stop() noexcept
{
    if (m_bTimer && Window())
        ::KillTimer(Window(), kRetryTimer);
    m_bTimer = false;
    m_queue.clear();
    m_waiting.clear();
}

void FolderBinder::PostNext() noexcept
{
    if (m_bPosted || m_queue.empty())
        return;
    m_bPosted = Window() && ::PostMessageW(Window(), kBindMessage, 0, 0);
}

bool FolderBinder::TrayWindowMessage(UINT uMsg, WPARAM wParam, LPARAM) noexcept
{
    if (uMsg == kBindMessage) {
        BindNext();
        return true;
    }
    if (uMsg == WM_TIMER && wParam == kRetryTimer) {
        RetryWaiting();
        return true;
    }
    return false;
}

// One folder per message; the next message is posted before this one ends.
void FolderBinder::BindNext() noexcept
{
    m_bPosted = false;
    if (!m_queue.empty()) {
        const Entry entry = std::move(m_queue.front());
        m_queue.pop_front();
        Bind(entry);
    }
    if (!m_queue.empty())
        PostNext();
    else
        ScheduleRetry();
}

// The folder's records are built from its texts; a record that cannot be
// built for want of memory is left out, the binding goes on without it.
void FolderBinder::Bind(const Entry& entry) noexcept
{
    NotifyFolder* nf = entry.folder.Get();
    // A folder that the user has stopped watching meanwhile is not bound.
    if (!m_nfFolders || !m_nfFolders->Holds(nf) || nf->Bound())
        return;
    std::wstring sDescription;
    const HRESULT hr = nf->Bind(sDescription);
    const auto folderText = [nf] { return com::Narrow(nf->EntryId()) + " (" + com::Narrow(nf->FriendlyName()) + ")"; };
    if (hr == S_OK) {
        nf->StartPlugins();
        if (entry.bRetry)
            RunSkipped([&] {
                Inform("Connected to outlook folder " + folderText() + ": its store can be reached again", kSource);
            });
        return;
    }
    if (MayWorkLater(hr)) {
        // One record when it first fails, none for the retries.
        if (!entry.bRetry)
            RunSkipped([&] {
                WriteLog(LogWarning,
                         "Could not connect to outlook folder " + folderText() +
                             ": its store cannot be reached; it is tried again until it answers",
                         kSource, hr, com::Narrow(sDescription), false);
            });
        // Without room in the list the folder stays unbound until the next start.
        RunReported("FolderBinder::Bind()", [&] { m_waiting.emplace_back(nf); });
        return;
    }
    // Gone from a store that answers: logged as at a connection, the folder
    // stays unbound, its plug-ins run and it is saved like any other.
    RunSkipped([&] {
        if (FAILED(hr))
            ReportFailure("NotifyFolder::ConnectOutlookFolder()", hr, com::Narrow(sDescription));
        Warn("Could not connect to outlook folder " + com::Narrow(nf->EntryId()), "NotifyFolders::Add()");
    });
    nf->StartPlugins();
}

// The waiting folders are tried again on the tray window's timer. Outlook
// raises no event when a store can be reached again: the namespace's events
// are OptionsPagesAdd and AutoDiscoverComplete ("NameSpace Events
// (Outlook)"), the Stores collection's are StoreAdd and BeforeStoreRemove
// ("Stores Events (Outlook)", Outlook 2007), which tell of stores added to
// or removed from the profile, not of one coming back online; the state of
// the connection can only be read (NameSpace.ExchangeConnectionMode,
// Outlook 2003). So the timer is the only thing that tells.
void FolderBinder::ScheduleRetry() noexcept
{
    if (m_waiting.empty()) {
        m_uRetry = 0;
        return;
    }
    if (m_bTimer || !Window())
        return;
    m_bTimer = g_addinSeams.SetTimer(Window(), kRetryTimer, RetryInterval(m_uRetry), nullptr) != 0;
}

void FolderBinder::RetryWaiting() noexcept
{
    // The timer fires once for each retry.
    if (Window())
        ::KillTimer(Window(), kRetryTimer);
    m_bTimer = false;
    ++m_uRetry;
    // The folders that do not find room in the queue wait for the next retry.
    size_t queued = 0;
    RunReported("FolderBinder::RetryWaiting()", [&] {
        for (; queued < m_waiting.size(); ++queued)
            m_queue.push_back(Entry{m_waiting[queued], true});
    });
    m_waiting.erase(m_waiting.begin(), m_waiting.begin() + static_cast<std::ptrdiff_t>(queued));
    PostNext();
    if (m_queue.empty())
        ScheduleRetry();
}
