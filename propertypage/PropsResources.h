// Resource identifiers of corvaneProps.dll: the page's pictures.
#pragma once

#define IDI_FOLDER 101 // imgFolder: a folder that is not watched
#define IDI_SOUND 102  // Image2: the sound options
#define IDI_CURSOR 103 // Image1: the cursor option
#define IDI_TRAY 104   // Image3: the tray icon option
