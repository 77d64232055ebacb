// The in-place frame that the page controls of one Properties sheet are
// given: the sheet window. It has no menus, tool space or status bar to
// offer, and one active object at a time: the sheet offers it the keys.
#pragma once

#include <ole2.h>

#include "com/ComObject.h"

namespace outlooksim {

class InPlaceFrame final : public com::ComObject<InPlaceFrame, IOleInPlaceFrame> {
  public:
    explicit InPlaceFrame(HWND window) noexcept : m_window(window) {}

    HRESULT QueryInterfaceExtra(REFIID riid, void** ppv) noexcept;

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) noexcept override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) noexcept override { return E_NOTIMPL; }
    // IOleInPlaceUIWindow
    HRESULT STDMETHODCALLTYPE GetBorder(LPRECT) noexcept override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE RequestBorderSpace(LPCBORDERWIDTHS) noexcept override { return INPLACE_E_NOTOOLSPACE; }
    HRESULT STDMETHODCALLTYPE SetBorderSpace(LPCBORDERWIDTHS) noexcept override { return OLE_E_INVALIDRECT; }
    HRESULT STDMETHODCALLTYPE SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) noexcept override;
    // IOleInPlaceFrame
    HRESULT STDMETHODCALLTYPE InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetMenu(HMENU, HOLEMENU, HWND) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RemoveMenus(HMENU) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetStatusText(LPCOLESTR) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE EnableModeless(BOOL) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE TranslateAccelerator(LPMSG, WORD) noexcept override { return S_FALSE; }

    IOleInPlaceActiveObject* ActiveObject() const noexcept { return m_active.Get(); }
    // The sheet's window, once it exists.
    void SetWindow(HWND window) noexcept { m_window = window; }

  private:
    HWND m_window;
    com::ComPtr<IOleInPlaceActiveObject> m_active;
};

} // namespace outlooksim
