#include "SampleScenario.h"

namespace outlooksim {

const wchar_t* SampleScenario() noexcept
{
    return LR"(# The demo: a mailbox with its inbox, two public folders, the add-in.
folder Support
folder Vertrieb
folder Kalender store=mailbox kind=calendar
connect corvane.Tarnwell
# The splash window shows for two and a half seconds after connecting.
wait 1000
screenshot splash
# The folder's Properties dialog with the add-in's page "Überwachung".
properties Support
page Überwachung
click "Diesen Ordner überwachen"
wait 300
screenshot properties
ok
deliver mail Support subject="Drucker im 2. OG druckt nicht" sender="Erika Mustermann"
deliver post Vertrieb subject="Angebot Nr. 2024-117" sender="Jonas Weber"
wait 3000
# A double-click on the tray icon opens the folder of the latest new item.
tray dblclick
wait 300
screenshot after
disconnect
release
)";
}

} // namespace outlooksim
