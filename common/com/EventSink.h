// Consuming another object's events: a sink object that forwards Invoke to
// a handler, and a member type that subscribes when assigned and
// unsubscribes when reassigned or cleared.
#pragma once

#include <ocidl.h>

#include <functional>

#include "com/ComObject.h"

namespace com {

using EventHandler = std::function<void(DISPID dispid, DISPPARAMS* params)>;

// Argument i (0 = first, in natural order) of an event call, or a missing marker.
const VARIANT& EventArg(const DISPPARAMS* params, UINT index) noexcept;

class EventSink final : public ComObject<EventSink, IDispatch> {
  public:
    EventSink(const IID& source, EventHandler handler) : m_source(source), m_handler(std::move(handler)) {}

    HRESULT QueryInterfaceExtra(REFIID riid, void** ppv) noexcept;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) noexcept override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                     UINT*) noexcept override;

    // After this, late calls (from a source that still holds the sink) are ignored.
    void Detach() noexcept { m_handler = nullptr; }

  private:
    IID m_source;
    EventHandler m_handler;
};

// One subscription to one source interface of one object.
class EventConnection {
  public:
    EventConnection(const IID& source, EventHandler handler) : m_source(source), m_handler(std::move(handler)) {}
    EventConnection(const EventConnection&) = delete;
    EventConnection& operator=(const EventConnection&) = delete;
    ~EventConnection() { Clear(); }

    // Unsubscribes from the previous object, then subscribes to this one.
    HRESULT Assign(IUnknown* source) noexcept;
    void Clear() noexcept;
    bool Connected() const noexcept { return m_point != nullptr; }

  private:
    IID m_source;
    EventHandler m_handler;
    ComPtr<IConnectionPoint> m_point;
    ComPtr<EventSink> m_sink;
    DWORD m_cookie = 0;
};

// A reference member that is also an event source: assigning it subscribes,
// reassigning or clearing it unsubscribes.
template <class I>
class EventMember {
  public:
    EventMember(const IID& source, EventHandler handler) : m_connection(source, std::move(handler)) {}
    ~EventMember() { Clear(); }

    void Assign(I* object) noexcept
    {
        m_connection.Clear();
        m_object = object;
        if (object)
            m_connection.Assign(object);
    }
    void Clear() noexcept
    {
        m_connection.Clear();
        m_object.Reset();
    }
    // Stops listening but keeps the reference.
    void Unsubscribe() noexcept { m_connection.Clear(); }
    I* Get() const noexcept { return m_object.Get(); }
    I* operator->() const noexcept { return m_object.Get(); }
    explicit operator bool() const noexcept { return m_object != nullptr; }
    bool Subscribed() const noexcept { return m_connection.Connected(); }

  private:
    EventConnection m_connection;
    ComPtr<I> m_object;
};

} // namespace com
