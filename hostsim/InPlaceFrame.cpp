#include "InPlaceFrame.h"

namespace outlooksim {

HRESULT InPlaceFrame::QueryInterfaceExtra(REFIID riid, void** ppv) noexcept
{
    if (riid != IID_IOleWindow && riid != IID_IOleInPlaceUIWindow)
        return E_NOINTERFACE;
    *ppv = static_cast<IOleInPlaceFrame*>(this);
    AddRef();
    return S_OK;
}

HRESULT InPlaceFrame::GetWindow(HWND* window) noexcept
{
    return Guard([&]() -> HRESULT {
        if (!window)
            return E_POINTER;
        *window = m_window;
        return S_OK;
    });
}

HRESULT InPlaceFrame::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) noexcept
{
    return Guard([&]() -> HRESULT {
        // Another object becoming active takes the user interface from the
        // one active before (Microsoft documentation, IOleInPlaceSite::
        // OnUIActivate: the container UI-deactivates an object already
        // active in the same document).
        com::ComPtr<IOleInPlaceActiveObject> before = std::move(m_active);
        com::ComPtr<IOleInPlaceObject> inPlace;
        if (object && before && before.Get() != object && SUCCEEDED(before.As(&inPlace)))
            inPlace->UIDeactivate();
        m_active = object;
        return S_OK;
    });
}

} // namespace outlooksim
