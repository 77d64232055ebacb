#include "com/ConnectionPoint.h"

#include "com/SnapshotEnum.h"

namespace com {

namespace {

struct Connection {
    ComPtr<IUnknown> sink;
    DWORD cookie;
};
struct ConnectionCopy {
    static void Copy(CONNECTDATA* to, const Connection& from) noexcept
    {
        to->pUnk = from.sink.Get();
        to->dwCookie = from.cookie;
        if (to->pUnk)
            to->pUnk->AddRef();
    }
};
using ConnectionsEnum = SnapshotEnum<IEnumConnections, CONNECTDATA, Connection, ConnectionCopy>;

// Holds its point's container alive for as long as the enumerator lives.
struct PointCopy {
    static void Copy(IConnectionPoint** to, const ComPtr<IConnectionPoint>& from) noexcept
    {
        *to = from.Get();
        if (*to)
            (*to)->AddRef();
    }
};
using PointsEnum = SnapshotEnum<IEnumConnectionPoints, IConnectionPoint*, ComPtr<IConnectionPoint>, PointCopy>;

} // namespace

HRESULT ConnectionPoint::QueryInterface(REFIID riid, void** ppv) noexcept
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IConnectionPoint) {
        *ppv = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
}

HRESULT ConnectionPoint::GetConnectionInterface(IID* iid) noexcept
{
    if (!iid)
        return E_POINTER;
    *iid = m_iid;
    return S_OK;
}

HRESULT ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) noexcept
{
    if (!container)
        return E_POINTER;
    *container = m_container;
    m_container->AddRef();
    return S_OK;
}

HRESULT ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) noexcept
{
    if (cookie)
        *cookie = 0;
    if (!sink || !cookie)
        return E_POINTER;
    return CatchReturn([&]() -> HRESULT {
        Sink entry{m_nextCookie, nullptr, nullptr};
        if (FAILED(sink->QueryInterface(m_iid, reinterpret_cast<void**>(entry.unknown.GetAddressOf()))))
            return CONNECT_E_CANNOTCONNECT;
        // Events are delivered through IDispatch::Invoke.
        if (FAILED(entry.unknown.As(&entry.dispatch)))
            return CONNECT_E_CANNOTCONNECT;
        m_sinks.push_back(std::move(entry));
        *cookie = m_nextCookie++;
        return S_OK;
    });
}

HRESULT ConnectionPoint::Unadvise(DWORD cookie) noexcept
{
    for (auto it = m_sinks.begin(); it != m_sinks.end(); ++it) {
        if (it->cookie == cookie) {
            Sink gone = std::move(*it); // released after the list is consistent again
            m_sinks.erase(it);
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

HRESULT ConnectionPoint::EnumConnections(IEnumConnections** out) noexcept
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    return CatchReturn([&]() -> HRESULT {
        auto items = std::make_shared<std::vector<Connection>>();
        for (const Sink& s : m_sinks)
            items->push_back(Connection{s.unknown, s.cookie});
        *out = Make<ConnectionsEnum>(std::move(items)).Detach();
        return S_OK;
    });
}

int ConnectionPoint::Fire(DISPID dispid, std::initializer_list<Variant> args) noexcept
{
    return Fire(dispid, args.begin(), args.size());
}

int ConnectionPoint::Fire(DISPID dispid, const Variant* args, size_t count) noexcept
{
    try {
        // Sinks may unadvise while the event runs: call a snapshot.
        std::vector<ComPtr<IDispatch>> sinks;
        sinks.reserve(m_sinks.size());
        for (const Sink& s : m_sinks)
            sinks.push_back(s.dispatch);
        // DISPPARAMS holds the arguments last to first.
        std::vector<VARIANT> reversed(count);
        for (size_t i = 0; i < count; ++i)
            reversed[count - 1 - i] = args[i];
        int failed = 0;
        for (const auto& sink : sinks) {
            DISPPARAMS params{reversed.empty() ? nullptr : reversed.data(), nullptr, static_cast<UINT>(count), 0};
            Variant result;
            HRESULT hr = sink->Invoke(dispid, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, &result, nullptr,
                                      nullptr);
            if (FAILED(hr))
                ++failed;
        }
        return failed;
    } catch (...) {
        return -1;
    }
}

HRESULT ConnectionPointContainer::EnumConnectionPoints(IEnumConnectionPoints** out) noexcept
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    return CatchReturn([&]() -> HRESULT {
        auto items = std::make_shared<std::vector<ComPtr<IConnectionPoint>>>();
        for (const auto& p : m_points)
            items->push_back(p.get());
        *out = Make<PointsEnum>(std::move(items)).Detach();
        return S_OK;
    });
}

HRESULT ConnectionPointContainer::FindConnectionPoint(REFIID riid, IConnectionPoint** out) noexcept
{
    if (!out)
        return E_POINTER;
    *out = nullptr;
    for (const auto& p : m_points) {
        if (p->Iid() == riid) {
            *out = p.get();
            p->AddRef();
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

ConnectionPoint& ConnectionPointContainer::Point(const IID& iid)
{
    for (const auto& p : m_points)
        if (p->Iid() == iid)
            return *p;
    throw ComError(CONNECT_E_NOCONNECTION);
}

void ConnectionPointContainer::AddConnectionPoint(const IID& iid)
{
    m_points.push_back(std::make_unique<ConnectionPoint>(this, iid));
}

} // namespace com
