#include "SheetPage.h"

#include "com/ComModule.h"

namespace outlooksim {

PROPSHEETPAGEW SheetPage::Describe(const DLGTEMPLATE* dialogTemplate, bool premature) const noexcept
{
    PROPSHEETPAGEW psp{};
    psp.dwSize = sizeof psp;
    psp.dwFlags = PSP_DLGINDIRECT | PSP_USETITLE | (premature ? PSP_PREMATURE : 0);
    psp.hInstance = com::Module::Instance();
    psp.pResource = dialogTemplate;
    psp.pszTitle = Title().c_str();
    psp.pfnDlgProc = &DialogProc;
    psp.lParam = reinterpret_cast<LPARAM>(this);
    return psp;
}

HWND SheetPage::AddControl(const wchar_t* className, const wchar_t* text, DWORD style, RECT dialogUnits)
{
    ::MapDialogRect(m_hwnd, &dialogUnits);
    HWND control =
        ::CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, dialogUnits.left, dialogUnits.top,
                          dialogUnits.right - dialogUnits.left, dialogUnits.bottom - dialogUnits.top, m_hwnd, nullptr,
                          com::Module::Instance(), nullptr);
    ::SendMessageW(control, WM_SETFONT, ::SendMessageW(m_hwnd, WM_GETFONT, 0, 0), FALSE);
    return control;
}

INT_PTR CALLBACK SheetPage::DialogProc(HWND hwnd, UINT msg, WPARAM, LPARAM lParam)
{
    if (msg == WM_INITDIALOG) {
        auto* page = reinterpret_cast<SheetPage*>(reinterpret_cast<const PROPSHEETPAGEW*>(lParam)->lParam);
        ::SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(page));
        page->m_hwnd = hwnd;
        page->OnInit();
        return TRUE;
    }
    auto* page = reinterpret_cast<SheetPage*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
    if (!page)
        return FALSE;
    switch (msg) {
    case WM_SIZE:
        page->OnSize();
        return TRUE;
    case WM_NOTIFY:
        if (reinterpret_cast<const NMHDR*>(lParam)->code == PSN_APPLY) {
            page->OnApply();
            ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, PSNRET_NOERROR);
            return TRUE;
        }
        return FALSE;
    case WM_DESTROY:
        page->OnDestroy();
        page->m_hwnd = nullptr;
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace outlooksim
