// One page of the Properties sheet: its description for PropertySheet and
// the dialog procedure that hands the page's events to the derived class.
#pragma once

#include <windows.h>
#include <prsht.h>

#include <string>

namespace outlooksim {

class SheetPage {
  public:
    virtual ~SheetPage() = default;

    virtual const std::wstring& Title() const noexcept = 0;
    // premature: the page is created with the sheet, not when first shown.
    PROPSHEETPAGEW Describe(const DLGTEMPLATE* dialogTemplate, bool premature) const noexcept;
    HWND Window() const noexcept { return m_hwnd; }

  protected:
    virtual void OnInit() {}
    virtual void OnSize() {}
    virtual void OnApply() {}
    virtual void OnDestroy() {}

    // A child control of the page, in the page's font.
    HWND AddControl(const wchar_t* className, const wchar_t* text, DWORD style, RECT dialogUnits);

    HWND m_hwnd = nullptr;

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
};

} // namespace outlooksim
