// The container behind a page control's client site
// (IOleClientSite::GetContainer). It answers PropertyPageSite only when
// the sheet gives the page its site that way (SheetRoutes::Site::Container).
#pragma once

#include <ole2.h>

#include "com/ComObject.h"

namespace outlooksim {

class PageSite;

class PageContainer final : public com::ComObject<PageContainer, IOleContainer> {
  public:
    // pageSite: answered for PropertyPageSite, or null.
    explicit PageContainer(PageSite* pageSite);

    HRESULT QueryInterfaceExtra(REFIID riid, void** ppv) noexcept;

    // IParseDisplayName
    HRESULT STDMETHODCALLTYPE ParseDisplayName(IBindCtx*, LPOLESTR, ULONG*, IMoniker** out) noexcept override;
    // IOleContainer
    HRESULT STDMETHODCALLTYPE EnumObjects(DWORD, IEnumUnknown** out) noexcept override;
    HRESULT STDMETHODCALLTYPE LockContainer(BOOL) noexcept override { return S_OK; }

    // The page has gone.
    void Detach() noexcept;

  private:
    com::ComPtr<PageSite> m_pageSite;
};

} // namespace outlooksim
