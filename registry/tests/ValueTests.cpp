// The value side of the object model: RegistryValues, RegistryValue and the
// Registry object's value operations by full path.
#include "RegistryTestSupport.h"

#include <algorithm>

using com::Bstr;
using com::ComPtr;
using com::Variant;

namespace {

const wchar_t kValuesSource[] = L"RegistryValues.RegistryValues.1";
const wchar_t kValueSource[] = L"RegistryValue.RegistryValue.1";
const wchar_t kRegistrySource[] = L"Registry.Registry.1";

class Values : public RegistryTest {
  protected:
    ComPtr<IRegistryValues> ValuesAt(const std::string& sub)
    {
        ComPtr<IRegistryValues> values;
        ComPtr<IRegistryKey> key = KeyAt(sub);
        if (key) {
            EXPECT_EQ(S_OK, key->get_Values(&values));
        }
        return values;
    }
    // Adds through the collection and checks what the registry then holds.
    void ExpectAdd(const VARIANT& data, DataTypeConstants type, DWORD storedType, const std::vector<BYTE>& bytes)
    {
        SCOPED_TRACE(testing::Message() << "data of type " << data.vt << ", asked for " << type);
        ComPtr<IRegistryValue> value;
        ASSERT_EQ(S_OK, ValuesAt("")->Add(B(L"v").get(), data, type, &value));
        StoredValue stored = ReadRaw("", "v");
        EXPECT_EQ(storedType, stored.type);
        EXPECT_EQ(bytes, stored.bytes);
        LONG length = 0xdeadbeef;
        ASSERT_EQ(S_OK, value->get_Length(&length));
        EXPECT_EQ(static_cast<LONG>(bytes.size()), length);
        DataTypeConstants reported = static_cast<DataTypeConstants>(0xdeadbeef);
        ASSERT_EQ(S_OK, value->get_Type(&reported));
        EXPECT_EQ(static_cast<LONG>(storedType), reported);
    }
    static Variant DataOf(IRegistryValue* value, DataTypeConstants representation = dtEmpty)
    {
        Variant data;
        EXPECT_EQ(S_OK, value->get_Data(representation, &data));
        return data;
    }
};

TEST_F(Values, AddStoresTheConvertedData)
{
    ExpectAdd(Variant(5L), dtEmpty, REG_DWORD, Bytes({5, 0, 0, 0}));
    ExpectAdd(Variant(static_cast<short>(5)), dtEmpty, REG_BINARY, Bytes({5, 0}));
    ExpectAdd(Variant(L"5"), dtEmpty, REG_SZ, Bytes({'5', 0}));
    ExpectAdd(Variant(L"5"), dtREG_EXPAND_SZ, REG_EXPAND_SZ, Bytes({'5', 0}));
    ExpectAdd(Variant(5L), dtREG_SZ, REG_SZ, Bytes({5, 0, 0, 0}));
    ExpectAdd(Variant(L"a"), dtREG_MULTI_SZ, REG_MULTI_SZ, Bytes({'a', 0, 0}));
    ExpectAdd(com::Variant::Missing(), dtEmpty, REG_SZ, Bytes({0})); // omitted data: the empty string

    ComPtr<IRegistryValue> value;
    Variant null;
    null.vt = VT_NULL;
    ExpectError(ValuesAt("")->Add(B(L"v").get(), null, dtEmpty, &value), EInvalidDataType, kValuesSource,
                L"Invalid data type.", IID_IRegistryValues);
    ExpectError(ValuesAt("")->Add(B(L"v").get(), Variant(1L), static_cast<DataTypeConstants>(12), &value),
                EUnsupportedDataType, kValuesSource, L"Unsupported data type.", IID_IRegistryValues);
    EXPECT_EQ(nullptr, value.Get());
}

TEST_F(Values, DataReadsTheSnapshot)
{
    WriteRaw("", "dw", REG_DWORD, Bytes({0x2a, 0, 0, 0}));
    WriteRaw("", "empty", REG_BINARY, {});
    WriteRaw("", "multi", REG_MULTI_SZ, Bytes({'a', 0, 'b', 0, 0}));
    ComPtr<IRegistryValues> values = ValuesAt("");
    ComPtr<IRegistryValue> dw;
    ASSERT_EQ(S_OK, values->get_Item(V(L"dw"), &dw));
    Variant number = DataOf(dw.Get());
    ASSERT_EQ(VT_I4, number.vt);
    EXPECT_EQ(42, number.lVal);
    Variant low = DataOf(dw.Get(), dtByte);
    ASSERT_EQ(VT_UI1, low.vt);
    EXPECT_EQ(42, low.bVal);
    Variant raw = DataOf(dw.Get(), dtStr);
    ASSERT_EQ(VT_BSTR, raw.vt);
    EXPECT_EQ(4u, ::SysStringByteLen(raw.bstrVal));

    WriteRaw("", "dw", REG_DWORD, Bytes({1, 0, 0, 0})); // the object does not re-read
    EXPECT_EQ(42, DataOf(dw.Get()).lVal);

    ComPtr<IRegistryValue> empty;
    ASSERT_EQ(S_OK, values->get_Item(V(L"empty"), &empty));
    Variant bytes = DataOf(empty.Get());
    ASSERT_EQ(VT_ARRAY | VT_UI1, bytes.vt);
    EXPECT_EQ(1u, bytes.parray->rgsabound[0].cElements);
    EXPECT_EQ(0, static_cast<BYTE*>(bytes.parray->pvData)[0]);
    LONG length = 0xdeadbeef;
    ASSERT_EQ(S_OK, empty->get_Length(&length));
    EXPECT_EQ(0, length);

    ComPtr<IRegistryValue> multi;
    ASSERT_EQ(S_OK, values->get_Item(V(L"multi"), &multi));
    Variant multiData = DataOf(multi.Get());
    ASSERT_EQ(VT_ARRAY | VT_UI1, multiData.vt);
    EXPECT_EQ(5u, multiData.parray->rgsabound[0].cElements);

    Variant poisoned;
    poisoned.vt = VT_I4;
    poisoned.lVal = 0xdeadbeef;
    ExpectError(dw->get_Data(static_cast<DataTypeConstants>(8200), &poisoned), EInternalError, kValueSource,
                L"Internal error.", IID_IRegistryValue);
    EXPECT_EQ(VT_EMPTY, poisoned.vt);
}

TEST_F(Values, DataAssignmentWritesThrough)
{
    WriteRaw("", "v", REG_SZ, Bytes({'a', 0}));
    ComPtr<IRegistryValue> value;
    ASSERT_EQ(S_OK, ValuesAt("")->get_Item(V(L"v"), &value));
    ASSERT_EQ(S_OK, value->put_Data(dtEmpty, Variant(7L)));
    StoredValue stored = ReadRaw("", "v");
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), stored.type);
    EXPECT_EQ(Bytes({7, 0, 0, 0}), stored.bytes);
    ASSERT_EQ(S_OK, value->put_Data(dtREG_MULTI_SZ, Variant(L"x")));
    EXPECT_EQ(Bytes({'x', 0, 0}), ReadRaw("", "v").bytes);
    Variant null;
    null.vt = VT_NULL;
    ExpectError(value->put_Data(dtEmpty, null), EInvalidDataType, kValueSource, L"Invalid data type.",
                IID_IRegistryValue);
    EXPECT_EQ(Bytes({'x', 0, 0}), ReadRaw("", "v").bytes);
}

