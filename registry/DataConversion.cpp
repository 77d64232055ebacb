#include "DataConversion.h"

#include <algorithm>
#include <cstring>

#include "RegistryErrors.h"

namespace reg {

namespace {

// The size of one element of a representation, or 0 if it has none.
size_t ElementSize(VARTYPE vt)
{
    switch (vt) {
    case VT_UI1:
        return 1;
    case VT_I2:
    case VT_BOOL:
        return 2;
    case VT_I4:
    case VT_R4:
        return 4;
    case VT_R8:
    case VT_CY:
    case VT_DATE:
        return 8;
    case VT_DECIMAL:
        return 16;
    default:
        return 0;
    }
}

void* ScalarStorage(VARIANT& v)
{
    // Every scalar member of the union starts at the same place, except the
    // decimal, which covers the whole variant including its type field.
    return v.vt == VT_DECIMAL ? static_cast<void*>(&v.decVal) : static_cast<void*>(&v.bVal);
}

com::Variant ArrayFromBytes(VARTYPE vt, std::span<const BYTE> bytes)
{
    const size_t size = ElementSize(vt);
    const size_t count = bytes.size() / size;
    com::UniqueSafeArray array(::SafeArrayCreateVector(vt, 0, static_cast<ULONG>(std::max<size_t>(count, 1))));
    if (!array)
        RaiseSystemHr(E_OUTOFMEMORY);
    void* data = nullptr;
    HRESULT hr = ::SafeArrayAccessData(array.get(), &data);
    if (FAILED(hr))
        RaiseSystemHr(hr);
    if (count)
        std::memcpy(data, bytes.data(), count * size);
    ::SafeArrayUnaccessData(array.get());
    com::Variant result;
    result.vt = static_cast<VARTYPE>(VT_ARRAY | vt);
    result.parray = array.release();
    return result;
}

com::Variant StringFromBytes(std::span<const BYTE> bytes)
{
    com::Variant result;
    result.vt = VT_BSTR;
    result.bstrVal =
        ::SysAllocStringByteLen(reinterpret_cast<const char*>(bytes.data()), static_cast<UINT>(bytes.size()));
    if (!result.bstrVal)
        RaiseSystemHr(E_OUTOFMEMORY);
    return result;
}

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ; }

std::vector<BYTE> BytesOf(const void* data, size_t size)
{
    const BYTE* p = static_cast<const BYTE*>(data);
    return std::vector<BYTE>(p, p + size);
}

std::vector<BYTE> ArrayBytes(const SAFEARRAY* array)
{
    VARTYPE vt = VT_EMPTY;
    if (!array || ::SafeArrayGetDim(const_cast<SAFEARRAY*>(array)) != 1 ||
        FAILED(::SafeArrayGetVartype(const_cast<SAFEARRAY*>(array), &vt)) || ElementSize(vt) == 0)
        Raise(EInvalidDataType);
    const SAFEARRAYBOUND& bound = array->rgsabound[0];
    const size_t size = bound.cElements * static_cast<size_t>(array->cbElements);
    void* data = nullptr;
    HRESULT hr = ::SafeArrayAccessData(const_cast<SAFEARRAY*>(array), &data);
    if (FAILED(hr))
        RaiseSystemHr(hr);
    std::vector<BYTE> bytes = BytesOf(data, size);
    ::SafeArrayUnaccessData(const_cast<SAFEARRAY*>(array));
    return bytes;
}

// Step 1 of LetData: the variant's own registry type and bytes.
RawValue ConvertVariant(const VARIANT& v)
{
    switch (v.vt) {
    case VT_EMPTY:
        return {REG_BINARY, {}};
    case VT_I2:
        return {REG_BINARY, BytesOf(&v.iVal, 2)};
    case VT_I4:
        return {REG_DWORD, BytesOf(&v.lVal, 4)};
    case VT_R4:
        return {REG_BINARY, BytesOf(&v.fltVal, 4)};
    case VT_R8:
        return {REG_BINARY, BytesOf(&v.dblVal, 8)};
    case VT_CY:
        return {REG_BINARY, BytesOf(&v.cyVal, 8)};
    case VT_DATE:
        return {REG_BINARY, BytesOf(&v.date, 8)};
    case VT_BOOL:
        return {REG_BINARY, BytesOf(&v.boolVal, 2)};
    case VT_DECIMAL:
        return {REG_BINARY, BytesOf(&v.decVal, 16)};
    case VT_UI1:
        return {REG_BINARY, BytesOf(&v.bVal, 1)};
    case VT_BSTR: {
        std::string text = com::Narrow(std::wstring_view(v.bstrVal ? v.bstrVal : L"", ::SysStringLen(v.bstrVal)));
        return {REG_SZ, std::vector<BYTE>(text.begin(), text.end())};
    }
    default:
        if (v.vt & VT_ARRAY)
            return {REG_BINARY, ArrayBytes(v.parray)};
        Raise(EInvalidDataType);
    }
}

bool EndsWithZeros(const std::vector<BYTE>& bytes, size_t n)
{
    return bytes.size() >= n &&
           std::all_of(bytes.end() - static_cast<ptrdiff_t>(n), bytes.end(), [](BYTE b) { return b == 0; });
}

// Step 3 of LetData: the bytes made fit for the final registry type.
void AdjustToType(RawValue& value)
{
    switch (value.type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        if (!EndsWithZeros(value.bytes, 1))
            value.bytes.push_back(0);
        break;
    case REG_MULTI_SZ:
        if (!EndsWithZeros(value.bytes, 1))
            value.bytes.push_back(0);
        if (!EndsWithZeros(value.bytes, 2))
            value.bytes.push_back(0);
        break;
    case REG_DWORD:
    case REG_DWORD_BIG_ENDIAN:
        value.bytes.resize(4, 0);
        break;
    case REG_NONE:
    case REG_BINARY:
    case REG_LINK:
    case REG_RESOURCE_LIST:
    case REG_FULL_RESOURCE_DESCRIPTOR:
    case REG_RESOURCE_REQUIREMENTS_LIST:
        break;
    default:
        Raise(EUnsupportedDataType);
    }
}

} // namespace

