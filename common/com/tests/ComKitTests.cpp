// The COM support kit through a real COM boundary: the probe server is
// created by ProgID from its registered DLL, as any client would.
#include <gtest/gtest.h>

#include <olectl.h>

#include <string>
#include <vector>

#include "com/AutomationValues.h"
#include "com/ComObject.h"
#include "com/ComRaii.h"
#include "com/EventSink.h"
#include "com/LateBound.h"
#include "kitprobe.h"

using com::Bstr;
using com::ComPtr;
using com::Variant;

namespace {

class ComKit : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
        CLSID clsid{};
        ASSERT_EQ(S_OK, ::CLSIDFromProgID(L"corvaneKit.Probe", &clsid));
        ASSERT_EQ(S_OK, ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&m_probe)));
        ASSERT_EQ(S_OK, m_probe.As(&m_disp));
    }
    void TearDown() override
    {
        m_disp.Reset();
        m_probe.Reset();
        ::CoUninitialize();
    }

    ComPtr<IKitProbe> m_probe;
    ComPtr<IDispatch> m_disp;
};

ULONG RefCount(IUnknown* unknown)
{
    unknown->AddRef();
    return unknown->Release();
}

// A sink that records the events it receives, or fails every call.
class RecordingSink final : public com::ComObject<RecordingSink, IDispatch> {
  public:
    RecordingSink(std::vector<std::wstring>* log, std::wstring name, bool fail)
        : m_log(log), m_name(std::move(name)), m_fail(fail)
    {
    }
    HRESULT QueryInterfaceExtra(REFIID riid, void** ppv) noexcept
    {
        if (riid != DIID_DKitProbeEvents)
            return E_NOINTERFACE;
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) noexcept override
    {
        Variant value(com::EventArg(params, 0));
        Variant text(com::EventArg(params, 1));
        m_log->push_back(m_name + L":" + std::to_wstring(id) + L":" + value.ToString() + L":" + text.ToString());
        return m_fail ? E_FAIL : S_OK;
    }

  private:
    std::vector<std::wstring>* m_log;
    std::wstring m_name;
    bool m_fail;
};

ComPtr<IConnectionPoint> ProbePoint(IUnknown* probe)
{
    ComPtr<IConnectionPointContainer> container;
    EXPECT_EQ(S_OK, probe->QueryInterface(IID_PPV_ARGS(&container)));
    ComPtr<IConnectionPoint> point;
    EXPECT_EQ(S_OK, container->FindConnectionPoint(DIID_DKitProbeEvents, &point));
    return point;
}

} // namespace

TEST_F(ComKit, QueryInterfaceFollowsTheIdentityAndRefCountRules)
{
    ComPtr<IUnknown> viaProbe, viaDisp, viaContainer;
    ASSERT_EQ(S_OK, m_probe.As(&viaProbe));
    ASSERT_EQ(S_OK, m_disp.As(&viaDisp));
    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(S_OK, m_probe.As(&container));
    ASSERT_EQ(S_OK, container.As(&viaContainer));
    EXPECT_EQ(viaProbe.Get(), viaDisp.Get());
    EXPECT_EQ(viaProbe.Get(), viaContainer.Get());

    ComPtr<ISupportErrorInfo> support;
    EXPECT_EQ(S_OK, m_probe.As(&support));
    EXPECT_EQ(S_OK, support->InterfaceSupportsErrorInfo(IID_IKitProbe));
    EXPECT_EQ(S_FALSE, support->InterfaceSupportsErrorInfo(IID_IStream));

    void* poisoned = reinterpret_cast<void*>(0xdeadbeef);
    EXPECT_EQ(E_NOINTERFACE, m_probe->QueryInterface(IID_IStream, &poisoned));
    EXPECT_EQ(nullptr, poisoned);
    EXPECT_EQ(E_POINTER, m_probe->QueryInterface(IID_IUnknown, nullptr));

    ULONG before = RefCount(m_probe.Get());
    {
        ComPtr<IDispatch> extra;
        ASSERT_EQ(S_OK, m_probe.As(&extra));
        EXPECT_EQ(before + 1, RefCount(m_probe.Get()));
    }
    EXPECT_EQ(before, RefCount(m_probe.Get()));
}

