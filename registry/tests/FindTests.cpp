// Find: the byte match with its option bits, the hits delivered through the
// connection point in walk order with their six arguments, Cancel, failures.
#include <olectl.h>

#include "Finder.h"
#include "RegistryTestSupport.h"
#include "com/ComObject.h"
#include "com/EventSink.h"

using com::ComPtr;
using com::Variant;

namespace {

const wchar_t kRegistrySource[] = L"Registry.Registry.1";

// One Found call as the sink saw it.
struct Hit {
    std::wstring key;
    Variant value;
    Variant data;
    Variant dataType;
    Variant dataLength;
    bool cancelOnEntry = false;
};

// A sink that records every Found call; it can set Cancel at call n or fail.
class FoundSink final : public com::ComObject<FoundSink, IDispatch> {
  public:
    FoundSink(std::vector<Hit>* hits, int cancelAt, bool fail) : m_hits(hits), m_cancelAt(cancelAt), m_fail(fail) {}

    HRESULT QueryInterfaceExtra(REFIID riid, void** ppv) noexcept
    {
        if (riid != IID_IRegistryEvents)
            return E_NOINTERFACE;
        *ppv = static_cast<IDispatch*>(this);
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                     UINT*) noexcept override
    {
        if (id != 1 || flags != DISPATCH_METHOD || params->cArgs != 6)
            return DISP_E_MEMBERNOTFOUND;
        const VARIANT& cancel = params->rgvarg[0];
        if (cancel.vt != (VT_BOOL | VT_BYREF))
            return DISP_E_TYPEMISMATCH;
        Hit hit;
        hit.key = params->rgvarg[5].bstrVal;
        hit.value = Variant(params->rgvarg[4]);
        hit.data = Variant(params->rgvarg[3]);
        hit.dataType = Variant(params->rgvarg[2]);
        hit.dataLength = Variant(params->rgvarg[1]);
        hit.cancelOnEntry = *cancel.pboolVal != VARIANT_FALSE;
        m_hits->push_back(std::move(hit));
        if (static_cast<int>(m_hits->size()) == m_cancelAt)
            *cancel.pboolVal = VARIANT_TRUE;
        return m_fail ? E_FAIL : S_OK;
    }

  private:
    std::vector<Hit>* m_hits;
    int m_cancelAt;
    bool m_fail;
};

class Find : public RegistryTest {
  protected:
    void SetUp() override
    {
        RegistryTest::SetUp();
        WriteRaw("Soft", "Path", REG_SZ, Bytes(std::string_view("C:\\abc\0", 7)));
        WriteRaw("Soft", "xPATHy", REG_DWORD, Bytes({1, 0, 0, 0}));
        WriteRaw("Soft\\software", "bin", REG_BINARY, Bytes({9, 1, 0, 0, 0, 9}));
        WriteRaw("Soft\\software", "PATH", REG_SZ, Bytes(std::string_view("abc\0", 4)));
        WriteRaw("Soft\\software", "nothing", REG_NONE, Bytes({1, 0, 0, 0}));
        WriteRaw("other", "two", REG_DWORD, Bytes({2, 0, 0, 0}));
    }
    DWORD Advise(int cancelAt = 0, bool fail = false)
    {
        ComPtr<IConnectionPointContainer> container;
        EXPECT_EQ(S_OK, m_registry.As(&container));
        ComPtr<IConnectionPoint> point;
        EXPECT_EQ(S_OK, container->FindConnectionPoint(IID_IRegistryEvents, &point));
        DWORD cookie = 0;
        EXPECT_EQ(S_OK, point->Advise(com::Make<FoundSink>(&m_hits, cancelAt, fail).Get(), &cookie));
        return cookie;
    }
    HRESULT Run(const VARIANT& what, long options, const std::string& sub = {}, bool subKeys = true)
    {
        m_hits.clear();
        return m_registry->Find(what, com::Bstr(FullPath(sub)).get(), subKeys ? VARIANT_TRUE : VARIANT_FALSE,
                                static_cast<FindOptionConstants>(options));
    }
    // The hits as "key|value" (key relative to the fixture), in order.
    std::vector<std::string> Where() const
    {
        std::vector<std::string> out;
        const std::wstring base = FullPath();
        for (const Hit& hit : m_hits) {
            std::wstring key = hit.key.substr(0, base.size()) == base ? hit.key.substr(base.size()) : hit.key;
            std::wstring value = hit.value.vt == VT_BSTR ? hit.value.bstrVal : L"<empty>";
            out.push_back(com::Narrow(key + L"|" + value));
        }
        return out;
    }

