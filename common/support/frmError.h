// The error dialog "Fehler in Anwendung": an error icon, an explanation,
// OK, and a details button that expands the form to show the failing
// operation and the error number and description.
//
// Built with CreateWindowEx and its own modal loop, so it needs no resources
// of the module it is linked into. Sizes are given in twips and converted
// at the window's DPI.
#pragma once

#include <windows.h>

#include <string>

#include "ui/FontSet.h"
#include "ui/Window.h"

class frmError final : public ui::Window {
  public:
    // Control identifiers; OK is IDOK so that Enter presses it.
    enum Control : int {
        btnOkay = IDOK,
        imgError = 100,
        Label1,
        btnDetails,
        txtProc,
        txtDetails,
    };

    frmError() noexcept = default;
    frmError(const frmError&) = delete;
    frmError& operator=(const frmError&) = delete;
    ~frmError() override { Unload(); }

    // Creates the form, hidden and collapsed, owned by the calling thread's
    // active window. False if the window cannot be created.
    bool Load() noexcept;
    // txtProc shows sProc, txtDetails "[ " lError " ] " sError.
    void SetErrorMessage(const std::string& sProc, long lError, const std::string& sError) noexcept;
    // Shows the form modally: the owner is disabled until the form is
    // unloaded (OK, Escape or closing the window).
    void Show() noexcept;
    // Destroys the form; the modal display, if any, ends.
    void Unload() noexcept;

    HWND hWnd() const noexcept { return Hwnd(); }

  private:
    // ui::Window
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void OnDpiChanged() override;
    void OnDestroyed() noexcept override;

    void CreateControls() noexcept;
    void ShowErrorIcon() noexcept;
    void ShowDetails(bool bShowDetails) noexcept;
    void ResizeForm(bool bExpanded) noexcept;
    void btnDetails_Click() noexcept;
    void btnOkay_Click() noexcept;
    void EndModal() noexcept;

    HWND m_hWndOwner = nullptr;
    bool m_bOwnerDisabled = false;
    bool m_bShowDetails = false;
    ui::FontSet m_fonts;
};
