#include "SampleScenario.h"

namespace outlooksim {

const wchar_t* SampleScenario() noexcept
{
    return LR"(# The demo: a mailbox with its inbox, two public folders, the add-in.
folder Support
folder Vertrieb
folder Kalender store=mailbox kind=calendar
# The add-in's configuration: which folders it watches, with which alerts.
watch Posteingang alerts=tray,defaultsound
# The installation's plug-in directory: the host's own folder.
pluginpath .
connect corvane.Tarnwell
# The splash window shows for two and a half seconds after connecting.
wait 1000
screenshot splash
# The user opens the Properties of the public folder Support: the page
# "Überwachung" says that the folder is not watched.
properties Support
page Überwachung
pagestate
# Watching on, with the tray icon, the mail sound and the envelope cursor.
check "Diesen Ordner überwachen"
check "Symbol in Taskleiste anzeigen"
check "Sound abspielen"
check "Standard - Outlook - Sound verwenden"
check "Mauszeiger verändern"
wait 300
screenshot page-settings
# The plug-ins: the notifier is switched on for this folder.
tab Plugins
check Notifier
check "ZarqProbe probe"
wait 300
screenshot page-plugins
pagestate
# OK applies the page: the configuration file holds the folder at once.
ok
log notifyfolders.ini lines=40
# New items: the tray icon shows the folder's name, the mail sound plays,
# the cursor turns into an envelope for half a second, the plug-ins get the item.
deliver mail Support subject="Drucker im 2. OG druckt nicht" sender="Erika Mustermann"
deliver mail Posteingang subject="Protokoll der Teamrunde" sender="Jonas Weber"
# Vertrieb is not watched: nothing happens.
deliver post Vertrieb subject="Angebot Nr. 2024-117" sender="Jonas Weber"
wait 3000
screenshot after
# A double-click on the tray icon opens the folder of the latest new item.
tray dblclick
wait 300
deliver mail Support subject="Toner ist leer" sender="Erika Mustermann"
# The right mouse button puts the icon back to "no new mail".
tray rightclick
disconnect
release
)";
}

} // namespace outlooksim
