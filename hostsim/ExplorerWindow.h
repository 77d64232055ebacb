// The explorer's visible window: the folder tree of every store on the
// left, the items of the current folder on the right, the folder's name in
// the caption. Only the host program shows it.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>

namespace outlooksim {

class Folder;
class Session;

class ExplorerWindow {
  public:
    static constexpr const wchar_t* kClassName = L"rctrl_renwnd32";

    explicit ExplorerWindow(Session& session);
    ~ExplorerWindow();
    ExplorerWindow(const ExplorerWindow&) = delete;
    ExplorerWindow& operator=(const ExplorerWindow&) = delete;

    HWND Handle() const noexcept { return m_hwnd; }
    void Show(Folder* current);
    void BringToFront() noexcept;

  private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void Layout() noexcept;
    void FillTree(Folder* current);
    HTREEITEM AddTreeItem(HTREEITEM parent, const wchar_t* text);
    void FillList(Folder* current);

    Session& m_session;
    HWND m_hwnd = nullptr;
    HWND m_tree = nullptr;
    HWND m_list = nullptr;
};

} // namespace outlooksim
