// Resource identifiers of ZarqNotifier.dll.
#pragma once

#define IDI_NOTIFY 101   // the list window's icon
#define IDI_FOLDER 102   // the folder picture beside the heading
#define IDI_NEWMAIL 103  // the small new-mail icon of every list entry
#define IDB_TOP_UP 104   // the stay-on-top button, not pressed
#define IDB_TOP_DOWN 105 // the stay-on-top button, pressed
