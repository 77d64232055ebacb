#include "SampleScenario.h"

namespace outlooksim {

// What real Outlook does that the demo spares the add-in: public folders on
// a server far away, a store that is not reachable when Outlook starts, a
// burst of items that raises no ItemAdd, and the fast shutdown of Outlook
// 2010 and later.
const wchar_t* RealOutlookScenario() noexcept
{
    return LR"(# Four watched public folders and the inbox; the notifier lists Support's items.
folder Support
folder Vertrieb
folder Einkauf
folder Projekte
watch Posteingang alerts=tray
watch Support alerts=tray,defaultsound plugins=ZarqNotifier
watch Vertrieb alerts=tray
watch Einkauf alerts=tray
watch Projekte alerts=tray
pluginpath .
# The public folders' server is far away: every GetFolderFromID takes 200 ms,
# every Items 20 ms. And the server cannot be reached yet (the VPN is not up).
latency getfolderfromid=200 items=20
store public offline
# The add-in's retries come twenty times as fast as in Outlook.
timers 20
connect corvane.Tarnwell
# What Outlook counts against the add-in's start-up: the folders bind later,
# one per message.
timing
wait 1500
log corvane.log lines=6
# The VPN comes up: the public folders bind at their next retry.
store public online
wait 2500
log corvane.log lines=4
# Twenty items arrive in Support at once: Outlook raises no ItemAdd for them.
# The next item that does raise one shows the add-in that the count grew by
# more: the missed items go to the notifier, oldest first, then the new one.
# (Without a further item, the tray window's timer finds them within a
# minute.)
deliver mail Support count=20 subject="Störung Drucker" sender="IT-Betrieb" received="2026-12-09 08:00"
deliver mail Support subject="Drucker läuft wieder" sender="IT-Betrieb" received="2026-12-09 08:30"
wait 300
window "Neue Nachrichten" rows
# The user closes Outlook 2010 or later: Quit, then the add-in is released
# without OnBeginShutdown and OnDisconnection. The tray icon leaves the
# notification area, the notifier's window closes and keeps its placement.
quit fast
window "Neue Nachrichten" rows
)";
}

} // namespace outlooksim