TEST_F(ComKit, OutHandsOutAComPtrsObjectWithItsOwnReference)
{
    const ULONG before = RefCount(m_probe.Get());
    EXPECT_EQ(E_POINTER, com::Out(static_cast<IKitProbe**>(nullptr), m_probe));
    EXPECT_EQ(before, RefCount(m_probe.Get()));

    IKitProbe* out = reinterpret_cast<IKitProbe*>(0xdeadbeef);
    ASSERT_EQ(S_OK, com::Out(&out, m_probe));
    EXPECT_EQ(m_probe.Get(), out);
    EXPECT_EQ(before + 1, RefCount(m_probe.Get()));
    out->Release();

    out = reinterpret_cast<IKitProbe*>(0xdeadbeef);
    EXPECT_EQ(S_OK, com::Out(&out, ComPtr<IKitProbe>()));
    EXPECT_EQ(nullptr, out);
}

TEST_F(ComKit, DispatchByNameWithOptionalArgumentsAndPropertyPutByReference)
{
    ASSERT_EQ(S_OK, com::PutProperty(m_disp.Get(), L"Name", Variant(L"probe")));
    Variant name;
    ASSERT_EQ(S_OK, com::GetProperty(m_disp.Get(), L"Name", &name));
    EXPECT_EQ(L"probe", name.ToString());

    Variant joined;
    ASSERT_EQ(S_OK, com::CallMethod(m_disp.Get(), L"Join", {Variant(L"a")}, &joined));
    EXPECT_EQ(L"a|<missing>|<missing>", joined.ToString());
    ASSERT_EQ(S_OK, com::CallMethod(m_disp.Get(), L"Join", {Variant(L"a"), Variant(2L)}, &joined));
    EXPECT_EQ(L"a|2|<missing>", joined.ToString());
    ASSERT_EQ(S_OK,
              com::CallMethod(m_disp.Get(), L"Join", {Variant(L"a"), Variant::Missing(), Variant(L"c")}, &joined));
    EXPECT_EQ(L"a|<missing>|c", joined.ToString());

    // Names are looked up without regard to letter case, as in Automation.
    ASSERT_EQ(S_OK, com::CallMethod(m_disp.Get(), L"JOIN", {Variant(L"x")}, &joined));

    DISPID id = 0;
    EXPECT_EQ(DISP_E_UNKNOWNNAME, com::DispIdOf(m_disp.Get(), L"NoSuchMember", &id));

    // Target is set by reference only.
    ComPtr<IDispatch> other;
    {
        CLSID clsid{};
        ASSERT_EQ(S_OK, ::CLSIDFromProgID(L"corvaneKit.Probe", &clsid));
        ASSERT_EQ(S_OK, ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&other)));
    }
    ASSERT_EQ(S_OK, com::PutPropertyRef(m_disp.Get(), L"Target", other.Get()));
    ComPtr<IDispatch> target = com::GetObjectProperty(m_disp.Get(), L"Target");
    ComPtr<IUnknown> a, b;
    ASSERT_TRUE(target);
    target.As(&a);
    other.As(&b);
    EXPECT_EQ(a.Get(), b.Get());
    EXPECT_NE(S_OK, com::PutProperty(m_disp.Get(), L"Target", Variant(static_cast<IDispatch*>(other.Get()))));
}

