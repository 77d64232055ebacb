#include "com/EventSink.h"

#include "support/Guarded.h"

namespace com {

const VARIANT& EventArg(const DISPPARAMS* params, UINT index) noexcept
{
    static const VARIANT missing = [] {
        VARIANT v;
        ::VariantInit(&v);
        v.vt = VT_ERROR;
        v.scode = DISP_E_PARAMNOTFOUND;
        return v;
    }();
    if (!params || index >= params->cArgs || !params->rgvarg)
        return missing;
    return params->rgvarg[params->cArgs - 1 - index];
}

HRESULT EventSink::QueryInterfaceExtra(REFIID riid, void** ppv) noexcept
{
    if (riid != m_source)
        return E_NOINTERFACE;
    *ppv = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

HRESULT EventSink::GetTypeInfoCount(UINT* count) noexcept
{
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT EventSink::GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept
{
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT EventSink::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept { return E_NOTIMPL; }

HRESULT EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                          UINT*) noexcept
{
    if (result)
        ::VariantInit(result);
    if (!m_handler)
        return S_OK;
    // Keep the sink alive, and call a copy of the handler: a handler that
    // unsubscribes detaches the sink, which empties m_handler while it runs.
    ComPtr<EventSink> self(this);
    // Event handlers report their own failures (each component runs its
    // handlers in its guard); nothing reaches the source.
    RunSkipped([&] {
        const EventHandler handler = m_handler;
        handler(id, params);
    });
    return S_OK;
}

HRESULT EventConnection::Assign(IUnknown* source) noexcept
{
    Clear();
    if (!source)
        return S_OK;
    return CatchReturn([&]() -> HRESULT {
        ComPtr<IConnectionPointContainer> container;
        HRESULT hr = source->QueryInterface(IID_PPV_ARGS(&container));
        if (FAILED(hr))
            return hr;
        ComPtr<IConnectionPoint> point;
        hr = container->FindConnectionPoint(m_source, &point);
        if (FAILED(hr))
            return hr;
        auto sink = Make<EventSink>(m_source, m_handler);
        DWORD cookie = 0;
        hr = point->Advise(static_cast<IDispatch*>(sink.Get()), &cookie);
        if (FAILED(hr))
            return hr;
        m_point = point;
        m_sink = sink;
        m_cookie = cookie;
        return S_OK;
    });
}

void EventConnection::Clear() noexcept
{
    if (m_sink)
        m_sink->Detach();
    if (m_point)
        m_point->Unadvise(m_cookie);
    m_point.Reset();
    m_sink.Reset();
    m_cookie = 0;
}

} // namespace com
