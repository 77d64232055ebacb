// The probe's page control: an OLE control that activates in place in the
// window the container gives it, finds Outlook's PropertyPageSite through
// its client site's container, and implements PropertyPage. Its button
// "Ändern" (or MarkDirty) makes it dirty and tells the site; Apply makes
// the add-in watch the page's folder.
#pragma once

#include <ole2.h>

#include "com/ComObject.h"
#include "hostprobe.h"
#include "outlook.h"

class ProbeAddin;

class ProbePage final
    : public com::ComObject<ProbePage, IProbePage, PropertyPage, IOleObject, IOleInPlaceObject, ISupportErrorInfo> {
  public:
    static const wchar_t* ErrorSource() noexcept { return L"corvaneHostProbe.Page"; }

    ProbePage() = default; // created on its own by the tests
    ProbePage(ProbeAddin* owner, IDispatch* folder);
    ~ProbePage() override;

    HRESULT QueryInterfaceExtra(REFIID riid, void** ppv) noexcept;

    // IProbePage
    HRESULT STDMETHODCALLTYPE get_PageCaption(BSTR* value) noexcept override;
    HRESULT STDMETHODCALLTYPE MarkDirty() noexcept override;
    HRESULT STDMETHODCALLTYPE get_ApplyCount(long* value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_HasSite(VARIANT_BOOL* value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Window(long* value) noexcept override;

    // PropertyPage
    HRESULT STDMETHODCALLTYPE GetPageInfo(BSTR* HelpFile, long* HelpContext) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Dirty(VARIANT_BOOL* Dirty) noexcept override;
    HRESULT STDMETHODCALLTYPE Apply() noexcept override;

    // IOleObject
    HRESULT STDMETHODCALLTYPE SetClientSite(IOleClientSite* site) noexcept override;
    HRESULT STDMETHODCALLTYPE GetClientSite(IOleClientSite** site) noexcept override;
    HRESULT STDMETHODCALLTYPE SetHostNames(LPCOLESTR, LPCOLESTR) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE Close(DWORD) noexcept override;
    HRESULT STDMETHODCALLTYPE SetMoniker(DWORD, IMoniker*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker**) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InitFromData(IDataObject*, BOOL, DWORD) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetClipboardData(DWORD, IDataObject**) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent,
                                     LPCRECT rect) noexcept override;
    HRESULT STDMETHODCALLTYPE EnumVerbs(IEnumOLEVERB**) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Update() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE IsUpToDate() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetUserClassID(CLSID* clsid) noexcept override;
    HRESULT STDMETHODCALLTYPE GetUserType(DWORD, LPOLESTR*) noexcept override { return OLE_S_USEREG; }
    HRESULT STDMETHODCALLTYPE SetExtent(DWORD, SIZEL*) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetExtent(DWORD, SIZEL*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Advise(IAdviseSink*, DWORD*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumAdvise(IEnumSTATDATA**) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetMiscStatus(DWORD, DWORD* status) noexcept override;
    HRESULT STDMETHODCALLTYPE SetColorScheme(LOGPALETTE*) noexcept override { return E_NOTIMPL; }

    // IOleInPlaceObject
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* window) noexcept override;
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE InPlaceDeactivate() noexcept override;
    HRESULT STDMETHODCALLTYPE UIDeactivate() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetObjectRects(LPCRECT pos, LPCRECT clip) noexcept override;
    HRESULT STDMETHODCALLTYPE ReactivateAndUndo() noexcept override { return E_NOTIMPL; }

  private:
    static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    void CreateWindowIn(HWND parent, const RECT& rect);

    com::ComPtr<ProbeAddin> m_owner;
    com::ComPtr<IDispatch> m_folder;
    com::ComPtr<IOleClientSite> m_clientSite;
    com::ComPtr<PropertyPageSite> m_site;
    HWND m_hwnd = nullptr;
    bool m_dirty = false;
    long m_applied = 0;
};