TEST_F(ComKit, ErrorInformationReachesEarlyAndLateBoundCallers)
{
    const HRESULT code = static_cast<HRESULT>(0x80040005);
    // Early bound: the HRESULT and the thread's IErrorInfo.
    EXPECT_EQ(code, m_probe->Fail(code, Bstr(L"Boom").get()));
    ComPtr<IErrorInfo> info;
    ASSERT_EQ(S_OK, ::GetErrorInfo(0, &info));
    Bstr description, source;
    GUID iid{};
    info->GetDescription(description.put());
    info->GetSource(source.put());
    info->GetGUID(&iid);
    EXPECT_EQ(L"Boom", description.str());
    EXPECT_EQ(L"corvaneKit.Probe.1", source.str());
    EXPECT_TRUE(iid == IID_IKitProbe);

    // Late bound: EXCEPINFO carries the same.
    Variant args[] = {Variant(L"Late failure"), Variant(static_cast<long>(code))};
    DISPID id = 0;
    ASSERT_EQ(S_OK, com::DispIdOf(m_disp.Get(), L"Fail", &id));
    DISPPARAMS params{args, nullptr, 2, 0};
    EXCEPINFO excep{};
    excep.scode = static_cast<SCODE>(0xdeadbeef);
    HRESULT hr = m_disp->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, &excep, nullptr);
    EXPECT_EQ(DISP_E_EXCEPTION, hr);
    EXPECT_EQ(code, excep.scode);
    EXPECT_STREQ(L"Late failure", excep.bstrDescription);
    EXPECT_STREQ(L"corvaneKit.Probe.1", excep.bstrSource);
    ::SysFreeString(excep.bstrDescription);
    ::SysFreeString(excep.bstrSource);
    ::SysFreeString(excep.bstrHelpFile);

    // The late-binding helper hands back the code and the text.
    std::wstring text;
    EXPECT_EQ(code, com::CallMethod(m_disp.Get(), L"Fail", {Variant(static_cast<long>(code)), Variant(L"Again")},
                                    nullptr, &text));
    EXPECT_EQ(L"Again", text);

    // A method that succeeds leaves no stale error behind.
    ::SetErrorInfo(0, nullptr);
    Variant name;
    ASSERT_EQ(S_OK, com::GetProperty(m_disp.Get(), L"Name", &name));
    ComPtr<IErrorInfo> none;
    EXPECT_EQ(S_FALSE, ::GetErrorInfo(0, &none));
}

TEST_F(ComKit, ConnectionPointsFireInConnectionOrderAndTolerateFailingSinks)
{
    ComPtr<IConnectionPoint> point = ProbePoint(m_probe.Get());
    ASSERT_TRUE(point);
    std::vector<std::wstring> log;
    auto first = com::Make<RecordingSink>(&log, L"first", false);
    auto failing = com::Make<RecordingSink>(&log, L"failing", true);
    auto last = com::Make<RecordingSink>(&log, L"last", false);
    DWORD c1 = 0, c2 = 0, c3 = 0;
    ASSERT_EQ(S_OK, point->Advise(static_cast<IDispatch*>(first.Get()), &c1));
    ASSERT_EQ(S_OK, point->Advise(static_cast<IDispatch*>(failing.Get()), &c2));
    ASSERT_EQ(S_OK, point->Advise(static_cast<IDispatch*>(last.Get()), &c3));
    EXPECT_TRUE(c1 != c2 && c2 != c3 && c1 != c3);

    m_probe->put_Name(Bstr(L"n").get());
    ASSERT_EQ(S_OK, m_probe->Raise(7));
    std::vector<std::wstring> expected{L"first:1:7:n", L"failing:1:7:n", L"last:1:7:n"};
    EXPECT_EQ(expected, log);

    ComPtr<IEnumConnections> connections;
    ASSERT_EQ(S_OK, point->EnumConnections(&connections));
    CONNECTDATA data[4] = {};
    ULONG fetched = 0;
    EXPECT_EQ(S_FALSE, connections->Next(4, data, &fetched));
    EXPECT_EQ(3u, fetched);
    EXPECT_EQ(c1, data[0].dwCookie);
    for (ULONG i = 0; i < fetched; ++i)
        data[i].pUnk->Release();

    log.clear();
    ASSERT_EQ(S_OK, point->Unadvise(c2));
    EXPECT_EQ(CONNECT_E_NOCONNECTION, point->Unadvise(c2));
    ASSERT_EQ(S_OK, m_probe->Raise(8));
    expected = {L"first:1:8:n", L"last:1:8:n"};
    EXPECT_EQ(expected, log);
    point->Unadvise(c1);
    point->Unadvise(c3);

    // A sink that does not answer the event interface cannot connect.
    auto plain = com::Make<com::EventSink>(IID_IStream, com::EventHandler());
    DWORD cookie = 0xdeadbeef;
    EXPECT_EQ(CONNECT_E_CANNOTCONNECT, point->Advise(static_cast<IDispatch*>(plain.Get()), &cookie));
    EXPECT_EQ(0u, cookie);

    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(S_OK, m_probe.As(&container));
    ComPtr<IConnectionPoint> none;
    EXPECT_EQ(CONNECT_E_NOCONNECTION, container->FindConnectionPoint(IID_IStream, &none));
    ComPtr<IEnumConnectionPoints> points;
    ASSERT_EQ(S_OK, container->EnumConnectionPoints(&points));
    IConnectionPoint* found[2] = {};
    EXPECT_EQ(S_FALSE, points->Next(2, found, &fetched));
    ASSERT_EQ(1u, fetched);
    IID iid{};
    found[0]->GetConnectionInterface(&iid);
    EXPECT_TRUE(iid == DIID_DKitProbeEvents);
    found[0]->Release();
}

