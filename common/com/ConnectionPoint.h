// Outgoing events: connection points owned by their container object.
//
// A class that raises events lists com::ConnectionPointContainer among its
// interfaces, adds one point per source interface in its constructor, and
// fires through Point(iid).Fire(dispid, {args...}).
#pragma once

#include <ocidl.h>
#include <olectl.h>

#include <initializer_list>
#include <memory>
#include <vector>

#include "com/ComObject.h"

namespace com {

// One connection point. Its lifetime is its container's: AddRef and Release
// go to the container, as a client holding the point keeps the container alive.
class ConnectionPoint final : public IConnectionPoint {
  public:
    ConnectionPoint(IConnectionPointContainer* container, const IID& iid) noexcept : m_container(container), m_iid(iid)
    {
    }
    ConnectionPoint(const ConnectionPoint&) = delete;
    ConnectionPoint& operator=(const ConnectionPoint&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) noexcept override;
    ULONG STDMETHODCALLTYPE AddRef() noexcept override { return m_container->AddRef(); }
    ULONG STDMETHODCALLTYPE Release() noexcept override { return m_container->Release(); }

    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* iid) noexcept override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** container) noexcept override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) noexcept override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) noexcept override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections** out) noexcept override;

    const IID& Iid() const noexcept { return m_iid; }
    size_t SinkCount() const noexcept { return m_sinks.size(); }

    // Calls Invoke(dispid) on every sink in connection order, with the
    // arguments in their natural order. A sink that fails does not stop the
    // others. Returns the number of sinks that failed.
    int Fire(DISPID dispid, std::initializer_list<Variant> args = {}) noexcept;
    int Fire(DISPID dispid, const Variant* args, size_t count) noexcept;

  private:
    struct Sink {
        DWORD cookie;
        ComPtr<IUnknown> unknown;
        ComPtr<IDispatch> dispatch;
    };

    IConnectionPointContainer* m_container; // not owned: the container owns this point
    IID m_iid;
    std::vector<Sink> m_sinks;
    DWORD m_nextCookie = 1;
};

// The IConnectionPointContainer part of an event source.
class ConnectionPointContainer : public IConnectionPointContainer {
  public:
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** out) noexcept override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID riid, IConnectionPoint** out) noexcept override;

    // The point for a source interface added with AddConnectionPoint.
    ConnectionPoint& Point(const IID& iid);

  protected:
    ConnectionPointContainer() = default;
    ~ConnectionPointContainer() = default;
    void AddConnectionPoint(const IID& iid);

  private:
    std::vector<std::unique_ptr<ConnectionPoint>> m_points;
};

} // namespace com

__CRT_UUID_DECL(com::ConnectionPointContainer, 0xb196b284, 0xbab4, 0x101a, 0xb6, 0x9c, 0x00, 0xaa, 0x00, 0x34, 0x1d,
                0x07)