    std::vector<Hit> m_hits;
};

TEST(FindMatch, OptionBits)
{
    auto bytes = [](std::string_view s) {
        return std::span<const BYTE>(reinterpret_cast<const BYTE*>(s.data()), s.size());
    };
    EXPECT_TRUE(reg::Matches(bytes("SOFTWARE"), bytes("Soft"), 0));
    EXPECT_FALSE(reg::Matches(bytes("SOFTWARE"), bytes("Soft"), foMatchCase));
    EXPECT_TRUE(reg::Matches(bytes("MySoftware"), bytes("Soft"), foMatchCase));
    EXPECT_FALSE(reg::Matches(bytes("Sof"), bytes("Soft"), 0)); // the pattern must lie inside
    EXPECT_TRUE(reg::Matches(bytes("path"), bytes("PATH"), foMatchLength));
    EXPECT_FALSE(reg::Matches(bytes("xpath"), bytes("PATH"), foMatchLength));
    EXPECT_FALSE(reg::Matches(bytes("\xC4"), bytes("\xE4"), 0)); // only A to Z are folded
    EXPECT_TRUE(reg::Matches(bytes("[@]"), bytes("[@]"), 0));
    EXPECT_FALSE(reg::Matches(bytes("[`]"), bytes("[@]"), 0));
    EXPECT_TRUE(reg::Matches(bytes("any"), bytes(""), 0));
}

TEST_F(Find, AreasAndOptions)
{
    Advise();
    ASSERT_EQ(S_OK, Run(V(L"Soft"), foKeys));
    EXPECT_EQ((std::vector<std::string>{"\\Soft|<empty>", "\\Soft\\software|<empty>"}), Where());
    ASSERT_EQ(S_OK, Run(V(L"Soft"), foKeys | foMatchCase));
    EXPECT_EQ((std::vector<std::string>{"\\Soft|<empty>"}), Where());
    ASSERT_EQ(S_OK, Run(V(L"Path"), foValues | foMatchLength));
    EXPECT_EQ((std::vector<std::string>{"\\Soft|Path", "\\Soft\\software|PATH"}), Where());
    ASSERT_EQ(S_OK, Run(V(L"abc"), foData | foMatchLength)); // REG_SZ data counts its zero byte
    EXPECT_TRUE(Where().empty());
    ASSERT_EQ(S_OK, Run(V(L"abc"), foMatchCase));
    EXPECT_TRUE(Where().empty());
    ASSERT_EQ(S_OK, Run(V(L"abc"), foMatchCase | foMatchLength));
    EXPECT_TRUE(Where().empty());
    // A 32-bit 1: DWORD values equal to 1, and binary data holding 01 00 00 00; REG_NONE is not searched.
    ASSERT_EQ(S_OK, Run(Variant(1L), foData));
    EXPECT_EQ((std::vector<std::string>{"\\Soft|xPATHy", "\\Soft\\software|bin"}), Where());
    ASSERT_EQ(S_OK, Run(Variant(1L), foData, "Soft", false));
    EXPECT_EQ((std::vector<std::string>{"\\Soft|xPATHy"}), Where());
}

TEST_F(Find, HitsInWalkOrderWithTheirArguments)
{
    Advise();
    ASSERT_EQ(S_OK, Run(V(L"path"), foAll, "Soft"));
    // Key name first, then value by value (name before data), then the subkeys.
    ASSERT_EQ((std::vector<std::string>{"\\Soft|Path", "\\Soft|xPATHy", "\\Soft\\software|PATH"}), Where());
    const Hit& name = m_hits[0];
    EXPECT_EQ(FullPath("Soft"), name.key);
    EXPECT_EQ(VT_EMPTY, name.data.vt);
    EXPECT_EQ(VT_EMPTY, name.dataType.vt);
    EXPECT_EQ(VT_EMPTY, name.dataLength.vt);
    EXPECT_FALSE(name.cancelOnEntry);

    ASSERT_EQ(S_OK, Run(V(L"C:\\"), foData, "Soft"));
    ASSERT_EQ(1u, m_hits.size());
    const Hit& data = m_hits[0];
    ASSERT_EQ(VT_BSTR, data.data.vt);
    EXPECT_STREQ(L"C:\\abc", data.data.bstrVal);
    EXPECT_EQ(VT_I4, data.dataType.vt);
    EXPECT_EQ(REG_SZ, data.dataType.lVal);
    EXPECT_EQ(6, data.dataLength.lVal); // the terminating zero byte is not counted

    ASSERT_EQ(S_OK, Run(V(L"soft"), foKeys, "Soft"));
    ASSERT_EQ(2u, m_hits.size());
    EXPECT_EQ(VT_EMPTY, m_hits[0].value.vt);
}

TEST_F(Find, CancelEndsTheSearch)
{
    Advise(1);
    std::vector<Hit> second;
    {
        ComPtr<IConnectionPointContainer> container;
        ASSERT_EQ(S_OK, m_registry.As(&container));
        ComPtr<IConnectionPoint> point;
        ASSERT_EQ(S_OK, container->FindConnectionPoint(IID_IRegistryEvents, &point));
        DWORD cookie = 0;
        ASSERT_EQ(S_OK, point->Advise(com::Make<FoundSink>(&second, 0, false).Get(), &cookie));
    }
    ASSERT_EQ(S_OK, Run(V(L"a"), foAll));
    EXPECT_EQ(1u, m_hits.size());
    ASSERT_EQ(1u, second.size()); // the later sink gets the same delivery, Cancel already set
    EXPECT_TRUE(second[0].cancelOnEntry);
}

TEST_F(Find, Failures)
{
    Advise(0, true);
    ExpectErrorFrom(Run(V(L"Soft"), foKeys), EMessageFromSystem, kRegistrySource, IID_IRegistry);
    EXPECT_EQ(1u, m_hits.size()); // the failing call ended the search

    Variant null;
    null.vt = VT_NULL;
    ExpectError(Run(null, foAll), EInvalidDataType, kRegistrySource, L"Invalid data type.", IID_IRegistry);
    EXPECT_TRUE(m_hits.empty());
    ExpectError(m_registry->Find(V(L"x"), com::Bstr(L"\\HKXX\\y").get(), VARIANT_TRUE, foAll), EUnknownRootKey,
                kRegistrySource, L"Unknown root key.", IID_IRegistry);

    // A missing start key is skipped silently.
    EXPECT_EQ(S_OK, Run(V(L"x"), foAll, "no such key"));
}

TEST_F(Find, UnknownRegistryTypesEndTheSearchButNotTheExport)
{
    Advise();
    WriteRaw("other", "q", 11, Bytes({1, 0, 0, 0, 0, 0, 0, 0}));
    ExpectError(Run(Variant(2L), foData, "other"), EUnsupportedDataType, kRegistrySource, L"Unsupported data type.",
                IID_IRegistry);
    // Export writes such a value by its type number, and it imports back.
    TempFile file("qword");
    ASSERT_EQ(S_OK, m_registry->Export(file.Name().get(), com::Bstr(FullPath("other")).get(), VARIANT_TRUE));
    EXPECT_NE(std::string::npos, file.Read().find("\r\n\"q\"=hex(b):01,00,00,00,00,00,00,00\r\n"));
}

} // namespace
