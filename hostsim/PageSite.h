// PropertyPageSite: what a page control finds through its client site, or
// behind it in the container (SheetRoutes says which). OnStatusChange asks
// the dialog to read the page's Dirty again.
#pragma once

#include <ocidl.h>

#include <memory>

#include "com/ComObject.h"
#include "outlook.h"

namespace outlooksim {

class PageHost;
class Session;

class PageSite final : public com::ComObject<PageSite, ::PropertyPageSite, ISupportErrorInfo> {
  public:
    static const wchar_t* ErrorSource() noexcept { return L"Microsoft Outlook"; }

    PageSite(std::shared_ptr<Session> session, PageHost* host, IDispatch* parent);

    // PropertyPageSite
    HRESULT STDMETHODCALLTYPE get_Application(_Application** value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Class(OlObjectClass* value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Session(_NameSpace** value) noexcept override;
    HRESULT STDMETHODCALLTYPE get_Parent(IDispatch** value) noexcept override;
    HRESULT STDMETHODCALLTYPE OnStatusChange() noexcept override;

    // The page has gone; a control that still holds the site reaches nothing.
    void Detach() noexcept { m_host = nullptr; }

  private:
    std::shared_ptr<Session> m_session;
    PageHost* m_host;
    com::ComPtr<IDispatch> m_parent;
};

} // namespace outlooksim