TEST_F(Values, IndexesNamesAndPositions)
{
    WriteRaw("", "", REG_SZ, Bytes({'d', 0}));
    WriteRaw("", "one", REG_DWORD, Bytes({1, 0, 0, 0}));
    ComPtr<IRegistryValues> values = ValuesAt("");
    LONG count = 0xdeadbeef;
    ASSERT_EQ(S_OK, values->get_Count(&count));
    EXPECT_EQ(2, count);
    std::vector<std::wstring> names;
    Bstr name;
    for (short position : {1, 2}) {
        ComPtr<IRegistryValue> byPosition;
        ASSERT_EQ(S_OK, values->get_Item(Variant(position), &byPosition));
        ASSERT_EQ(S_OK, byPosition->get_Name(name.put()));
        names.push_back(name.str());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::wstring>{L"", L"one"}), names);
    ComPtr<IRegistryValue> pastEnd; // the default value
    ASSERT_EQ(S_OK, values->get_Item(Variant(3L), &pastEnd));
    ASSERT_EQ(S_OK, pastEnd->get_Name(name.put()));
    EXPECT_EQ(L"", name.str());

    ComPtr<IRegistryValue> missing;
    ExpectError(values->get_Item(V(L"missing"), &missing), EInvalidIndex, kValuesSource, L"Invalid index.",
                IID_IRegistryValues);
    ExpectError(values->get_Item(Variant(), &missing), EInvalidIndex, kValuesSource, L"Invalid index.",
                IID_IRegistryValues);
    ExpectErrorFrom(values->Remove(V(L"missing")), EMessageFromSystem, kValuesSource, IID_IRegistryValues);

    ASSERT_EQ(S_OK, values->Remove(V(L"one")));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadRaw("", "one").rc);
}

