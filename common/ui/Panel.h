// A panel: a plain child window that groups controls (a frame, the page of
// a tab) and hands their commands and notifications to the window that
// handles them, so that no two windows overlap and the handler sees every
// control by its id. The page of a tab draws the rest of the tab's border
// (its left, right and bottom edges) around its controls.
#pragma once

#include <windows.h>

#include "Layout.h"
#include "Window.h"

namespace ui {

class Panel final : public Window {
  public:
    enum class Border { None, TabPage };

    Panel() noexcept = default;
    ~Panel() override;

    // Creates the panel as the control design.id of target.parent, at its
    // design rectangle; the controls' messages go to handler. False if it
    // cannot be created.
    bool Create(const WindowClass& windowClass, const LayoutTarget& target, const ControlDesign& design,
                const Twips& twips, HWND handler, Border border) noexcept;

  private:
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void PaintBorder(HDC hdc) noexcept;

    HWND m_handler = nullptr;
    Border m_border = Border::None;
};

} // namespace ui
