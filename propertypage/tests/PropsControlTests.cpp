// The page control as a container meets it: registered as a control,
// created by its ProgID, with the interfaces of an OLE control, and with
// properties that work before it has a window.
#include <gtest/gtest.h>

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "com/ComObject.h"
#include "com/ComRaii.h"
#include "com/LateBound.h"
#include "corvaneProps.h"
#include "outlook.h"

namespace {

std::wstring GuidText(REFGUID guid)
{
    wchar_t text[40] = {};
    ::StringFromGUID2(guid, text, 40);
    return text;
}

// The default value (or the named one) of a key under HKEY_CLASSES_ROOT; nullopt if absent.
std::optional<std::wstring> ClassesValue(const std::wstring& key, const wchar_t* name = nullptr)
{
    wchar_t value[512] = {};
    DWORD size = sizeof value;
    if (::RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return std::nullopt;
    return std::wstring(value);
}

// A client site that answers PropertyPageSite itself, as Outlook's does;
// it has no container. It counts OnStatusChange.
class PageClientSite final : public com::ComObject<PageClientSite, IOleClientSite, PropertyPageSite> {
  public:
    HRESULT QueryInterfaceExtra(REFIID riid, void** ppv) noexcept
    {
        if (riid != IID_PropertyPageSite)
            return E_NOINTERFACE;
        *ppv = static_cast<PropertyPageSite*>(this);
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SaveObject() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE GetMoniker(DWORD, DWORD, IMoniker** out) noexcept override
    {
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE GetContainer(IOleContainer** out) noexcept override
    {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE ShowObject() noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE OnShowWindow(BOOL) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE RequestNewObjectLayout() noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_Application(_Application** value) noexcept override { return Nothing(value); }
    HRESULT STDMETHODCALLTYPE get_Class(OlObjectClass* value) noexcept override
    {
        *value = olPropertyPageSite;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Session(_NameSpace** value) noexcept override { return Nothing(value); }
    HRESULT STDMETHODCALLTYPE get_Parent(IDispatch** value) noexcept override { return Nothing(value); }
    HRESULT STDMETHODCALLTYPE OnStatusChange() noexcept override
    {
        ++statusChanges;
        return S_OK;
    }

    int statusChanges = 0;

  private:
    template <class T>
    static HRESULT Nothing(T** value) noexcept
    {
        *value = nullptr;
        return E_NOTIMPL;
    }
};

// A property bag without properties that records what the control does with it.
class EmptyBag final : public com::ComObject<EmptyBag, IPropertyBag> {
  public:
    HRESULT STDMETHODCALLTYPE Read(LPCOLESTR name, VARIANT*, IErrorLog*) noexcept override
    {
        reads.push_back(name);
        return E_INVALIDARG;
    }
    HRESULT STDMETHODCALLTYPE Write(LPCOLESTR name, VARIANT*) noexcept override
    {
        writes.push_back(name);
        return S_OK;
    }
    std::vector<std::wstring> reads, writes;
};

class PropsControl : public ::testing::Test {
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(SUCCEEDED(::OleInitialize(nullptr)));
        CLSID clsid{};
        ASSERT_EQ(S_OK, ::CLSIDFromProgID(L"corvaneProps.zarqPropMain", &clsid));
        ASSERT_EQ(S_OK, ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&m_page)));
    }
    void TearDown() override
    {
        m_page.Reset();
        ::OleUninitialize();
    }
    bool Flag(const wchar_t* name)
    {
        com::Variant value;
        EXPECT_EQ(S_OK, com::GetProperty(m_page.Get(), name, &value)) << com::Narrow(name);
        return value.ToBool();
    }
    bool Dirty()
    {
        com::ComPtr<PropertyPage> page;
        EXPECT_EQ(S_OK, m_page.As(&page));
        VARIANT_BOOL dirty = 7;
        EXPECT_EQ(S_OK, page->get_Dirty(&dirty));
        return dirty == VARIANT_TRUE;
    }

    com::ComPtr<IDispatch> m_page;
};

TEST_F(PropsControl, IsRegisteredAndBuiltAsAnOleControl)
{
    const std::wstring key = L"CLSID\\" + GuidText(CLSID_zarqPropMain);
    EXPECT_EQ(L"{14EBA9C4-836A-11D5-8062-0000CB711FAB}", GuidText(CLSID_zarqPropMain));
    EXPECT_TRUE(ClassesValue(key + L"\\Control"));
    EXPECT_EQ(L"1.0", ClassesValue(key + L"\\Version").value_or(L""));
    EXPECT_EQ(L"Apartment", ClassesValue(key + L"\\InprocServer32", L"ThreadingModel").value_or(L""));
    EXPECT_EQ(GuidText(LIBID_corvaneProps), ClassesValue(key + L"\\TypeLib").value_or(L""));
    EXPECT_EQ(L"corvaneProps.zarqPropMain", ClassesValue(key + L"\\ProgID").value_or(L""));
    com::ComPtr<IOleObject> ole;
    ASSERT_EQ(S_OK, m_page.As(&ole));
    DWORD misc = 0;
    ASSERT_EQ(S_OK, ole->GetMiscStatus(DVASPECT_CONTENT, &misc));
    EXPECT_EQ(std::to_wstring(misc), ClassesValue(key + L"\\MiscStatus\\1").value_or(L""));
    EXPECT_TRUE(misc & OLEMISC_SETCLIENTSITEFIRST);

    const IID needed[] = {IID_IOleObject,
                          IID_IOleInPlaceObject,
                          IID_IOleInPlaceActiveObject,
                          IID_IOleControl,
                          IID_IPersistStreamInit,
                          IID_IPersistStorage,
                          IID_IPersistPropertyBag,
                          IID_IViewObject2,
                          IID_IProvideClassInfo2,
                          IID_IConnectionPointContainer,
                          IID_ISupportErrorInfo,
                          IID_PropertyPage,
                          IID__zarqPropMain,
                          IID_IOleWindow};
    for (const IID& iid : needed) {
        com::ComPtr<IUnknown> unknown;
        EXPECT_EQ(S_OK, m_page->QueryInterface(iid, reinterpret_cast<void**>(unknown.GetAddressOf())))
            << com::Narrow(GuidText(iid));
    }
    com::ComPtr<IProvideClassInfo2> info;
    ASSERT_EQ(S_OK, m_page.As(&info));
    GUID events{};
    EXPECT_EQ(S_OK, info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events));
    EXPECT_EQ(GuidText(DIID___zarqPropMain), GuidText(events));
    com::ComPtr<IConnectionPointContainer> points;
    ASSERT_EQ(S_OK, m_page.As(&points));
    com::ComPtr<IConnectionPoint> point;
    EXPECT_EQ(S_OK, points->FindConnectionPoint(DIID___zarqPropMain, &point));

    // Outlook takes the tab's title from the standard caption identifier.
    DISPPARAMS none{};
    com::Variant caption;
    ASSERT_EQ(S_OK,
              m_page->Invoke(DISPID_CAPTION, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &caption, nullptr, nullptr));
    EXPECT_EQ(L"\u00DCberwachung", caption.ToString());
}

// The add-in sets the page's properties by name before the page has a
// window; a changed check box runs its click handler unless SkipEvents.
TEST_F(PropsControl, PropertiesWorkBeforeTheWindowAndMarkThePageDirty)
{
    com::ComPtr<PropertyPage> page;
    ASSERT_EQ(S_OK, m_page.As(&page));
    BSTR helpFile = reinterpret_cast<BSTR>(0xdeadbeef);
    long helpContext = 0x0badf00d;
    EXPECT_EQ(S_OK, page->GetPageInfo(&helpFile, &helpContext));
    EXPECT_EQ(reinterpret_cast<BSTR>(0xdeadbeef), helpFile); // the page has no help
    EXPECT_EQ(0x0badf00d, helpContext);

    EXPECT_FALSE(Dirty());
    EXPECT_EQ(S_OK, com::PutProperty(m_page.Get(), L"SkipEvents", com::Variant(true)));
    for (const wchar_t* name : {L"ChangeCursor", L"PlaySound", L"ShowTrayIcon", L"UseDefaultSound"})
        EXPECT_EQ(S_OK, com::PutProperty(m_page.Get(), name, com::Variant(true))) << com::Narrow(name);
    EXPECT_EQ(S_OK, com::PutProperty(m_page.Get(), L"SoundFile", com::Variant(L"C:\\ding.wav")));
    EXPECT_FALSE(Dirty()) << "SkipEvents keeps the handlers from running";
    EXPECT_TRUE(Flag(L"PlaySound"));
    EXPECT_TRUE(Flag(L"UseDefaultSound"));
    com::Variant file;
    EXPECT_EQ(S_OK, com::GetProperty(m_page.Get(), L"SoundFile", &file));
    EXPECT_EQ(L"C:\\ding.wav", file.ToString());

    EXPECT_EQ(S_OK, com::PutProperty(m_page.Get(), L"SkipEvents", com::Variant(false)));
    EXPECT_EQ(S_OK, com::PutProperty(m_page.Get(), L"ChangeCursor", com::Variant(true)));
    EXPECT_FALSE(Dirty()) << "an unchanged value runs no handler";
    EXPECT_EQ(S_OK, com::PutProperty(m_page.Get(), L"WatchFolder", com::Variant(true)));
    EXPECT_TRUE(Dirty());
    EXPECT_TRUE(Flag(L"WatchFolder"));
    EXPECT_EQ(S_OK, com::CallMethod(m_page.Get(), L"UpdateControlStates"));

    // Without the folder and the collection Apply changes nothing, and the page stays dirty.
    EXPECT_EQ(S_OK, page->Apply());
    EXPECT_TRUE(Dirty());
}

} // namespace

// The page's site comes from the client site that SetClientSite hands it
// (its container has none here): a change tells the site; no site, or a
// closed page, tells nobody; a new site replaces the old one.
TEST_F(PropsControl, TakesItsSiteFromTheClientSite)
{
    com::ComPtr<IOleObject> ole;
    ASSERT_EQ(S_OK, m_page.As(&ole));
    auto site = com::Make<PageClientSite>();
    ASSERT_EQ(S_OK, ole->SetClientSite(site.Get()));
    EXPECT_EQ(S_OK, com::PutProperty(m_page.Get(), L"WatchFolder", com::Variant(true)));
    EXPECT_EQ(1, site->statusChanges);

    ASSERT_EQ(S_OK, ole->SetClientSite(nullptr));
    EXPECT_EQ(S_OK, com::PutProperty(m_page.Get(), L"WatchFolder", com::Variant(false)));
    EXPECT_EQ(1, site->statusChanges) << "without a site the page tells nobody";

    auto late = com::Make<PageClientSite>();
    ASSERT_EQ(S_OK, ole->SetClientSite(late.Get()));
    EXPECT_EQ(S_OK, com::PutProperty(m_page.Get(), L"WatchFolder", com::Variant(true)));
    EXPECT_EQ(1, late->statusChanges) << "a new site is taken";

    ASSERT_EQ(S_OK, ole->Close(OLECLOSE_NOSAVE));
    EXPECT_EQ(S_OK, com::PutProperty(m_page.Get(), L"WatchFolder", com::Variant(false)));
    EXPECT_EQ(1, late->statusChanges) << "a closed page has let go of its site";
    EXPECT_EQ(1, site->statusChanges) << "a site replaced is not told";
    ole->SetClientSite(nullptr);
}

// Containers initialize a control from a stream, a storage or a property
// bag: an empty one initializes the page, saving writes nothing, and the
// page is never dirty for its container.
TEST_F(PropsControl, InitializesFromAnyStoreAndSavesNothing)
{
    com::ComPtr<IPersistStorage> storage;
    ASSERT_EQ(S_OK, m_page.As(&storage));
    com::ComPtr<IPersistPropertyBag> bag;
    ASSERT_EQ(S_OK, m_page.As(&bag));
    EXPECT_EQ(E_POINTER, storage->Load(nullptr));
    EXPECT_EQ(E_POINTER, bag->Load(nullptr, nullptr));

    com::ComPtr<ILockBytes> bytes;
    ASSERT_EQ(S_OK, ::CreateILockBytesOnHGlobal(nullptr, TRUE, &bytes));
    com::ComPtr<IStorage> store;
    ASSERT_EQ(S_OK, ::StgCreateDocfileOnILockBytes(bytes.Get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                                                   &store));
    EXPECT_EQ(S_OK, storage->Load(store.Get()));
    EXPECT_EQ(S_FALSE, storage->IsDirty());
    EXPECT_EQ(S_OK, storage->Save(store.Get(), TRUE));
    EXPECT_EQ(S_OK, storage->SaveCompleted(nullptr));
    com::ComPtr<IEnumSTATSTG> elements;
    ASSERT_EQ(S_OK, store->EnumElements(0, nullptr, 0, &elements));
    STATSTG element{};
    ULONG fetched = 7;
    EXPECT_EQ(S_FALSE, elements->Next(1, &element, &fetched));
    EXPECT_EQ(0u, fetched) << "the storage stays empty";

    auto properties = com::Make<EmptyBag>();
    EXPECT_EQ(S_OK, bag->Load(properties.Get(), nullptr));
    EXPECT_EQ(S_OK, bag->Save(properties.Get(), TRUE, TRUE));
    EXPECT_TRUE(properties->writes.empty());

    // Initialized once, the page works as before.
    EXPECT_EQ(S_OK, com::PutProperty(m_page.Get(), L"WatchFolder", com::Variant(true)));
    EXPECT_TRUE(Flag(L"WatchFolder"));
    EXPECT_TRUE(Dirty());
    EXPECT_EQ(S_FALSE, storage->IsDirty()) << "nothing of the page is kept in the store";
}
