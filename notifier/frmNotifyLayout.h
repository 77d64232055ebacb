// The design of the window "Neue Nachrichten": its client area, its fonts,
// its controls with their fixed ids and rectangles in twips, and the list's
// columns. The window lays itself out from these tables at every DPI.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include "ui/FontSet.h"
#include "ui/Layout.h"

namespace notifylayout {

inline constexpr const wchar_t kCaption[] = L"Neue Nachrichten";

// The client area, in twips.
inline constexpr int kClientWidth = 6075, kClientHeight = 3885;
// The window is never made smaller than this (outer size, in twips: 250
// pixels at 96 dpi).
inline constexpr int kMinSize = 3750;

// Control identifiers; the button is IDOK so that Enter presses it.
enum Control : int { IDC_IMGFOLDER = 1001, IDC_LBLFOLDER, IDC_LVWMSG, IDC_CHKTOP, IDC_SIZEGRIP, IDC_BTNOKAY = IDOK };

enum Font : int { fntHeading, fntList, fntListBold };
inline constexpr ui::FontDesign kFonts[] = {
    {L"Arial", 14.25, FW_BOLD},
    {L"Tahoma", 8.25, FW_NORMAL},
    {L"Tahoma", 8.25, FW_BOLD},
};

// In creation order, which is also the tab order.
inline constexpr ui::ControlDesign kControls[] = {
    {IDC_IMGFOLDER, L"STATIC", nullptr, SS_ICON | SS_REALSIZECONTROL, 0, 120, 120, 480, 480, ui::kNoFont},
    {IDC_LBLFOLDER, L"STATIC", kCaption, SS_LEFT | SS_NOPREFIX, 0, 780, 180, 2715, 375, fntHeading},
    {IDC_LVWMSG, WC_LISTVIEWW, nullptr,
     WS_TABSTOP | WS_GROUP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_OWNERDATA | LVS_SHAREIMAGELISTS,
     WS_EX_CLIENTEDGE, 120, 660, 5835, 2535, fntList},
    // A push-like check box with a picture per state.
    {IDC_CHKTOP, L"BUTTON", nullptr, WS_TABSTOP | WS_GROUP | BS_AUTOCHECKBOX | BS_PUSHLIKE | BS_BITMAP, 0, 120, 3360,
     435, 375, ui::kNoFont},
    {IDC_BTNOKAY, L"BUTTON", L"&Schlie\u00dfen", WS_TABSTOP | WS_GROUP | BS_DEFPUSHBUTTON, 0, 4800, 3360, 1155, 359,
     fntList},
    {IDC_SIZEGRIP, L"SCROLLBAR", nullptr, SBS_SIZEGRIP | SBS_SIZEBOXBOTTOMRIGHTALIGN, 0, 600, 3360, 240, 240,
     ui::kNoFont},
};

// The design entry of a control.
constexpr const ui::ControlDesign& DesignOf(Control id) { return ui::DesignIn(kControls, id); }

// The list's small pictures, in twips (16 pixels at 96 dpi).
inline constexpr int kSmallIcon = 240;

struct Column {
    const wchar_t* header;
    int width; // twips
    int format;
};
inline constexpr Column kColumns[] = {
    {L"Betreff", 2000, LVCFMT_LEFT},
    {L"Absender", 1440, LVCFMT_LEFT},
    {L"Datum", 1550, LVCFMT_RIGHT},
    {L"Ordner", 1440, LVCFMT_LEFT},
};

} // namespace notifylayout
