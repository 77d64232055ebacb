// VarFromData, DataAs and LetData on their own, without the registry.
#include <gtest/gtest.h>

#include <cstring>

#include "DataConversion.h"
#include "RovaneInterfaces.h"
#include "com/ComError.h"

using namespace reg;
using com::Variant;

namespace {

HRESULT Failure(auto&& call)
{
    try {
        call();
        return S_OK;
    } catch (const com::ComError& e) {
        return e.hr();
    }
}

std::vector<BYTE> ArrayBytes(const VARIANT& v, size_t elementSize)
{
    EXPECT_TRUE(v.vt & VT_ARRAY);
    EXPECT_EQ(1u, ::SafeArrayGetDim(v.parray));
    EXPECT_EQ(0, v.parray->rgsabound[0].lLbound);
    std::vector<BYTE> bytes(v.parray->rgsabound[0].cElements * elementSize);
    std::memcpy(bytes.data(), v.parray->pvData, bytes.size());
    return bytes;
}

std::vector<BYTE> B(std::initializer_list<int> values)
{
    std::vector<BYTE> out;
    for (int v : values)
        out.push_back(static_cast<BYTE>(v));
    return out;
}

TEST(DataConversion, NaturalForms)
{
    Variant text = VarFromData(REG_SZ, B({'a', 'b', 0}));
    ASSERT_EQ(VT_BSTR, text.vt);
    EXPECT_STREQ(L"ab", text.bstrVal);
    Variant empty = VarFromData(REG_EXPAND_SZ, {});
    ASSERT_EQ(VT_BSTR, empty.vt);
    EXPECT_EQ(0u, ::SysStringLen(empty.bstrVal));
    Variant number = VarFromData(REG_DWORD, B({0x2a, 1}));
    ASSERT_EQ(VT_I4, number.vt);
    EXPECT_EQ(0x12a, number.lVal); // missing bytes count as zero
    for (DWORD type : {0u, 3u, 5u, 6u, 7u, 8u, 9u, 10u}) {
        Variant raw = VarFromData(type, B({1, 0, 0, 0}));
        EXPECT_EQ(VT_ARRAY | VT_UI1, raw.vt) << type;
        EXPECT_EQ(B({1, 0, 0, 0}), ArrayBytes(raw, 1)) << type;
    }
    Variant none = VarFromData(REG_BINARY, {});
    EXPECT_EQ(B({0}), ArrayBytes(none, 1)); // at least one element
    EXPECT_EQ(static_cast<HRESULT>(EInvalidData), Failure([] { VarFromData(11, {}); }));
}

TEST(DataConversion, Representations)
{
    const std::vector<BYTE> dword = B({0x41, 0x42, 0x43, 0x44});
    Variant low = DataAs(REG_DWORD, dword, dtByte);
    ASSERT_EQ(VT_UI1, low.vt);
    EXPECT_EQ(0x41, low.bVal);
    Variant asString = DataAs(REG_DWORD, dword, dtStr);
    ASSERT_EQ(VT_BSTR, asString.vt);
    EXPECT_EQ(4u, ::SysStringByteLen(asString.bstrVal));
    EXPECT_EQ(0, std::memcmp(asString.bstrVal, dword.data(), 4));
    Variant natural = DataAs(REG_SZ, B({'x', 0}), dtStr);
    EXPECT_STREQ(L"x", natural.bstrVal);
    Variant padded = DataAs(REG_BINARY, B({1}), dtDbl);
    ASSERT_EQ(VT_R8, padded.vt);
    double expected = 0;
    std::memcpy(&expected, B({1, 0, 0, 0, 0, 0, 0, 0}).data(), 8);
    EXPECT_EQ(expected, padded.dblVal);
    Variant decimal = DataAs(REG_BINARY, B({0, 0, 2, 0, 0, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0}), dtDec);
    ASSERT_EQ(VT_DECIMAL, decimal.vt);
    EXPECT_EQ(2, decimal.decVal.scale);
    EXPECT_EQ(5u, decimal.decVal.Lo32);
    Variant ints = DataAs(REG_BINARY, B({1, 0, 2, 0, 3}), dtArray + dtInt);
    ASSERT_EQ(VT_ARRAY | VT_I2, ints.vt);
    EXPECT_EQ(B({1, 0, 2, 0}), ArrayBytes(ints, 2)); // whole elements only
    Variant tooShort = DataAs(REG_BINARY, B({1}), dtArray + dtLng);
    EXPECT_EQ(B({0, 0, 0, 0}), ArrayBytes(tooShort, 4)); // one zero element at least
    for (long bad : {-1L, 9L, 12L, 8200L, 8204L, 8192L, 70000L})
        EXPECT_EQ(static_cast<HRESULT>(EInternalError), Failure([&] { DataAs(REG_BINARY, B({1}), bad); })) << bad;
    Variant passthrough = DataAs(REG_DWORD, dword, dtNull);
    EXPECT_EQ(VT_I4, passthrough.vt);
}

// A value shorter than its representation leaves no byte of the variant as
// it was: VariantInit sets only the type field, so the variant is poisoned
// before and every byte past the data must come back zero.
TEST(DataConversion, WideningZeroesTheBytesPastTheData)
{
    for (VARTYPE vt : {VT_I4, VT_R8, VT_CY, VT_DECIMAL}) {
        SCOPED_TRACE(vt);
        VARIANT v;
        std::memset(&v, 0xCC, sizeof(v));
        ScalarInto(v, vt, B({1, 2}));
        ASSERT_EQ(vt, v.vt);
        const BYTE* bytes = reinterpret_cast<const BYTE*>(&v);
        if (vt == VT_DECIMAL) // the decimal's first two bytes are the type field
            EXPECT_EQ(std::vector<BYTE>(14, 0), std::vector<BYTE>(bytes + 2, bytes + 16));
        else
            EXPECT_EQ(B({1, 2, 0, 0, 0, 0, 0, 0}), std::vector<BYTE>(bytes + 8, bytes + 16));
    }
}

TEST(DataConversion, LetDataTypesAndAdjustments)
{
    RawValue v = LetData(Variant(5L), 0);
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), v.type);
    EXPECT_EQ(B({5, 0, 0, 0}), v.bytes);
    v = LetData(Variant(static_cast<short>(5)), 0);
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), v.type);
    EXPECT_EQ(B({5, 0}), v.bytes);
    v = LetData(Variant(L"5"), 0);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), v.type);
    EXPECT_EQ(B({'5', 0}), v.bytes);
    v = LetData(Variant(L"5"), REG_EXPAND_SZ);
    EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), v.type);
    EXPECT_EQ(B({'5', 0}), v.bytes);
    v = LetData(Variant(5L), REG_SZ); // already ends with a zero byte
    EXPECT_EQ(B({5, 0, 0, 0}), v.bytes);
    v = LetData(Variant(L"ab"), REG_MULTI_SZ);
    EXPECT_EQ(B({'a', 'b', 0, 0}), v.bytes);
    v = LetData(Variant(L""), REG_MULTI_SZ);
    EXPECT_EQ(B({0, 0}), v.bytes);
    v = LetData(Variant(L"abcdef"), REG_DWORD_BIG_ENDIAN);
    EXPECT_EQ(B({'a', 'b', 'c', 'd'}), v.bytes);
    v = LetData(Variant(true), 0);
    EXPECT_EQ(B({0xff, 0xff}), v.bytes);
    v = LetData(Variant(), 0);
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), v.type);
    EXPECT_TRUE(v.bytes.empty());

    short shorts[] = {1, -1};
    com::UniqueSafeArray array(::SafeArrayCreateVector(VT_I2, 0, 2));
    std::memcpy(array.get()->pvData, shorts, sizeof(shorts));
    Variant wrapped;
    wrapped.vt = VT_ARRAY | VT_I2;
    wrapped.parray = array.release();
    v = LetData(wrapped, 0);
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), v.type);
    EXPECT_EQ(B({1, 0, 0xff, 0xff}), v.bytes);

    long number = 7;
    Variant byRef;
    byRef.vt = VT_I4 | VT_BYREF;
    byRef.plVal = &number;
    EXPECT_EQ(B({7, 0, 0, 0}), LetData(byRef, 0).bytes); // as scripts pass variables
    byRef.vt = VT_EMPTY;
}

TEST(DataConversion, LetDataRefusals)
{
    Variant null;
    null.vt = VT_NULL;
    EXPECT_EQ(static_cast<HRESULT>(EInvalidDataType), Failure([&] { LetData(null, 0); }));
    Variant error;
    error.vt = VT_ERROR;
    EXPECT_EQ(static_cast<HRESULT>(EInvalidDataType), Failure([&] { LetData(error, 0); }));
    com::UniqueSafeArray strings(::SafeArrayCreateVector(VT_BSTR, 0, 1));
    Variant array;
    array.vt = VT_ARRAY | VT_BSTR;
    array.parray = strings.release();
    EXPECT_EQ(static_cast<HRESULT>(EInvalidDataType), Failure([&] { LetData(array, 0); }));
    EXPECT_EQ(static_cast<HRESULT>(EUnsupportedDataType), Failure([] { LetData(Variant(1L), 11); }));
    EXPECT_EQ(static_cast<HRESULT>(EUnsupportedDataType), Failure([] { LetData(Variant(1L), -3); }));
}

} // namespace
