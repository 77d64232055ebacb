// The OLE site of one page control in the Properties dialog: its client
// site (which answers PropertyPageSite when the sheet gives the page its
// site that way), its in-place site inside the page's window, and its
// ambient properties (user mode, German locale).
#pragma once

#include <ole2.h>

#include <string>

#include "com/ComObject.h"

namespace outlooksim {

class ControlSite final : public com::ComObject<ControlSite, IOleClientSite, IOleInPlaceSite, IDispatch> {
  public:
    // pageSite: answered for PropertyPageSite, or null (then only the
    // container may have it).
    ControlSite(HWND page, IOleContainer* container, IOleInPlaceFrame* frame, std::wstring title, IUnknown* pageSite);

    HRESULT QueryInterfaceExtra(REFIID riid, void** ppv) noexcept;

    // IOleClientSite
    HRESULT STDMETHODCALLTYPE SaveObject() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** out) noexcept override;
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** out) noexcept override;
    HRESULT STDMETHODCALLTYPE ShowObject() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() noexcept override { return E_NOTIMPL; }

    // IOleWindow
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) noexcept override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) noexcept override { return E_NOTIMPL; }
    // IOleInPlaceSite
    HRESULT STDMETHODCALLTYPE CanInPlaceActivate() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnInPlaceActivate() noexcept override;
    HRESULT STDMETHODCALLTYPE OnUIActivate() noexcept override;
    HRESULT STDMETHODCALLTYPE GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                               LPRECT clip, LPOLEINPLACEFRAMEINFO info) noexcept override;
    HRESULT STDMETHODCALLTYPE Scroll(SIZE) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE OnUIDeactivate(BOOL) noexcept override;
    HRESULT STDMETHODCALLTYPE OnInPlaceDeactivate() noexcept override;
    HRESULT STDMETHODCALLTYPE DiscardUndoState() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeactivateAndUndo() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnPosRectChange(LPCRECT) noexcept override { return S_OK; }

    // IDispatch: the ambient properties
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                                     UINT*) noexcept override;

    bool InPlaceActive() const noexcept { return m_inPlace; }
    bool UIActive() const noexcept { return m_uiActive; }
    // The page has gone.
    void Detach() noexcept;

  private:
    HRESULT Ambient(DISPID id, WORD flags, VARIANT* result);

    HWND m_page;
    com::ComPtr<IOleContainer> m_container;
    com::ComPtr<IOleInPlaceFrame> m_frame;
    com::ComPtr<IUnknown> m_pageSite;
    std::wstring m_title;
    bool m_inPlace = false;
    bool m_uiActive = false;
};

} // namespace outlooksim
