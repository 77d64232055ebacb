#include "ControlSite.h"

#include <olectl.h>

#include "com/ComRaii.h"
#include "outlook.h"

namespace outlooksim {

namespace {
constexpr LCID kGerman = MAKELCID(MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN), SORT_DEFAULT);
constexpr OLE_COLOR kSystemColor = 0x80000000; // an OLE_COLOR naming a system colour
} // namespace

ControlSite::ControlSite(HWND page, IOleContainer* container, IOleInPlaceFrame* frame, std::wstring title,
                         IUnknown* pageSite)
    : m_page(page), m_container(container), m_frame(frame), m_pageSite(pageSite), m_title(std::move(title))
{
}

HRESULT ControlSite::QueryInterfaceExtra(REFIID riid, void** ppv) noexcept
{
    if (riid == IID_PropertyPageSite && m_pageSite)
        return m_pageSite->QueryInterface(riid, ppv);
    if (riid != IID_IOleWindow)
        return E_NOINTERFACE;
    *ppv = static_cast<IOleInPlaceSite*>(this);
    AddRef();
    return S_OK;
}

HRESULT ControlSite::GetMoniker(DWORD, DWORD, IMoniker** out) noexcept
{
    return Guard([&]() -> HRESULT {
        if (out)
            *out = nullptr;
        return E_NOTIMPL;
    });
}

HRESULT ControlSite::GetContainer(IOleContainer** out) noexcept
{
    return Guard([&]() -> HRESULT {
        if (!out)
            return E_POINTER;
        *out = m_container.Get();
        if (!*out)
            return E_NOINTERFACE;
        (*out)->AddRef();
        return S_OK;
    });
}

HRESULT ControlSite::GetWindow(HWND* window) noexcept
{
    return Guard([&]() -> HRESULT {
        if (!window)
            return E_POINTER;
        *window = m_page;
        return m_page ? S_OK : E_FAIL;
    });
}

HRESULT ControlSite::OnInPlaceActivate() noexcept
{
    return Guard([&]() -> HRESULT {
        m_inPlace = true;
        return S_OK;
    });
}

HRESULT ControlSite::OnUIActivate() noexcept
{
    return Guard([&]() -> HRESULT {
        m_uiActive = true;
        return S_OK;
    });
}

HRESULT ControlSite::OnUIDeactivate(BOOL) noexcept
{
    return Guard([&]() -> HRESULT {
        m_uiActive = false;
        return S_OK;
    });
}

HRESULT ControlSite::OnInPlaceDeactivate() noexcept
{
    return Guard([&]() -> HRESULT {
        m_inPlace = false;
        return S_OK;
    });
}

HRESULT ControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos, LPRECT clip,
                                      LPOLEINPLACEFRAMEINFO info) noexcept
{
    return Guard([&]() -> HRESULT {
        if (!frame || !doc || !pos || !clip || !info)
            return E_POINTER;
        if (!m_frame)
            return E_FAIL;
        *frame = m_frame.Get();
        if (*frame)
            (*frame)->AddRef();
        *doc = nullptr; // no document window between the frame and the page
        ::GetClientRect(m_page, pos);
        *clip = *pos;
        info->fMDIApp = FALSE;
        m_frame->GetWindow(&info->hwndFrame);
        info->haccel = nullptr;
        info->cAccelEntries = 0;
        return S_OK;
    });
}

HRESULT ControlSite::GetTypeInfoCount(UINT* count) noexcept
{
    return Guard([&]() -> HRESULT {
        if (!count)
            return E_POINTER;
        *count = 0;
        return S_OK;
    });
}

HRESULT ControlSite::GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept
{
    return Guard([&]() -> HRESULT {
        if (info)
            *info = nullptr;
        return E_NOTIMPL;
    });
}

HRESULT ControlSite::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept
{
    return Guard([&]() -> HRESULT { return DISP_E_UNKNOWNNAME; });
}

HRESULT ControlSite::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                            UINT*) noexcept
{
    return Guard([&] { return Ambient(id, flags, result); });
}

// The ambient properties a control asks its site for.
HRESULT ControlSite::Ambient(DISPID id, WORD flags, VARIANT* result)
{
    if (!(flags & DISPATCH_PROPERTYGET))
        return DISP_E_MEMBERNOTFOUND;
    com::Variant value;
    switch (id) {
    case DISPID_AMBIENT_USERMODE:
        value = com::Variant(true);
        break;
    case DISPID_AMBIENT_UIDEAD:
    case DISPID_AMBIENT_SHOWGRABHANDLES:
    case DISPID_AMBIENT_SHOWHATCHING:
    case DISPID_AMBIENT_MESSAGEREFLECT:
        value = com::Variant(false);
        break;
    case DISPID_AMBIENT_DISPLAYNAME:
        value = com::Variant(m_title);
        break;
    case DISPID_AMBIENT_LOCALEID:
        value = com::Variant(static_cast<long>(kGerman));
        break;
    case DISPID_AMBIENT_BACKCOLOR:
        value = com::Variant(static_cast<long>(kSystemColor | COLOR_BTNFACE));
        break;
    case DISPID_AMBIENT_FORECOLOR:
        value = com::Variant(static_cast<long>(kSystemColor | COLOR_BTNTEXT));
        break;
    default:
        return DISP_E_MEMBERNOTFOUND;
    }
    if (result)
        *result = value.Detach();
    return S_OK;
}

void ControlSite::Detach() noexcept
{
    m_page = nullptr;
    m_container.Reset();
    m_frame.Reset();
    m_pageSite.Reset();
    m_uiActive = false;
}

} // namespace outlooksim