bool IsMissing(const VARIANT& v) noexcept { return v.vt == VT_ERROR && v.scode == DISP_E_PARAMNOTFOUND; }

com::Variant MakeByteArray(std::span<const BYTE> bytes) { return ArrayFromBytes(VT_UI1, bytes); }

com::Variant VarFromData(DWORD type, std::span<const BYTE> bytes)
{
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
        if (bytes.empty())
            return com::Variant(L"");
        std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size() - 1);
        return com::Variant(std::wstring_view(com::Widen(text)));
    }
    case REG_DWORD: {
        long number = 0;
        std::memcpy(&number, bytes.data(), std::min<size_t>(bytes.size(), 4));
        return com::Variant(number);
    }
    case REG_NONE:
    case REG_BINARY:
    case REG_DWORD_BIG_ENDIAN:
    case REG_LINK:
    case REG_MULTI_SZ:
    case REG_RESOURCE_LIST:
    case REG_FULL_RESOURCE_DESCRIPTOR:
    case REG_RESOURCE_REQUIREMENTS_LIST:
        return MakeByteArray(bytes);
    default:
        Raise(EInvalidData);
    }
}

void ScalarInto(VARIANT& out, VARTYPE vt, std::span<const BYTE> bytes)
{
    const size_t size = ElementSize(vt);
    if (size == 0)
        Raise(EInternalError);
    // The whole variant is written, not only the data's bytes: VariantInit
    // sets the type field alone (Windows 2000 and XP left the rest as it
    // was), so a two-byte value read as a long would carry what the memory
    // held before.
    std::memset(&out, 0, sizeof(VARIANT));
    out.vt = vt;
    std::memcpy(ScalarStorage(out), bytes.data(), std::min(bytes.size(), size));
    out.vt = vt; // a decimal's first bytes overlay the type field
}

com::Variant DataAs(DWORD type, std::span<const BYTE> bytes, long representation)
{
    com::Variant natural = VarFromData(type, bytes);
    if (representation == dtEmpty || representation == dtNull)
        return natural;
    if (representation == dtStr)
        return IsStringType(type) ? natural : StringFromBytes(bytes);
    if (representation < 0 || representation > 0xFFFF)
        Raise(EInternalError);
    const VARTYPE vt = static_cast<VARTYPE>(representation & ~VT_ARRAY);
    if (ElementSize(vt) == 0 || (representation & ~(VT_ARRAY | 0xFF)) != 0)
        Raise(EInternalError);
    if (representation & VT_ARRAY)
        return ArrayFromBytes(vt, bytes);
    com::Variant result;
    ScalarInto(result, vt, bytes);
    return result;
}

RawValue LetData(const VARIANT& data, long type)
{
    com::Variant plain;
    if (FAILED(plain.Copy(data))) // by-reference arguments from scripts
        Raise(EInvalidDataType);
    RawValue value = ConvertVariant(plain);
    if (type != 0)
        value.type = static_cast<DWORD>(type);
    if (type < 0)
        Raise(EUnsupportedDataType);
    AdjustToType(value);
    return value;
}

} // namespace reg