TEST_F(ComKit, EventMemberSubscribesOnAssignAndUnsubscribesOnClear)
{
    std::vector<long> seen;
    com::EventMember<IKitProbe> member(DIID_DKitProbeEvents, [&](DISPID, DISPPARAMS* params) {
        seen.push_back(Variant(com::EventArg(params, 0)).ToLong());
    });
    member.Assign(m_probe.Get());
    EXPECT_TRUE(member.Subscribed());
    m_probe->Raise(1);
    member.Assign(nullptr);
    EXPECT_FALSE(member.Subscribed());
    m_probe->Raise(2);
    member.Assign(m_probe.Get());
    m_probe->Raise(3);
    member.Clear();
    m_probe->Raise(4);
    EXPECT_EQ((std::vector<long>{1, 3}), seen);
    ComPtr<IConnectionPoint> point = ProbePoint(m_probe.Get());
    ComPtr<IEnumConnections> connections;
    ASSERT_EQ(S_OK, point->EnumConnections(&connections));
    CONNECTDATA data{};
    EXPECT_EQ(S_FALSE, connections->Next(1, &data, nullptr));
}

TEST_F(ComKit, VariantEnumeratorNextSkipResetClone)
{
    for (long i = 1; i <= 5; ++i)
        ASSERT_EQ(S_OK, com::CallMethod(m_disp.Get(), L"AddItem", {Variant(i * 10)}));
    Variant enumVar;
    ASSERT_EQ(S_OK, com::InvokeByName(m_disp.Get(), L"_NewEnum", DISPATCH_PROPERTYGET, nullptr, 0, &enumVar));
    ASSERT_EQ(VT_UNKNOWN, enumVar.vt);
    ComPtr<IEnumVARIANT> e;
    ASSERT_EQ(S_OK, enumVar.punkVal->QueryInterface(IID_PPV_ARGS(&e)));

    VARIANT out[3];
    ULONG fetched = 99;
    ASSERT_EQ(S_OK, e->Next(2, out, &fetched));
    EXPECT_EQ(2u, fetched);
    EXPECT_EQ(10, out[0].lVal);
    EXPECT_EQ(20, out[1].lVal);
    EXPECT_EQ(S_OK, e->Skip(1)); // skips 30

    ComPtr<IEnumVARIANT> clone;
    ASSERT_EQ(S_OK, e->Clone(&clone));
    ASSERT_EQ(S_FALSE, e->Next(3, out, &fetched));
    EXPECT_EQ(2u, fetched);
    EXPECT_EQ(40, out[0].lVal);
    EXPECT_EQ(50, out[1].lVal);
    EXPECT_EQ(S_FALSE, e->Next(1, out, &fetched));
    EXPECT_EQ(0u, fetched);

    // The clone kept the position and moves on its own.
    ASSERT_EQ(S_OK, clone->Next(1, out, nullptr));
    EXPECT_EQ(40, out[0].lVal);
    EXPECT_EQ(S_FALSE, clone->Skip(5));
    EXPECT_EQ(S_FALSE, clone->Next(1, out, &fetched));

    ASSERT_EQ(S_OK, e->Reset());
    ASSERT_EQ(S_OK, e->Next(1, out, nullptr));
    EXPECT_EQ(10, out[0].lVal);

    // A snapshot: items added later are not enumerated.
    com::CallMethod(m_disp.Get(), L"AddItem", {Variant(60L)});
    e->Reset();
    EXPECT_EQ(S_OK, e->Skip(5));
    EXPECT_EQ(S_FALSE, e->Next(1, out, &fetched));
}

