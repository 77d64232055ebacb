// PropertyPageSite: what a page control finds as its container's parent
// (IOleClientSite::GetContainer, then QueryInterface). OnStatusChange asks
// the dialog to read the page's Dirty again.
#pragma once

#include <ocidl.h>

#include <memory>

#include "com/ComObject.h"
#include "outlook.h"

namespace outlooksim {

class PageHost;
class Session;

class PageSite final : public com::ComObject<PageSite, ::PropertyPageSite, IOleContainer, ISupportErrorInfo> {
  public:
    static const wchar_t* ErrorSource() noexcept { return L"Microsoft Outlook"; }

    PageSite(std::shared_ptr<Session> session, PageHost* host, IDispatch* parent);

    // PropertyPageSite
    HRESULT STDMETHODCALLTYPE get_Application(_Application** value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Class(OlObjectClass* value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Session(_NameSpace** value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Parent(IDispatch** value) noexcept override;
    HRESULT STDMETHODCALLTYPE OnStatusChange() noexcept override;

    // IOleContainer
    HRESULT STDMETHODCALLTYPE ParseDisplayName(IBindCtx*, LPOLESTR, ULONG*, IMoniker** out) noexcept override;
    HRESULT STDMETHODCALLTYPE EnumObjects(DWORD, IEnumUnknown** out) noexcept override;
    HRESULT STDMETHODCALLTYPE LockContainer(BOOL) noexcept override { return S_OK; }

    // The page has gone; a control that still holds the site reaches nothing.
    void Detach() noexcept { m_host = nullptr; }

  private:
    std::shared_ptr<Session> m_session;
    PageHost* m_host;
    com::ComPtr<IDispatch> m_parent;
};

} // namespace outlooksim
