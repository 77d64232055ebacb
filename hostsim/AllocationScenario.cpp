#include "SampleScenario.h"

#include <cstddef>

namespace outlooksim {

namespace {

// Two texts joined at compile time.
template <size_t A, size_t B>
struct JoinedText {
    wchar_t text[A + B - 1] = {};
    constexpr JoinedText(const wchar_t (&a)[A], const wchar_t (&b)[B])
    {
        for (size_t i = 0; i + 1 < A; ++i)
            text[i] = a[i];
        for (size_t i = 0; i < B; ++i)
            text[A - 1 + i] = b[i];
    }
};

// What both allocation scenarios do before Outlook closes: twenty watched
// folders with the notifier and the test plug-in, items arriving one by one
// and in a burst the notifier is told of, a page opened, changed, applied
// and its plug-in tab used.
constexpr wchar_t kTour[] = LR"(# Twenty watched folders, public and in the mailbox, with plug-ins.
folder Ablage01
folder Ablage02
folder Ablage03
folder Ablage04
folder Ablage05
folder Ablage06
folder Ablage07
folder Ablage08
folder Ablage09
folder Ablage10
folder Ablage11
folder Ablage12
folder Ablage13
folder Ablage14
folder Ablage15
folder Ablage16
folder Ablage17
folder Ablage18
folder Ablage19 store=mailbox
folder Neu
watch Posteingang alerts=tray,cursor plugins=ZarqNotifier
watch Ablage01 alerts=tray,defaultsound,cursor plugins=ZarqNotifier,ZarqProbe
watch Ablage02 alerts=tray plugins=ZarqNotifier
watch Ablage03 alerts=tray plugins=ZarqProbe
watch Ablage04 alerts=tray plugins=ZarqNotifier
watch Ablage05 alerts=tray
watch Ablage06 alerts=tray plugins=ZarqNotifier
watch Ablage07 alerts=tray
watch Ablage08 alerts=tray plugins=ZarqNotifier
watch Ablage09 alerts=tray
watch Ablage10 alerts=tray plugins=ZarqNotifier
watch Ablage11 alerts=tray
watch Ablage12 alerts=tray plugins=ZarqNotifier
watch Ablage13 alerts=tray
watch Ablage14 alerts=tray plugins=ZarqNotifier
watch Ablage15 alerts=tray
watch Ablage16 alerts=tray plugins=ZarqNotifier
watch Ablage17 alerts=tray
watch Ablage18 alerts=tray plugins=ZarqNotifier
watch Ablage19 alerts=tray plugins=ZarqNotifier
pluginpath .
connect corvane.Tarnwell
# Items one by one, then a burst without ItemAdd (more than limit= items)
# that the next item reveals.
deliver mail Ablage01 subject="Drucker defekt" sender="Erika Mustermann"
deliver post Ablage02 subject="Angebot" sender="Jonas Weber"
deliver mail Posteingang subject="Protokoll" sender="Jonas Weber"
deliver mail Ablage04 count=3 limit=2 subject="Störung" sender="IT-Betrieb" received="2026-12-09 08:00"
deliver mail Ablage04 subject="Behoben" sender="IT-Betrieb" received="2026-12-09 08:30"
deliver mail Neu subject="Nicht überwacht" sender="Erika Mustermann"
window "Neue Nachrichten" rows
tray dblclick
# A folder that is not watched yet: its page, changed, applied.
properties Neu
page Überwachung
check "Diesen Ordner überwachen"
check "Symbol in Taskleiste anzeigen"
tab Plugins
check Notifier
pagestate
apply
ok
deliver mail Neu subject="Jetzt überwacht" sender="Erika Mustermann"
tray rightclick
)";

constexpr JoinedText kDisconnectTour(kTour, LR"(# Outlook before 2010 closes: OnBeginShutdown, OnDisconnection.
disconnect
release
)");

constexpr JoinedText kQuitTour(kTour, LR"(# Outlook 2010 and later close: Quit, then the add-in is released.
quit fast
)");

} // namespace

const wchar_t* AllocationScenario() noexcept { return kDisconnectTour.text; }

const wchar_t* AllocationQuitScenario() noexcept { return kQuitTour.text; }

} // namespace outlooksim
