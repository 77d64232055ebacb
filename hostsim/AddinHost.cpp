#include "AddinHost.h"

#include "Trace.h"
#include "com/Clock.h"

namespace outlooksim {

namespace {

// Calls with the custom argument: an empty array of variants, by reference.
template <class Call>
HRESULT WithCustom(Call call)
{
    com::UniqueSafeArray custom(::SafeArrayCreateVector(VT_VARIANT, 0, 0));
    SAFEARRAY* array = custom.get();
    return call(&array);
}

} // namespace

AddinHost::AddinHost(Trace& trace, IDispatch* application) : m_trace(trace), m_application(application) {}

AddinHost::~AddinHost() { Release(); }

void AddinHost::Step(const wchar_t* name, HRESULT hr)
{
    m_trace.Host(std::wstring(name) + L" -> " + Trace::Hresult(hr));
}

bool AddinHost::Connect(const std::wstring& progId, ext_ConnectMode mode)
{
    Release();
    m_progId = progId;
    m_trace.Host(L"connect " + progId);
    CLSID clsid{};
    HRESULT hr = ::CLSIDFromProgID(progId.c_str(), &clsid);
    if (FAILED(hr)) {
        m_trace.Host(L"CLSIDFromProgID(" + Trace::Quoted(progId) + L") -> " + Trace::Hresult(hr));
        return false;
    }
    m_times = {};
    com::ComPtr<IUnknown> object;
    double start = com::ClockSeconds();
    hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&object));
    m_times.creation = com::ClockSeconds() - start;
    Step(L"CoCreateInstance", hr);
    if (FAILED(hr))
        return false;
    hr = object->QueryInterface(IID__IDTExtensibility2, reinterpret_cast<void**>(m_addin.GetAddressOf()));
    if (FAILED(hr)) {
        Step(L"QueryInterface(IDTExtensibility2)", hr);
        return false;
    }
    start = com::ClockSeconds();
    hr = WithCustom(
        [&](SAFEARRAY** custom) { return m_addin->OnConnection(m_application.Get(), mode, nullptr, custom); });
    m_times.connection = com::ClockSeconds() - start;
    Step(mode == ext_cm_Startup ? L"OnConnection(Application, ext_cm_Startup)"
                                : L"OnConnection(Application, ext_cm_AfterStartup)",
         hr);
    if (FAILED(hr)) {
        // An add-in whose connection fails is not loaded.
        m_trace.Host(L"release " + m_progId);
        m_addin.Reset();
        return false;
    }
    m_connected = true;
    start = com::ClockSeconds();
    hr = WithCustom([&](SAFEARRAY** custom) { return m_addin->OnStartupComplete(custom); });
    m_times.startupComplete = com::ClockSeconds() - start;
    Step(L"OnStartupComplete", hr);
    return true;
}

void AddinHost::Disconnect()
{
    if (!m_addin || !m_connected)
        return;
    m_trace.Host(L"disconnect " + m_progId);
    Step(L"OnBeginShutdown", WithCustom([&](SAFEARRAY** custom) { return m_addin->OnBeginShutdown(custom); }));
    Step(L"OnDisconnection(ext_dm_HostShutdown)",
         WithCustom([&](SAFEARRAY** custom) { return m_addin->OnDisconnection(ext_dm_HostShutdown, custom); }));
    m_connected = false;
}

void AddinHost::Release()
{
    if (!m_addin)
        return;
    Disconnect();
    m_trace.Host(L"release " + m_progId);
    m_addin.Reset();
}

void AddinHost::ReleaseWithoutDisconnect()
{
    if (!m_addin)
        return;
    m_trace.Host(L"release " + m_progId + L" without OnBeginShutdown or OnDisconnection");
    m_connected = false;
    m_addin.Reset();
}

} // namespace outlooksim

namespace outlooksim {

std::wstring AddinHost::LibraryPath(const std::wstring& progId)
{
    CLSID clsid{};
    if (FAILED(::CLSIDFromProgID(progId.c_str(), &clsid)))
        return {};
    wchar_t guid[40] = {};
    ::StringFromGUID2(clsid, guid, 40);
    const std::wstring key = L"CLSID\\" + std::wstring(guid) + L"\\InprocServer32";
    wchar_t path[MAX_PATH] = {};
    DWORD size = sizeof path;
    if (::RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, RRF_RT_REG_SZ, nullptr, path, &size) != ERROR_SUCCESS)
        return {};
    return path;
}

} // namespace outlooksim
