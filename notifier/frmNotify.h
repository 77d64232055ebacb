// The notifier's window "Neue Nachrichten": a resizable top-level window
// that lists the new mail items handed to the plug-in, newest first, in a
// standard report-view list view. An entry stays bold until the user closes
// the window; closing only hides it. The window remembers its placement and
// whether it stays on top.
//
// The entries are kept here and the list view asks for them (a virtual list
// view), so adding an entry at the top costs the same however long the list
// is; what the user sees is an ordinary list view.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <oaidl.h>

#include <memory>
#include <string>
#include <vector>

#include "Form.h"
#include "com/ComRaii.h"
#include "config/ProductKeys.h"
#include "frmNotifyLayout.h"
#include "ui/FontSet.h"
#include "ui/Handles.h"
#include "ui/Window.h"

class frmNotify final : public Form, public ui::Window {
  public:
    static constexpr const wchar_t* kClassName = L"ZarqNotifier.frmNotify";
    static constexpr const wchar_t* kCaption = notifylayout::kCaption;
    // Where the placement and the stay-on-top choice are kept.
    static constexpr const char* kSettingsKey = productkeys::kNotifierKey;

    // Creates the window hidden and runs its load step (size limits,
    // placement, stay-on-top). Null if the window cannot be created.
    static std::unique_ptr<frmNotify> Load() noexcept;
    // Destroys a window that is still there, without the unload step.
    ~frmNotify();
    frmNotify(const frmNotify&) = delete;
    frmNotify& operator=(const frmNotify&) = delete;

    // Unloads from code: saves placement and stay-on-top, removes the size
    // limits and destroys the window (the object stays, unloaded).
    void Unload() noexcept;

    // Adds a line for the mail item at the top; logs a missing item.
    void MailItemAdd(IDispatch* mi, const std::wstring& sFolderName) noexcept;
    void put_AlwaysOnTop(bool bAlwaysOnTop) noexcept;
    void put_FolderName(const std::wstring& sFolderName) noexcept;

    void Show() noexcept;
    void Refresh() noexcept;
    void Hide() noexcept;
    bool Visible() const noexcept;
    size_t EntryCount() const noexcept { return m_entries.size(); }

    // Form
    HWND Hwnd() const noexcept override { return ui::Window::Hwnd(); }
    std::string Name() const override { return "frmNotify"; }
    int GetWindowState() const noexcept override;
    void SetWindowState(int iState) noexcept override;

  private:
    struct Entry {
        std::wstring sSubject, sSender, sDate, sFolder;
        bool bBold = true;
    };

    frmNotify() = default;
    // ui::Window
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnDpiChanged() override;
    void OnDestroyed() noexcept override;
    LRESULT OnNotify(const NMHDR* header);
    LRESULT OnListCustomDraw(NMLVCUSTOMDRAW* draw) noexcept;

    bool Create() noexcept;
    void CreateControls() noexcept;
    // The client area at its design size, at the window's DPI.
    void FitClientArea() noexcept;
    // The fonts and the pictures at the window's DPI.
    void MakeFontsAndPictures() noexcept;
    void Form_Load() noexcept;
    void ApplySizeLimits() noexcept;
    void Form_Resize() noexcept;
    void Form_Unload() noexcept;
    // Reloads a window that something other than this code unloaded.
    bool EnsureLoaded() noexcept;
    void ReadAlwaysOnTop() noexcept;
    void WriteAlwaysOnTop() noexcept;
    void ClearNewMarks() noexcept;
    void CloseByUser() noexcept;
    void btnOkay_Click() noexcept;
    void chkTop_Click() noexcept;
    // Sets the stay-on-top box as code would, which runs its click handler.
    void SetTopChecked(bool bChecked) noexcept;
    bool TopChecked() const noexcept;
    void ShowEntries(bool bScrollToTop) noexcept;
    const Entry* EntryAtRow(int iRow) const noexcept;
    HWND Control(int id) const noexcept { return ::GetDlgItem(Hwnd(), id); }

    HWND m_hWndTip = nullptr;
    HWND m_hWndFocus = nullptr;   // the control that had the focus when the window was left
    bool m_bCloseCommand = false; // a WM_CLOSE now comes from the window's own close command
    bool m_bEverShown = false;
    int m_iPendingState = vbNormal; // the state to show a never-shown window in
    // Design gaps between the client area's edges and the controls, in twips.
    float m_sngListWidthGap = 0, m_sngListHeightGap = 0, m_sngButtonTopGap = 0, m_sngButtonLeftGap = 0;
    std::vector<Entry> m_entries; // oldest first; the top row is the last entry
    ui::FontSet m_fonts;
    ui::UniqueHImageList m_images; // the list's small pictures; the list shares them
    com::UniqueHBitmap m_imgTopUp, m_imgTopDown;
    com::UniqueHIcon m_icoFolder, m_icoSmall, m_icoBig;
};
