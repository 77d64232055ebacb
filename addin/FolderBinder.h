// Binds the folders of the configuration file after the add-in's start-up:
// one folder per message posted to the tray window, so that Outlook's own
// messages are handled between two folders; and a folder whose store could
// not be reached is tried again on the tray window's timer, at growing
// intervals, until it binds.
//
// Outlook times an add-in's creation, OnConnection and OnStartupComplete and
// disables a slow one ("Performance criteria for keeping add-ins enabled",
// Outlook 2013 and later, Microsoft Learn); GetFolderFromID on a public
// folder store is a round trip to its server.
#pragma once

#include <windows.h>

#include <deque>
#include <memory>
#include <vector>

#include "NotifyFolder.h"
#include "com/ComRaii.h"
#include "frmTrayIcon.h"

class NotifyFolders;

class FolderBinder final : private frmTrayIconMessages {
  public:
    // The message that binds the next folder, and the retry timer's id.
    static constexpr UINT kBindMessage = WM_APP + 1;
    static constexpr UINT_PTR kRetryTimer = 1;

    FolderBinder(NotifyFolders* nfFolders, std::shared_ptr<frmTrayIcon> window);
    ~FolderBinder();
    FolderBinder(const FolderBinder&) = delete;
    FolderBinder& operator=(const FolderBinder&) = delete;

    // The folder binds later, after the folders queued before it. Without
    // a window to post to it binds at once.
    void Queue(NotifyFolder* nf);
    // No more binding: the queue and the folders waiting for their store
    // are let go of, the timer stops.
    void Stop() noexcept;

    size_t QueuedCount() const noexcept { return m_queue.size(); }
    size_t WaitingCount() const noexcept { return m_waiting.size(); }
    // The interval before the given retry (0 the first): 15 s, doubled
    // each time, at most 5 minutes.
    static UINT RetryInterval(unsigned uRetry) noexcept;

  private:
    struct Entry {
        com::ComPtr<NotifyFolder> folder;
        bool bRetry; // it failed before: its Warning record is written
    };

    bool TrayWindowMessage(UINT uMsg, WPARAM wParam, LPARAM lParam) noexcept override;
    void BindNext() noexcept;
    void Bind(const Entry& entry) noexcept;
    void RetryWaiting() noexcept;
    void PostNext() noexcept;
    void ScheduleRetry() noexcept;
    HWND Window() const noexcept;

    com::ComPtr<NotifyFolders> m_nfFolders;
    std::shared_ptr<frmTrayIcon> m_window;
    std::deque<Entry> m_queue;
    std::vector<com::ComPtr<NotifyFolder>> m_waiting; // their store did not answer
    unsigned m_uRetry = 0;                            // retries of the waiting folders so far
    bool m_bPosted = false;
    bool m_bTimer = false;
};
