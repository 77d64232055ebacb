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
        m_active = object;
        return S_OK;
    });
}

} // namespace outlooksim