TEST_F(Values, CopyAndMoveWithinTheKey)
{
    WriteRaw("", "s", REG_SZ, Bytes({'h', 'i', 0}));
    WriteRaw("", "odd", REG_EXPAND_SZ, Bytes({'n'}));              // no terminator: copied as it is
    WriteRaw("", "q", REG_QWORD, Bytes({1, 2, 3, 4, 5, 6, 7, 8})); // a type that Data cannot write
    ComPtr<IRegistryValues> values = ValuesAt("");
    ComPtr<IRegistryValue> copy;
    ASSERT_EQ(S_OK, values->Copy(V(L"s"), B(L"t").get(), &copy));
    StoredValue s = ReadRaw("", "s"), t = ReadRaw("", "t");
    EXPECT_EQ(s.type, t.type);
    EXPECT_EQ(s.bytes, t.bytes);
    for (const std::string name : {"odd", "q"}) {
        ASSERT_EQ(S_OK, values->Copy(V(com::Widen(name)), B(com::Widen(name + "2")).get(), &copy));
        StoredValue source = ReadRaw("", name), target = ReadRaw("", name + "2");
        EXPECT_EQ(source.type, target.type) << name;
        EXPECT_EQ(source.bytes, target.bytes) << name;
    }

    ComPtr<IRegistryValue> moved;
    ASSERT_EQ(S_OK, values->Move(V(L"t"), B(L"u").get(), &moved));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadRaw("", "t").rc);
    EXPECT_EQ(s.bytes, ReadRaw("", "u").bytes);
}

TEST_F(Values, RegistryValueOperationsByPath)
{
    ComPtr<IRegistryValue> value;
    ASSERT_EQ(S_OK, m_registry->Add(B(FullPath("new\\deeper") + L"\\v").get(), Variant(3L), dtEmpty,
                                    aoREG_OPTION_NON_VOLATILE, &value));
    EXPECT_EQ(Bytes({3, 0, 0, 0}), ReadRaw("new\\deeper", "v").bytes);

    ComPtr<IRegistryValue> item;
    ASSERT_EQ(S_OK, m_registry->Item(B(FullPath("new\\deeper") + L"\\v").get(), &item));
    EXPECT_EQ(3, DataOf(item.Get()).lVal);

    ComPtr<IRegistryValue> def;
    ASSERT_EQ(S_OK, m_registry->Add(B(FullPath("new") + L"\\").get(), Variant(L"default"), dtEmpty,
                                    aoREG_OPTION_NON_VOLATILE, &def));
    EXPECT_EQ(Bytes(std::string_view("default\0", 8)), ReadRaw("new", "").bytes);

    ComPtr<IRegistryValue> sameKey;
    ASSERT_EQ(S_OK, m_registry->Copy(B(FullPath("new\\deeper") + L"\\v").get(), B(L"w").get(), &sameKey));
    EXPECT_EQ(Bytes({3, 0, 0, 0}), ReadRaw("new\\deeper", "w").bytes);
    ComPtr<IRegistryValue> otherKey;
    ASSERT_EQ(S_OK, m_registry->Copy(B(FullPath("new\\deeper") + L"\\v").get(), B(L"sub\\x").get(), &otherKey));
    EXPECT_EQ(Bytes({3, 0, 0, 0}), ReadRaw("new\\deeper\\sub", "x").bytes);

    ComPtr<IRegistryValue> moved;
    ASSERT_EQ(S_OK, m_registry->Move(B(FullPath("new\\deeper") + L"\\w").get(), B(FullPath("elsewhere") + L"\\w").get(),
                                     &moved));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadRaw("new\\deeper", "w").rc);
    EXPECT_EQ(Bytes({3, 0, 0, 0}), ReadRaw("elsewhere", "w").bytes);

    ASSERT_EQ(S_OK, m_registry->Remove(B(FullPath("new\\deeper") + L"\\v").get()));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadRaw("new\\deeper", "v").rc);

    ComPtr<IRegistryValue> none;
    ExpectError(m_registry->Item(B(L"HKCU\\Software\\v").get(), &none), EInvalidKey, kRegistrySource, L"Invalid key.",
                IID_IRegistry);
    ExpectError(m_registry->Item(B(FullPath("missing") + L"\\v").get(), &none), EInvalidKey, kRegistrySource,
                L"Invalid key.", IID_IRegistry);
    ExpectError(m_registry->Item(B(FullPath() + L"\\missing").get(), &none), EInvalidIndex, kRegistrySource,
                L"Invalid index.", IID_IRegistry);
    EXPECT_EQ(E_POINTER, m_registry->Item(B(FullPath() + L"\\v").get(), nullptr));
}

