// The owners of handles, BSTRs and VARIANTs: what they free, when, and
// exactly once.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "com/ComObject.h"
#include "com/ComRaii.h"

using com::Bstr;
using com::ComPtr;
using com::Variant;

namespace {

// Made-up handles whose closing is recorded instead of done.
std::vector<intptr_t> g_closed;
void RecordClose(HANDLE h) noexcept { g_closed.push_back(reinterpret_cast<intptr_t>(h)); }
using Recorded = com::UniqueAny<HANDLE, RecordClose>;
using RecordedFile = com::UniqueAny<HANDLE, RecordClose, com::MinusOneIsInvalid>;
HANDLE Fake(intptr_t n) { return reinterpret_cast<HANDLE>(n); }
using Closed = std::vector<intptr_t>;

// An object that counts its references and has no default value.
class Counted final : public com::ComObject<Counted, IDispatch> {
  public:
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) noexcept override
    {
        return DISP_E_MEMBERNOTFOUND;
    }
    ULONG Refs() noexcept
    {
        AddRef();
        return Release();
    }
};

} // namespace

TEST(UniqueAny, PutFreesTheHeldHandleAndEveryHandleIsClosedOnce)
{
    g_closed.clear();
    {
        Recorded h(Fake(1));
        HANDLE* slot = h.put();
        EXPECT_EQ(Closed{1}, g_closed);
        EXPECT_EQ(nullptr, *slot);
        *slot = Fake(2);
        *h.put() = Fake(3);
        h.put();
        h.put(); // nothing left to close
        EXPECT_EQ((Closed{1, 2, 3}), g_closed);
        *h.put() = Fake(4);
    }
    EXPECT_EQ((Closed{1, 2, 3, 4}), g_closed);

    g_closed.clear();
    {
        Recorded a(Fake(5));
        Recorded b(std::move(a));
        EXPECT_FALSE(a);
        Recorded c(Fake(6));
        c = std::move(b);
        Recorded& alias = c;
        c = std::move(alias);
        EXPECT_EQ(Fake(5), c.get());
        EXPECT_EQ(Fake(7), Recorded(Fake(7)).release());
        EXPECT_EQ(Closed{6}, g_closed);
    }
    EXPECT_EQ((Closed{6, 5}), g_closed);

    // For file handles "none" is INVALID_HANDLE_VALUE.
    g_closed.clear();
    {
        RecordedFile f;
        EXPECT_FALSE(f);
        EXPECT_EQ(INVALID_HANDLE_VALUE, *f.put());
        *f.put() = Fake(8);
        EXPECT_TRUE(f);
    }
    EXPECT_EQ(Closed{8}, g_closed);

    // The real thing: put() closed the first event before handing out its slot.
    com::UniqueHandle event(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    HANDLE first = event.get();
    HANDLE* slot = event.put();
    DWORD flags = 0;
    EXPECT_FALSE(::GetHandleInformation(first, &flags));
    *slot = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EXPECT_TRUE(::GetHandleInformation(event.get(), &flags));
}

TEST(Bstr, KeepsLengthEmbeddedNulsAndNullApartFromEmpty)
{
    Bstr none;
    EXPECT_EQ(nullptr, none.get());
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(L"", none.str());
    EXPECT_EQ("", none.ansi());
    EXPECT_EQ(nullptr, Bstr(none).get()) << "a copy of a null BSTR is null";
    Bstr empty(L"");
    EXPECT_NE(nullptr, empty.get());
    EXPECT_TRUE(empty.empty());
    EXPECT_NE(nullptr, Bstr(empty).get()) << "a copy of an empty BSTR is an empty BSTR";

    const std::wstring withNuls(L"a\0b\0", 4);
    Bstr wide(withNuls);
    EXPECT_EQ(4u, wide.length());
    EXPECT_EQ(withNuls, wide.view());
    EXPECT_EQ(withNuls, Bstr(wide).str());
    EXPECT_EQ(std::string("a\0b\0", 4), wide.ansi());
    Bstr narrow = Bstr::FromAnsi(std::string_view("x\0y", 3));
    EXPECT_EQ(3u, narrow.length());
    EXPECT_EQ(std::wstring(L"x\0y", 3), narrow.str());
}

TEST(Bstr, ConvertsNonAsciiTextThroughTheAnsiCodePage)
{
    if (::GetACP() != 1252)
        GTEST_SKIP() << "needs the Western European code page, not " << ::GetACP();
    const std::wstring german = L"\u00dcberwachung f\u00fcr Gr\u00fc\u00dfe";
    const std::string ansi = "\xdc"
                             "berwachung f\xfc"
                             "r Gr\xfc\xdf"
                             "e";
    EXPECT_EQ(ansi, Bstr(german).ansi());
    EXPECT_EQ(german, Bstr::FromAnsi(ansi).str());
    EXPECT_EQ(german.size(), Bstr::FromAnsi(ansi).length());
}

TEST(Bstr, MovesTheStringItselfAndPutHandsOutAnEmptySlot)
{
    Bstr a(L"eins");
    BSTR raw = a.get();
    Bstr b(std::move(a));
    EXPECT_EQ(nullptr, a.get());
    Bstr c(L"zwei");
    c = std::move(b);
    EXPECT_EQ(raw, c.get());
    Bstr& alias = c;
    c = std::move(alias);
    c = alias;
    EXPECT_EQ(L"eins", c.str());

    BSTR* slot = c.put();
    EXPECT_EQ(nullptr, *slot);
    ASSERT_EQ(S_OK, ::VarBstrFromI4(42, LOCALE_INVARIANT, 0, slot));
    EXPECT_EQ(L"42", c.str());
}

TEST(Variant, HoldsOneReferenceOfItsOwnThroughCopyMovePutAndClear)
{
    ComPtr<Counted> object = com::Make<Counted>();
    IDispatch* disp = object.Get();
    const ULONG base = object->Refs();
    {
        Variant v(disp);
        Variant copy(v);
        EXPECT_EQ(base + 2, object->Refs());
        Variant moved(std::move(copy));
        EXPECT_EQ(VT_EMPTY, copy.vt);
        moved = v;
        Variant& alias = moved;
        moved = alias;
        EXPECT_EQ(base + 2, object->Refs());
        moved.Clear();
        EXPECT_EQ(VT_EMPTY, moved.vt);
        EXPECT_EQ(base + 1, object->Refs());

        Variant text(L"text");
        text = std::move(v);
        EXPECT_EQ(VT_BSTR, v.vt);
        VARIANT* slot = text.put();
        EXPECT_EQ(VT_EMPTY, slot->vt);
        EXPECT_EQ(base, object->Refs()) << "put() released the object";
        *slot = Variant(static_cast<IUnknown*>(disp)).Detach();
        EXPECT_EQ(base + 1, object->Refs());
    }
    EXPECT_EQ(base, object->Refs());

    // A copy takes the value a reference points to, not the reference.
    long number = 7;
    VARIANT byRef{};
    byRef.vt = VT_I4 | VT_BYREF;
    byRef.plVal = &number;
    Variant value(byRef);
    number = 8;
    EXPECT_EQ(VT_I4, value.vt);
    EXPECT_EQ(7, value.lVal);
}

TEST(Variant, ConversionsOfMismatchedTypesGiveTheFallback)
{
    ComPtr<Counted> object = com::Make<Counted>();
    Variant held(static_cast<IDispatch*>(object.Get()));
    EXPECT_EQ(L"-", held.ToString(L"-")) << "an object without a default value";
    EXPECT_EQ(-1, held.ToLong(-1));
    Variant null;
    null.vt = VT_NULL;
    EXPECT_EQ(L"-", null.ToString(L"-"));
    EXPECT_EQ(-1, null.ToLong(-1));
    EXPECT_EQ(-1, Variant(L"12x").ToLong(-1));
    EXPECT_EQ(-1, Variant(3e9).ToLong(-1)) << "beyond a long";
    EXPECT_EQ(42, Variant(L"42").ToLong(-1));
    EXPECT_TRUE(Variant(L"vielleicht").ToBool(true));
    EXPECT_FALSE(Variant(L"vielleicht").ToBool(false));
    EXPECT_EQ(L"", Variant().ToString(L"-"));
    const std::wstring withNul(L"a\0b", 3);
    EXPECT_EQ(withNul, Variant(withNul).ToString());

    EXPECT_EQ(nullptr, Variant(L"x").ToDispatch().Get());
    EXPECT_EQ(nullptr, Variant(static_cast<IDispatch*>(nullptr)).ToDispatch().Get());
    ComPtr<IStream> stream;
    ASSERT_EQ(S_OK, ::CreateStreamOnHGlobal(nullptr, TRUE, &stream));
    EXPECT_EQ(nullptr, Variant(static_cast<IUnknown*>(stream.Get())).ToDispatch().Get()) << "no IDispatch";
    Variant ref;
    ref.vt = VT_VARIANT | VT_BYREF;
    ref.pvarVal = &held;
    EXPECT_EQ(static_cast<IDispatch*>(object.Get()), ref.ToDispatch().Get());
}
