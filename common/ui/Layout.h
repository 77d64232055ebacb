// A window's or a panel's controls as one table: class, text, styles, the
// design rectangle in twips (from the parent's client corner) and a fixed
// control id. One helper creates the controls of a table, another places
// them again at another DPI; controls are found by their ids.
#pragma once

#include <windows.h>

#include <span>

#include "FontSet.h"
#include "Twips.h"

namespace ui {

struct ControlDesign {
    int id;
    const wchar_t* className;
    const wchar_t* text; // null: no text
    DWORD style;         // WS_CHILD and WS_VISIBLE are added
    DWORD exStyle;
    int left, top, width, height; // twips
    int font;                     // index into the window's FontSet; kNoFont for the system's
};

constexpr int kNoFont = -1;

// Where the controls of a table go: the parent, and the pixels its client
// corner lies below and right of the design's corner (a panel of a tab
// lies below the strip of tabs; its design positions count from the tab
// control's corner).
struct LayoutTarget {
    HWND parent;
    POINT originPx = {0, 0};
};

// The entry of the control with this id in the table (the first entry
// when there is none, which a table's own ids never ask for).
constexpr const ControlDesign& DesignIn(std::span<const ControlDesign> table, int id)
{
    for (const ControlDesign& design : table)
        if (design.id == id)
            return design;
    return table.front();
}

// The control's design rectangle in pixels inside its parent.
RECT ControlRect(const ControlDesign& design, const Twips& twips, POINT originPx = {0, 0}) noexcept;

// Creates the controls of the table in table order (which is also their
// tab order). A control that cannot be created is left out; false then.
bool CreateControls(const LayoutTarget& target, std::span<const ControlDesign> table, const Twips& twips,
                    const FontSet& fonts) noexcept;

// Places the table's controls at their design rectangles and gives them
// their fonts again, after a change of DPI.
void PlaceControls(const LayoutTarget& target, std::span<const ControlDesign> table, const Twips& twips,
                   const FontSet& fonts) noexcept;

// The control's rectangle in its parent's client coordinates.
RECT ChildRect(HWND child) noexcept;

} // namespace ui
