// The design of the page "Überwachung": its fonts, and one table per panel
// of controls with their fixed ids and rectangles in twips. The page lays
// itself out from these tables at every DPI.
//
// The frames and the two tab pages are panels. The tab control covers only
// its strip of tabs; the panel of the current tab lies below the strip, and
// the positions of a tab's controls count from the tab control's corner.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "PropsResources.h"
#include "ui/FontSet.h"
#include "ui/Layout.h"

namespace pagelayout {

enum Control : int {
    // On the page.
    IDC_LBLCURRENTFOLDER = 1001,
    IDC_CHKWATCHFOLDER,
    IDC_FRAWATCH,
    IDC_FRADONTWATCH,
    // In the frame of a watched folder.
    IDC_TABMAIN,
    IDC_TABPAGE0,
    IDC_TABPAGE1,
    IDC_FRAWATCHBORDER,
    // On the tab "Standardaktionen".
    IDC_IMGSOUND,
    IDC_CHKPLAYSOUND,
    IDC_TXTSOUNDFILE,
    IDC_BTNCHOOSESOUND,
    IDC_CHKUSEDEFAULTSOUND,
    IDC_IMGCURSOR,
    IDC_CHKCHANGECURSOR,
    IDC_IMGTRAY,
    IDC_CHKSHOWTRAYICON,
    // On the tab "Plugins".
    IDC_LVWPLUGIN,
    IDC_BTNINFO,
    IDC_BTNCONFIG,
    // In the frame of a folder that is not watched.
    IDC_FRADONTWATCHBORDER,
    IDC_IMGFOLDER,
    IDC_LBLDONTWATCH,
};

enum Font : int { fntTahoma, fntTitle };
inline constexpr ui::FontDesign kFonts[] = {
    {L"Tahoma", 8.25, FW_NORMAL},
    {L"Arial", 14.25, FW_BOLD},
};

inline constexpr const wchar_t kFrameCaption[] = L" \u00DCberwachungsoptionen ";
inline constexpr DWORD kBox = BS_AUTOCHECKBOX | WS_TABSTOP;
inline constexpr DWORD kButton = BS_PUSHBUTTON | WS_TABSTOP;
inline constexpr DWORD kPicture = SS_ICON;

// The page's design size.
inline constexpr SIZE kPageTwips{5985, 5325};

// The dark band behind the folder's name.
inline constexpr RECT kBand{120, 180, 120 + 5775, 180 + 435};

// The page; the folder's name is set when the page is made.
inline constexpr ui::ControlDesign kPage[] = {
    {IDC_LBLCURRENTFOLDER, L"STATIC", L"", SS_LEFT | SS_NOPREFIX, 0, 240, 240, 5535, 375, fntTitle},
    {IDC_CHKWATCHFOLDER, L"BUTTON", L"Diesen Ordner \u00FCberwachen", kBox, 0, 120, 780, 2295, 255, fntTahoma},
};

// The two frames: panels at the same place, one of them shown.
inline constexpr ui::ControlDesign kFrames[] = {
    {IDC_FRAWATCH, nullptr, nullptr, 0, WS_EX_CONTROLPARENT, 120, 1200, 5775, 4035, ui::kNoFont},
    {IDC_FRADONTWATCH, nullptr, nullptr, 0, WS_EX_CONTROLPARENT, 120, 1200, 5775, 4035, ui::kNoFont},
};

// The frame of a watched folder: the tab control at its full design size
// (the page narrows it to its strip) and the frame's border, which goes
// below everything inside it.
inline constexpr ui::ControlDesign kWatchFrame[] = {
    {IDC_TABMAIN, WC_TABCONTROLW, L"", WS_TABSTOP, 0, 240, 360, 5355, 3435, fntTahoma},
    {IDC_FRAWATCHBORDER, L"BUTTON", kFrameCaption, BS_GROUPBOX, 0, 0, 0, 5775, 4035, fntTahoma},
};
inline constexpr const ui::ControlDesign& kTabMain = kWatchFrame[0];

// The tab pages: panels below the strip (their rectangles are the page's
// to compute from the strip).
inline constexpr ui::ControlDesign kTabPages[] = {
    {IDC_TABPAGE0, nullptr, nullptr, 0, WS_EX_CONTROLPARENT, 0, 0, 0, 0, ui::kNoFont},
    {IDC_TABPAGE1, nullptr, nullptr, 0, WS_EX_CONTROLPARENT, 0, 0, 0, 0, ui::kNoFont},
};

inline constexpr ui::ControlDesign kStandardTab[] = {
    {IDC_IMGSOUND, L"STATIC", L"", kPicture, 0, 120, 480, 480, 480, ui::kNoFont},
    {IDC_CHKPLAYSOUND, L"BUTTON", L"Sound abspielen", kBox, 0, 720, 540, 1575, 255, fntTahoma},
    {IDC_TXTSOUNDFILE, L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 1020, 840, 2775, 315, fntTahoma},
    {IDC_BTNCHOOSESOUND, L"BUTTON", L"Durchsuchen...", kButton, 0, 3900, 818, 1335, 359, fntTahoma},
    {IDC_CHKUSEDEFAULTSOUND, L"BUTTON", L"Standard - Outlook - Sound verwenden", kBox, 0, 1020, 1260, 3195, 255,
     fntTahoma},
    {IDC_IMGCURSOR, L"STATIC", L"", kPicture, 0, 120, 1620, 480, 480, ui::kNoFont},
    {IDC_CHKCHANGECURSOR, L"BUTTON", L"Mauszeiger ver\u00E4ndern", kBox, 0, 720, 1740, 1935, 255, fntTahoma},
    {IDC_IMGTRAY, L"STATIC", L"", kPicture, 0, 120, 2340, 480, 480, ui::kNoFont},
    {IDC_CHKSHOWTRAYICON, L"BUTTON", L"Symbol in Taskleiste anzeigen", kBox, 0, 720, 2460, 2475, 255, fntTahoma},
};

inline constexpr ui::ControlDesign kPluginTab[] = {
    {IDC_LVWPLUGIN, WC_LISTVIEWW, L"", LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP, WS_EX_CLIENTEDGE,
     180, 480, 4995, 2295, fntTahoma},
    {IDC_BTNINFO, L"BUTTON", L"&Info...", kButton, 0, 2940, 2880, 1095, 359, fntTahoma},
    {IDC_BTNCONFIG, L"BUTTON", L"&Optionen...", kButton, 0, 4080, 2880, 1095, 359, fntTahoma},
};
// The room a page shorter than its design keeps below the lowest control
// of the tab "Standardaktionen", in twips.
inline constexpr int kTabFoot = 120;
// How much shorter than its design the page may be laid out, in twips: the
// room below the lowest control of the tab "Standardaktionen", less its foot.
inline constexpr int kMostShortening = [] {
    int lowest = 0;
    for (const ui::ControlDesign& design : kStandardTab)
        lowest = design.top + design.height > lowest ? design.top + design.height : lowest;
    return kTabMain.height - lowest - kTabFoot;
}();
static_assert(kMostShortening >= 0, "the tab's controls fit its design height");
// The plug-in list's first column, in twips.
inline constexpr int kNameColumnWidth = 1440;

inline constexpr ui::ControlDesign kDontWatchFrame[] = {
    {IDC_FRADONTWATCHBORDER, L"BUTTON", kFrameCaption, BS_GROUPBOX, 0, 0, 0, 5775, 4035, fntTahoma},
    {IDC_IMGFOLDER, L"STATIC", L"", kPicture, 0, 2640, 960, 480, 480, ui::kNoFont},
    {IDC_LBLDONTWATCH, L"STATIC",
     L"Die \u00DCberwachung f\u00FCr diesen Ordner ist nicht aktiviert. Es stehen daher keine "
     L"\u00DCberwachungsoptionen zur Verf\u00FCgung.",
     SS_LEFT | SS_NOPREFIX, 0, 1380, 1620, 3375, 615, fntTahoma},
};

// The pictures and their icons.
struct Picture {
    int id;
    int resource;
};
inline constexpr Picture kPictures[] = {
    {IDC_IMGSOUND, IDI_SOUND},
    {IDC_IMGCURSOR, IDI_CURSOR},
    {IDC_IMGTRAY, IDI_TRAY},
    {IDC_IMGFOLDER, IDI_FOLDER},
};

} // namespace pagelayout
