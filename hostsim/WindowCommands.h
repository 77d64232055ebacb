// What a scenario does with the top-level windows of the process that it
// finds by their title (the notifier's "Neue Nachrichten", for example):
// the user's window commands, pressing a button, and reading back what the
// user sees, through the windows' own messages.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace outlooksim {

class WindowCommands {
  public:
    // The visible or hidden top-level window of this process with exactly this title, or null.
    static HWND Find(const std::wstring& title);

    // close (as the close box does), minimize, maximize, restore, size <w>x<h>,
    // move <x>,<y>, press <caption or tooltip>; an empty result or what went wrong.
    static std::wstring Act(HWND window, const std::wstring& action, const std::wstring& argument);

    // "visible normal topmost, at 10,20, 420x300, client 404x262" and a line
    // per control: class, caption or tooltip, rectangle in the client area,
    // checked, enabled, visible.
    static std::vector<std::wstring> Describe(HWND window);

    // The list view's columns and rows as the user sees them: the text of
    // every column, and whether the row is bold and selected.
    static std::vector<std::wstring> ListRows(HWND window);
};

} // namespace outlooksim
