// What a watched folder knows of the size of its Outlook item collection.
//
// Outlook raises no ItemAdd when many items arrive at once ("This event
// does not run when a large number of items are added to the folder at
// once", Microsoft's reference of Items.ItemAdd; more than 16 in Outlook
// 2000 to 2003). So the folder remembers Items.Count from the moment its
// collection is assigned, and compares it again on each ItemAdd and, at
// most once per interval, from the tray window's timer. When the count has
// grown by more than the events that came, the difference arrived
// unannounced: those items are the newest by ReceivedTime after the
// announced ones (Items.Sort "[ReceivedTime]" descending, positions after
// the announced, read back to front so that the oldest comes first).
// Items removed between two comparisons hide as many unannounced arrivals.
#pragma once

#include <windows.h>

#include <vector>

#include "com/ComRaii.h"

class ItemCountWatch {
  public:
    // Counting starts at the collection's size now. A collection whose
    // Count cannot be read leaves the watch off; the failure is thrown.
    void Start(IDispatch* olItems);
    void Stop() noexcept { m_bRunning = false; }
    bool Running() const noexcept { return m_bRunning; }
    // Running, and the interval since the last comparison has passed.
    bool Due(DWORD dwNow, DWORD dwInterval) const noexcept;

    // Compares the count with the one remembered; lAnnounced items arrived
    // with an ItemAdd since then (the newest). Returns the items that came
    // without one, oldest first. A failing call stops the watch and is thrown.
    std::vector<com::ComPtr<IDispatch>> Compare(IDispatch* olItems, long lAnnounced);

  private:
    long Count(IDispatch* olItems);

    bool m_bRunning = false;
    long m_lKnownCount = 0;
    DWORD m_dwLastCheck = 0;
};