TEST_F(Values, EnumerationVisitsTheCountedValues)
{
    WriteRaw("", "a", REG_SZ, Bytes({0}));
    WriteRaw("", "b", REG_SZ, Bytes({0}));
    ComPtr<IRegistryValues> values = ValuesAt("");
    ComPtr<IUnknown> unknown;
    ASSERT_EQ(S_OK, values->_NewEnum(&unknown));
    ComPtr<IEnumVARIANT> e;
    ASSERT_EQ(S_OK, unknown.As(&e));
    WriteRaw("", "c", REG_SZ, Bytes({0}));
    int visited = 0;
    Variant item;
    while (e->Next(1, &item, nullptr) == S_OK) {
        ComPtr<IRegistryValue> value;
        EXPECT_EQ(S_OK, item.pdispVal->QueryInterface(IID_PPV_ARGS(&value)));
        item.Clear();
        ++visited;
    }
    EXPECT_EQ(2, visited);
}

} // namespace

TEST_F(Values, AValueMovedOntoItselfStays)
{
    WriteRaw("parent", "v", REG_SZ, Bytes({'k', 'e', 'e', 'p', 0}));
    const std::wstring shortRoot = L"\\HKCU" + FullPath("parent").substr(FullPath().find(L'\\', 1));
    std::wstring doubled = FullPath("parent");
    doubled.insert(doubled.rfind(L'\\'), L"\\");
    ComPtr<IRegistryValues> values = ValuesAt("parent");
    const std::vector<std::pair<std::wstring, std::wstring>> moves = {
        {shortRoot + L"\\v", L"v"},
        {shortRoot + L"\\v", L"V"},
        {FullPath("parent") + L"\\v", shortRoot + L"\\v"},
        {shortRoot + L"\\v", FullPath("parent") + L"\\V"},
        {FullPath("parent") + L"\\v", doubled + L"\\v"},
    };
    for (const auto& [source, target] : moves) {
        SCOPED_TRACE(source + L" -> " + target);
        ComPtr<IRegistryValue> moved;
        ASSERT_EQ(S_OK, m_registry->Move(B(source).get(), B(target).get(), &moved));
        EXPECT_EQ(L"keep", DataOf(moved.Get()).ToString());
        EXPECT_EQ(Bytes({'k', 'e', 'e', 'p', 0}), ReadRaw("parent", "v").bytes);
    }
    for (const wchar_t* target : {L"v", L"V"}) {
        SCOPED_TRACE(target);
        ComPtr<IRegistryValue> moved;
        ASSERT_EQ(S_OK, values->Move(V(L"v"), B(target).get(), &moved));
        EXPECT_EQ(Bytes({'k', 'e', 'e', 'p', 0}), ReadRaw("parent", "v").bytes);
    }
    ComPtr<IRegistryValue> moved;
    ASSERT_EQ(S_OK, values->Move(Variant(1L), B(L"V").get(), &moved));
    EXPECT_EQ(Bytes({'k', 'e', 'e', 'p', 0}), ReadRaw("parent", "v").bytes);
}
