#include "PageContainer.h"

#include "PageSite.h"

namespace outlooksim {

PageContainer::PageContainer(PageSite* pageSite) : m_pageSite(pageSite) {}

HRESULT PageContainer::QueryInterfaceExtra(REFIID riid, void** ppv) noexcept
{
    if (riid == IID_IParseDisplayName) {
        *ppv = static_cast<IOleContainer*>(this);
        AddRef();
        return S_OK;
    }
    if (riid == IID_PropertyPageSite && m_pageSite)
        return m_pageSite->QueryInterface(riid, ppv);
    return E_NOINTERFACE;
}

HRESULT PageContainer::ParseDisplayName(IBindCtx*, LPOLESTR, ULONG*, IMoniker** out) noexcept
{
    return Guard([&]() -> HRESULT {
        if (out)
            *out = nullptr;
        return E_NOTIMPL;
    });
}

HRESULT PageContainer::EnumObjects(DWORD, IEnumUnknown** out) noexcept
{
    return Guard([&]() -> HRESULT {
        if (out)
            *out = nullptr;
        return E_NOTIMPL;
    });
}

void PageContainer::Detach() noexcept { m_pageSite.Reset(); }

} // namespace outlooksim
