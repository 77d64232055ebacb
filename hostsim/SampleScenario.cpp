#include "SampleScenario.h"

namespace outlooksim {

const wchar_t* SampleScenario() noexcept
{
    return LR"(# The demo: a mailbox with its inbox, two public folders, the add-in.
folder Support
folder Vertrieb
folder Kalender store=mailbox kind=calendar
# The add-in's configuration: the inbox is watched already.
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
# Watching on, with the tray icon, the mail sound and the envelope cursor.
check "Diesen Ordner überwachen"
check "Symbol in Taskleiste anzeigen"
check "Sound abspielen"
check "Standard - Outlook - Sound verwenden"
check "Mauszeiger verändern"
wait 300
screenshot page-settings
# The plug-ins: the notifier lists the new items of Support.
tab Plugins
check Notifier
wait 300
screenshot page-plugins
pagestate
# OK applies the page: the configuration file holds the folder at once.
ok
log notifyfolders.ini lines=40
# New items: the tray icon shows the folder's name, the mail sound plays,
# the cursor turns into an envelope for half a second.
deliver mail Support subject="Drucker im 2. OG druckt nicht" sender="Erika Mustermann"
deliver mail Posteingang subject="Protokoll der Teamrunde" sender="Jonas Weber"
# Vertrieb is not watched: nothing happens.
deliver post Vertrieb subject="Angebot Nr. 2024-117" sender="Jonas Weber"
deliver mail Support subject="Zugang zum Ticketsystem" sender="Jonas Weber"
deliver mail Support subject="Wartung am Samstag" sender="IT-Betrieb"
wait 3000
screenshot after
# The notifier's window lists them, newest first and bold until it is closed.
window "Neue Nachrichten" rows
window "Neue Nachrichten" close
# A double-click on the tray icon opens the folder of the latest new item.
tray dblclick
wait 300
deliver mail Support subject="Toner ist leer" sender="Erika Mustermann"
# Only what came after the window was closed is bold.
window "Neue Nachrichten" rows
window "Neue Nachrichten" move 500,360
wait 300
screenshot notifier
# The right mouse button puts the icon back to "no new mail".
tray rightclick
disconnect
release
)";
}

const BuiltInScenario* FindBuiltInScenario(std::wstring_view name) noexcept
{
    static const BuiltInScenario kScenarios[] = {
        {L"demo", L"built-in demo", SampleScenario()},
        {L"real-outlook", L"built-in real-outlook", RealOutlookScenario()},
        {L"allocations", L"built-in allocations", AllocationScenario()},
        {L"allocations-quit", L"built-in allocations-quit", AllocationQuitScenario()},
    };
    for (const BuiltInScenario& scenario : kScenarios)
        if (name == scenario.name)
            return &scenario;
    return nullptr;
}

} // namespace outlooksim