TEST(ComKitServer, RegistersAndUnregistersItsClassesAndTypeLibrary)
{
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    com::UniqueHModule dll(::LoadLibraryW(L"kitprobe.dll"));
    ASSERT_TRUE(dll);
    using Entry = HRESULT(__stdcall*)();
    auto reg = reinterpret_cast<Entry>(::GetProcAddress(dll.get(), "DllRegisterServer"));
    auto unreg = reinterpret_cast<Entry>(::GetProcAddress(dll.get(), "DllUnregisterServer"));
    auto canUnload = reinterpret_cast<Entry>(::GetProcAddress(dll.get(), "DllCanUnloadNow"));
    ASSERT_TRUE(reg && unreg && canUnload);

    ASSERT_EQ(S_OK, unreg());
    CLSID clsid{};
    EXPECT_NE(S_OK, ::CLSIDFromProgID(L"corvaneKit.Probe", &clsid));
    com::UniqueHKey key;
    EXPECT_NE(ERROR_SUCCESS, ::RegOpenKeyExW(HKEY_CLASSES_ROOT, L"CLSID\\{5C1A3E13-6B2F-4C7E-9D11-0A7E4B2C9F01}", 0,
                                             KEY_READ, key.put()));
    ComPtr<ITypeLib> lib;
    EXPECT_FALSE(SUCCEEDED(::LoadRegTypeLib(LIBID_KitProbeLib, 1, 0, 0, &lib)));

    ASSERT_EQ(S_OK, reg());
    ASSERT_EQ(S_OK, ::CLSIDFromProgID(L"corvaneKit.Probe", &clsid));
    EXPECT_TRUE(clsid == CLSID_KitProbe);
    ASSERT_EQ(S_OK, ::CLSIDFromProgID(L"corvaneKit.Probe.1", &clsid));
    wchar_t value[MAX_PATH] = {};
    LONG size = sizeof(value);
    ASSERT_EQ(ERROR_SUCCESS, ::RegQueryValueW(HKEY_CLASSES_ROOT, L"corvaneKit.Probe\\CurVer", value, &size));
    EXPECT_STREQ(L"corvaneKit.Probe.1", value);
    DWORD bytes = sizeof(value);
    ASSERT_EQ(ERROR_SUCCESS,
              ::RegGetValueW(HKEY_CLASSES_ROOT, L"CLSID\\{5C1A3E13-6B2F-4C7E-9D11-0A7E4B2C9F01}\\InprocServer32",
                             L"ThreadingModel", RRF_RT_REG_SZ, nullptr, value, &bytes));
    EXPECT_STREQ(L"Apartment", value);
    EXPECT_TRUE(SUCCEEDED(::LoadRegTypeLib(LIBID_KitProbeLib, 1, 0, 0, &lib)));

    EXPECT_EQ(S_OK, canUnload());
    // With every object gone and no lock the server may be unloaded.
    using GetClassObject = HRESULT(__stdcall*)(REFCLSID, REFIID, void**);
    auto getClassObject = reinterpret_cast<GetClassObject>(::GetProcAddress(dll.get(), "DllGetClassObject"));
    ASSERT_TRUE(getClassObject);
    {
        ComPtr<IClassFactory> factory;
        void* poisoned = reinterpret_cast<void*>(0xdeadbeef);
        EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, getClassObject(IID_IStream, IID_IClassFactory, &poisoned));
        EXPECT_EQ(nullptr, poisoned);
        ASSERT_EQ(S_OK, getClassObject(CLSID_KitProbe, IID_PPV_ARGS(&factory)));
        ComPtr<IKitProbe> probe;
        EXPECT_EQ(CLASS_E_NOAGGREGATION, factory->CreateInstance(factory.Get(), IID_PPV_ARGS(&probe)));
        ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_PPV_ARGS(&probe)));
        factory->LockServer(TRUE);
        factory.Reset();
        probe.Reset();
        EXPECT_EQ(S_FALSE, canUnload());
        ASSERT_EQ(S_OK, getClassObject(CLSID_KitProbe, IID_PPV_ARGS(&factory)));
        factory->LockServer(FALSE);
    }
    EXPECT_EQ(S_OK, canUnload());
    lib.Reset();
    ::CoUninitialize();
}
