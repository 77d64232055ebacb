// The key side of the object model: root table, index resolution, Add,
// Remove, Copy, Move, enumeration, errors, registration.
#include <olectl.h>

#include "RegistryTestSupport.h"

using com::Bstr;
using com::ComPtr;
using com::Variant;

namespace {

const wchar_t kKeysSource[] = L"RegistryKeys.RegistryKeys.1";
const wchar_t kRegistrySource[] = L"Registry.Registry.1";

class KeyModel : public RegistryTest {
  protected:
    ComPtr<IRegistryKeys> TopKeys()
    {
        ComPtr<IRegistryKeys> keys;
        EXPECT_EQ(S_OK, m_registry->get_Keys(&keys));
        return keys;
    }
    ComPtr<IRegistryKeys> SubKeys(const std::string& sub)
    {
        ComPtr<IRegistryKeys> keys;
        ComPtr<IRegistryKey> key = KeyAt(sub);
        if (key) {
            EXPECT_EQ(S_OK, key->get_Keys(&keys));
        }
        return keys;
    }
    static std::wstring NameOf(IRegistryKey* key)
    {
        Bstr name;
        EXPECT_EQ(S_OK, key->get_Name(name.put()));
        return name.str();
    }
    std::wstring ItemName(IRegistryKeys* keys, const VARIANT& index)
    {
        ComPtr<IRegistryKey> key;
        HRESULT hr = keys->get_Item(index, &key);
        EXPECT_EQ(S_OK, hr);
        return SUCCEEDED(hr) ? NameOf(key.Get()) : L"<failed>";
    }
    void ExpectItemError(IRegistryKeys* keys, const VARIANT& index, HRESULT code, const wchar_t* text)
    {
        SCOPED_TRACE(testing::Message() << "index of type " << index.vt);
        ComPtr<IRegistryKey> key;
        ExpectError(keys->get_Item(index, &key), code, kKeysSource, text, IID_IRegistryKeys);
        EXPECT_EQ(nullptr, key.Get());
    }
    // Every name the enumerator hands out, in order.
    static std::vector<std::wstring> Enumerate(IRegistryKeys* keys)
    {
        std::vector<std::wstring> names;
        ComPtr<IUnknown> unknown;
        EXPECT_EQ(S_OK, keys->_NewEnum(&unknown));
        ComPtr<IEnumVARIANT> e;
        EXPECT_EQ(S_OK, unknown.As(&e));
        Variant item;
        while (e && e->Next(1, &item, nullptr) == S_OK) {
            ComPtr<IRegistryKey> key;
            EXPECT_EQ(S_OK, item.pdispVal->QueryInterface(IID_PPV_ARGS(&key)));
            names.push_back(NameOf(key.Get()));
            item.Clear();
        }
        return names;
    }
};

TEST_F(KeyModel, RootTableOfTheLocalComputer)
{
    ComPtr<IRegistryKeys> keys = TopKeys();
    LONG count = 0xdeadbeef;
    ASSERT_EQ(S_OK, keys->get_Count(&count));
    EXPECT_EQ(5, count); // Wine reports the NT family: no HKEY_DYN_DATA
    EXPECT_EQ(L"HKEY_LOCAL_MACHINE", ItemName(keys.Get(), V(L"HKLM")));
    EXPECT_EQ(L"HKEY_LOCAL_MACHINE", ItemName(keys.Get(), V(L"\\hklm")));
    EXPECT_EQ(L"HKEY_LOCAL_MACHINE", ItemName(keys.Get(), V(L"hkey_local_machine")));
    EXPECT_EQ(L"HKEY_LOCAL_MACHINE", ItemName(keys.Get(), Variant(3L)));
    EXPECT_EQ(L"HKEY_LOCAL_MACHINE", ItemName(keys.Get(), Variant(static_cast<short>(3))));
    EXPECT_EQ((std::vector<std::wstring>{L"HKEY_CLASSES_ROOT", L"HKEY_CURRENT_USER", L"HKEY_LOCAL_MACHINE",
                                         L"HKEY_USERS", L"HKEY_CURRENT_CONFIG"}),
              Enumerate(keys.Get()));
}

TEST_F(KeyModel, InvalidIndexes)
{
    ComPtr<IRegistryKeys> keys = TopKeys();
    ExpectItemError(keys.Get(), Variant(0L), EInvalidIndex, L"Invalid index.");
    ExpectItemError(keys.Get(), Variant(6L), EInvalidIndex, L"Invalid index.");
    ExpectItemError(keys.Get(), Variant(), EInvalidIndex, L"Invalid index.");
    Variant null;
    null.vt = VT_NULL;
    ExpectItemError(keys.Get(), null, EInvalidIndex, L"Invalid index.");
    ExpectItemError(keys.Get(), Variant(2.0), EInvalidIndex, L"Invalid index.");
    ExpectItemError(keys.Get(), V(L"\\HKXX\\Software"), EUnknownRootKey, L"Unknown root key.");
    ExpectItemError(keys.Get(), V(FullPath("missing")), EInvalidKey, L"Invalid key.");
    ExpectItemError(keys.Get(), V(L""), EInvalidKey, L"Invalid key.");
    EXPECT_EQ(E_POINTER, keys->get_Item(V(L"HKLM"), nullptr));
}

TEST_F(KeyModel, ConnectRebuildsTheTable)
{
    ComPtr<IRegistryKeys> keys = TopKeys();
    ExpectErrorFrom(m_registry->Connect(B(L"corvane-no-such-host-4711").get()), EMessageFromSystem, kRegistrySource,
                    IID_IRegistry);

    // Wine connects to its own computer name locally; Windows needs the
    // Remote Registry service for that, and fails without it.
    char computer[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof(computer);
    ASSERT_TRUE(::GetComputerNameA(computer, &size));
    HRESULT hr = m_registry->Connect(Bstr::FromAnsi(computer).get());
    if (hr == S_OK) {
        LONG count = 0xdeadbeef;
        ASSERT_EQ(S_OK, TopKeys()->get_Count(&count));
        EXPECT_EQ(2, count);
        EXPECT_EQ((std::vector<std::wstring>{L"HKEY_LOCAL_MACHINE", L"HKEY_USERS"}), Enumerate(TopKeys().Get()));
    } else {
        EXPECT_EQ(EMessageFromSystem, hr);
    }

    ASSERT_EQ(S_OK, m_registry->Connect(nullptr));
    LONG count = 0xdeadbeef;
    ASSERT_EQ(S_OK, TopKeys()->get_Count(&count));
    EXPECT_EQ(5, count);
}

TEST_F(KeyModel, AddCreatesMissingKeysAndOpensExistingOnes)
{
    ComPtr<IRegistryKeys> keys = SubKeys("");
    ComPtr<IRegistryKey> key;
    ASSERT_EQ(S_OK, keys->Add(B(L"a\\b\\c").get(), aoREG_OPTION_VOLATILE, &key));
    EXPECT_EQ(L"c", NameOf(key.Get()));
    EXPECT_TRUE(KeyExists("a\\b\\c"));
    WriteRaw("a", "kept", REG_SZ, Bytes({'x', 0}));

    ComPtr<IRegistryKey> again;
    ASSERT_EQ(S_OK, keys->Add(B(L"a").get(), aoREG_OPTION_NON_VOLATILE, &again));
    EXPECT_EQ(L"a", NameOf(again.Get()));
    EXPECT_EQ(Bytes({'x', 0}), ReadRaw("a", "kept").bytes);

    // A path without leading backslash is relative to the top-level collection.
    ComPtr<IRegistryKey> absolute;
    ASSERT_EQ(S_OK,
              TopKeys()->Add(B(L"HKCU\\" + com::Widen(KeyName("d"))).get(), aoREG_OPTION_NON_VOLATILE, &absolute));
    EXPECT_TRUE(KeyExists("d"));

    ComPtr<IRegistryKey> root;
    ExpectError(TopKeys()->Add(B(L"HKCU").get(), aoREG_OPTION_NON_VOLATILE, &root), EInvalidKey, kKeysSource,
                L"Invalid key.", IID_IRegistryKeys);
}

TEST_F(KeyModel, PositionsFollowTheEnumerationOrder)
{
    for (const char* name : {"k1", "k2", "k3"})
        CreateKey(name);
    ComPtr<IRegistryKeys> keys = SubKeys("");
    LONG count = 0xdeadbeef;
    ASSERT_EQ(S_OK, keys->get_Count(&count));
    ASSERT_EQ(3, count);
    com::UniqueHKey raw;
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_CURRENT_USER, KeyName().c_str(), 0, KEY_READ, raw.put()));
    for (DWORD i = 0; i < 3; ++i) {
        char name[32] = {};
        DWORD length = sizeof(name);
        ASSERT_EQ(ERROR_SUCCESS, ::RegEnumKeyExA(raw.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr));
        EXPECT_EQ(com::Widen(name), ItemName(keys.Get(), Variant(static_cast<long>(i + 1))));
    }
    // One past the last subkey names no subkey: the collection's own key.
    EXPECT_EQ(com::Widen(KeyName().substr(KeyName().rfind('\\') + 1)), ItemName(keys.Get(), Variant(4L)));
    EXPECT_EQ((std::vector<std::wstring>{L"k1", L"k2", L"k3"}), Enumerate(keys.Get()));
}

TEST_F(KeyModel, RemoveDeletesTheWholeSubtree)
{
    WriteRaw("a\\b\\c", "v", REG_DWORD, Bytes({1, 0, 0, 0}));
    WriteRaw("a\\b2", "", REG_SZ, Bytes({0}));
    WriteRaw("z", "v", REG_SZ, Bytes({0}));
    ComPtr<IRegistryKeys> keys = SubKeys("");
    ASSERT_EQ(S_OK, keys->Remove(V(L"a")));
    EXPECT_FALSE(KeyExists("a"));
    EXPECT_TRUE(KeyExists("z"));
    ASSERT_EQ(S_OK, keys->Remove(Variant(1L)));
    EXPECT_FALSE(KeyExists("z"));

    ExpectError(keys->Remove(V(L"missing")), EInvalidKey, kKeysSource, L"Invalid key.", IID_IRegistryKeys);
    ExpectError(TopKeys()->Remove(V(L"HKCU")), EInvalidKey, kKeysSource, L"Invalid key.", IID_IRegistryKeys);
    EXPECT_TRUE(KeyExists(""));
}

class KeyCopy : public KeyModel {
  protected:
    void SetUp() override
    {
        KeyModel::SetUp();
        WriteRaw("src", "text", REG_SZ, Bytes({'h', 'i', 0}));
        WriteRaw("src", "odd", REG_SZ, Bytes({'n', 'o'})); // no terminator
        WriteRaw("src", "none", REG_NONE, {});
        WriteRaw("src", "qword", REG_QWORD, Bytes({1, 2, 3, 4, 5, 6, 7, 8}));
        WriteRaw("src", "", REG_DWORD, Bytes({42, 0, 0, 0}));
        WriteRaw("src\\sub\\deep", "bin", REG_BINARY, Bytes({1, 2, 3}));
        WriteRaw("src\\sub", "multi", REG_MULTI_SZ, Bytes({'a', 0, 0}));
    }
    void ExpectSameValues(const std::string& from, const std::string& to)
    {
        SCOPED_TRACE("copy of " + from + " at " + to);
        for (const char* name : {"text", "odd", "none", "qword", ""}) {
            StoredValue a = ReadRaw(from, name), b = ReadRaw(to, name);
            EXPECT_EQ(ERROR_SUCCESS, b.rc) << name;
            EXPECT_EQ(a.type, b.type) << name;
            EXPECT_EQ(a.bytes, b.bytes) << name;
        }
    }
};

TEST_F(KeyCopy, CopiesValuesByteForByteAndSubkeysByDefault)
{
    ComPtr<IRegistryKeys> keys = SubKeys("");
    ComPtr<IRegistryKey> copy;
    ASSERT_EQ(S_OK, keys->Copy(Variant(1L), B(L"copy").get(), VARIANT_TRUE, &copy)); // a sibling of "src"
    EXPECT_EQ(L"copy", NameOf(copy.Get()));
    ExpectSameValues("src", "copy");
    EXPECT_EQ(Bytes({1, 2, 3}), ReadRaw("copy\\sub\\deep", "bin").bytes);
    EXPECT_EQ(Bytes({'a', 0, 0}), ReadRaw("copy\\sub", "multi").bytes);

    ComPtr<IRegistryKey> flat;
    ASSERT_EQ(S_OK, keys->Copy(V(L"src"), B(FullPath("flat")).get(), VARIANT_FALSE, &flat));
    ExpectSameValues("src", "flat");
    EXPECT_EQ(0u, SubKeyCount("flat"));
}

TEST_F(KeyCopy, RefusesATargetInsideItsSource)
{
    ComPtr<IRegistryKeys> keys = SubKeys("");
    ComPtr<IRegistryKey> copy;
    ExpectError(keys->Copy(V(L"src"), B(L"src\\sub\\again").get(), VARIANT_TRUE, &copy), EInvalidKey, kKeysSource,
                L"Invalid key.", IID_IRegistryKeys);
    ExpectError(keys->Copy(V(L"src"), B(L"SRC").get(), VARIANT_TRUE, &copy), EInvalidKey, kKeysSource, L"Invalid key.",
                IID_IRegistryKeys);
    ExpectError(keys->Move(V(L"src"), B(FullPath("src\\inner")).get(), &copy), EInvalidKey, kKeysSource,
                L"Invalid key.", IID_IRegistryKeys);
    EXPECT_EQ(1u, SubKeyCount("src"));
    EXPECT_EQ(1u, SubKeyCount("src\\sub"));
    EXPECT_EQ(nullptr, copy.Get());

    ComPtr<IRegistryKey> root;
    ExpectError(TopKeys()->Copy(V(L"HKCU"), B(L"elsewhere").get(), VARIANT_TRUE, &root), EInvalidIndex, kKeysSource,
                L"Invalid index.", IID_IRegistryKeys);
}

TEST_F(KeyCopy, MoveCopiesThenRemovesTheSource)
{
    ComPtr<IRegistryKeys> keys = SubKeys("");
    StoredValue before = ReadRaw("src", "text");
    ComPtr<IRegistryKey> moved;
    ASSERT_EQ(S_OK, keys->Move(V(L"src"), B(L"moved").get(), &moved));
    EXPECT_EQ(L"moved", NameOf(moved.Get()));
    EXPECT_FALSE(KeyExists("src"));
    EXPECT_EQ(before.bytes, ReadRaw("moved", "text").bytes);
    EXPECT_TRUE(KeyExists("moved\\sub\\deep"));

    ExpectError(keys->Move(V(L"src"), B(L"again").get(), &moved), EInvalidKey, kKeysSource, L"Invalid key.",
                IID_IRegistryKeys);
}

TEST_F(KeyModel, EnumeratorWorksOnACountSnapshot)
{
    CreateKey("k1");
    CreateKey("k2");
    ComPtr<IRegistryKeys> keys = SubKeys("");
    ComPtr<IUnknown> unknown;
    ASSERT_EQ(S_OK, keys->_NewEnum(&unknown));
    ComPtr<IEnumVARIANT> e;
    ASSERT_EQ(S_OK, unknown.As(&e));
    CreateKey("k3"); // after the snapshot

    VARIANT items[3];
    for (VARIANT& v : items) {
        ::VariantInit(&v);
        v.vt = VT_I4;
        v.lVal = 0xdeadbeef;
    }
    ULONG fetched = 0xdeadbeef;
    EXPECT_EQ(S_FALSE, e->Next(3, items, &fetched));
    EXPECT_EQ(2u, fetched);
    EXPECT_EQ(VT_DISPATCH, items[0].vt);
    EXPECT_EQ(VT_DISPATCH, items[1].vt);
    EXPECT_EQ(VT_I4, items[2].vt); // untouched
    EXPECT_EQ(static_cast<LONG>(0xdeadbeef), items[2].lVal);
    ::VariantClear(&items[0]);
    ::VariantClear(&items[1]);

    EXPECT_EQ(S_OK, e->Reset());
    EXPECT_EQ(S_OK, e->Skip(1));
    EXPECT_EQ(S_FALSE, e->Skip(5));
    fetched = 0xdeadbeef;
    EXPECT_EQ(S_FALSE, e->Next(1, items, &fetched));
    EXPECT_EQ(0u, fetched);
    ComPtr<IEnumVARIANT> clone;
    EXPECT_EQ(E_NOTIMPL, e->Clone(&clone));
    EXPECT_EQ(3u, Enumerate(keys.Get()).size()); // a new enumerator sees the new key
}

TEST_F(KeyModel, KeyObjectsOwnTheirHandles)
{
    WriteRaw("h", "v", REG_DWORD, Bytes({7, 0, 0, 0}));
    ComPtr<IRegistryValues> values;
    LONG handle = 0;
    {
        ComPtr<IRegistryKey> key = KeyAt("h");
        ASSERT_TRUE(key);
        ASSERT_EQ(S_OK, key->get_hKey(&handle));
        EXPECT_NE(0, handle);
        ASSERT_EQ(S_OK, key->get_Values(&values));
        EXPECT_EQ(E_POINTER, key->get_Name(nullptr));
    }
    // The collection keeps the key, and so its handle, alive.
    ComPtr<IRegistryValue> value;
    ASSERT_EQ(S_OK, values->get_Item(V(L"v"), &value));
    LONG valueHandle = 0;
    ASSERT_EQ(S_OK, value->get_hKey(&valueHandle));
    EXPECT_EQ(handle, valueHandle);
}

TEST(RovaneRegistration, ClassesProgIdsAndTypeLibrary)
{
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    struct Row {
        const CLSID* clsid;
        const wchar_t* versioned;
        const wchar_t* independent;
        const wchar_t* description;
    };
    const Row rows[] = {
        {&CLSID_Registry, L"Registry.Registry.1", L"rovane.Registry", L"Registry Class"},
        {&CLSID_RegistryKeys, L"RegistryKeys.RegistryKeys.1", L"rovane.RegistryKeys", L"RegistryKeys Class"},
        {&CLSID_RegistryKey, L"RegistryKey.RegistryKey.1", L"rovane.RegistryKey", L"RegistryKey Class"},
        {&CLSID_RegistryValues, L"RegistryValues.RegistryValues.1", L"rovane.RegistryValues", L"RegistryValues Class"},
        {&CLSID_RegistryValue, L"RegistryValue.RegistryValue.1", L"rovane.RegistryValue", L"RegistryValue Class"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.independent);
        CLSID clsid{};
        EXPECT_EQ(S_OK, ::CLSIDFromProgID(row.versioned, &clsid));
        EXPECT_TRUE(IsEqualCLSID(*row.clsid, clsid));
        EXPECT_EQ(S_OK, ::CLSIDFromProgID(row.independent, &clsid));
        EXPECT_TRUE(IsEqualCLSID(*row.clsid, clsid));
        wchar_t guid[40] = {};
        ::StringFromGUID2(*row.clsid, guid, 40);
        std::wstring key = std::wstring(L"CLSID\\") + guid;
        wchar_t text[64] = {};
        LONG size = sizeof(text);
        EXPECT_EQ(ERROR_SUCCESS, ::RegQueryValueW(HKEY_CLASSES_ROOT, key.c_str(), text, &size));
        EXPECT_STREQ(row.description, text);
        DWORD bytes = sizeof(text);
        EXPECT_EQ(ERROR_SUCCESS, ::RegGetValueW(HKEY_CLASSES_ROOT, (key + L"\\InprocServer32").c_str(),
                                                L"ThreadingModel", RRF_RT_REG_SZ, nullptr, text, &bytes));
        EXPECT_STREQ(L"Apartment", text);
    }

    ComPtr<ITypeLib> lib;
    ASSERT_EQ(S_OK, ::LoadRegTypeLib(LIBID_RegistryLib, 1, 0, 0x409, &lib));
    Bstr help;
    ASSERT_EQ(S_OK, lib->GetDocumentation(-1, nullptr, help.put(), nullptr, nullptr));
    EXPECT_EQ(L"rovane 1.4 Object Library", help.str());
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(S_OK, lib->GetLibAttr(&attr));
    EXPECT_EQ(0x409u, attr->lcid);
    lib->ReleaseTLibAttr(attr);

    // Dispatch identifiers of the collections, as scripts bind them.
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(S_OK, lib->GetTypeInfoOfGuid(IID_IRegistryKeys, &info));
    const std::pair<const wchar_t*, DISPID> ids[] = {{L"_NewEnum", DISPID_NEWENUM},
                                                     {L"Add", 1},
                                                     {L"Copy", 2},
                                                     {L"Count", 3},
                                                     {L"Item", 0},
                                                     {L"Move", 4},
                                                     {L"Remove", 5}};
    for (const auto& [name, expected] : ids) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        MEMBERID id = 0xdeadbeef;
        EXPECT_EQ(S_OK, info->GetIDsOfNames(names, 1, &id)) << name;
        EXPECT_EQ(expected, id) << name;
    }
    ::CoUninitialize();
}

TEST_F(KeyModel, RegistryIsAnEventSourceOfIRegistryEvents)
{
    ComPtr<IConnectionPointContainer> container;
    ASSERT_EQ(S_OK, m_registry.As(&container));
    ComPtr<IConnectionPoint> point;
    ASSERT_EQ(S_OK, container->FindConnectionPoint(IID_IRegistryEvents, &point));
    IID iid{};
    ASSERT_EQ(S_OK, point->GetConnectionInterface(&iid));
    EXPECT_TRUE(IsEqualIID(IID_IRegistryEvents, iid));

    ComPtr<ISupportErrorInfo> errors;
    ASSERT_EQ(S_OK, m_registry.As(&errors));
    EXPECT_EQ(S_OK, errors->InterfaceSupportsErrorInfo(IID_IRegistry));
}

} // namespace

namespace {

// A parent key with two subkeys and a default value, and what a call that
// is refused must leave of it.
class OutOfRange : public KeyModel {
  protected:
    void SetUp() override
    {
        KeyModel::SetUp();
        WriteRaw("parent", "", REG_SZ, Bytes({'d', 0}));
        WriteRaw("parent", "v", REG_DWORD, Bytes({7, 0, 0, 0}));
        WriteRaw("parent\\one", "x", REG_SZ, Bytes({'1', 0}));
        WriteRaw("parent\\two", "x", REG_SZ, Bytes({'2', 0}));
    }
    void ExpectUnchanged()
    {
        EXPECT_TRUE(KeyExists("parent\\one"));
        EXPECT_TRUE(KeyExists("parent\\two"));
        EXPECT_EQ(2u, SubKeyCount("parent"));
        EXPECT_EQ(1u, SubKeyCount(""));
        EXPECT_EQ(Bytes({'d', 0}), ReadRaw("parent", "").bytes);
        EXPECT_EQ(Bytes({7, 0, 0, 0}), ReadRaw("parent", "v").bytes);
    }
};

TEST_F(OutOfRange, KeysRefuseAPositionThatNamesNoSubkey)
{
    ComPtr<IRegistryKeys> keys = SubKeys("parent");
    for (long position : {0L, -1L, 3L, 99L}) {
        SCOPED_TRACE(position);
        ExpectError(keys->Remove(Variant(position)), EInvalidIndex, kKeysSource, L"Invalid index.", IID_IRegistryKeys);
        ComPtr<IRegistryKey> key;
        ExpectError(keys->Move(Variant(position), B(L"moved").get(), &key), EInvalidIndex, kKeysSource,
                    L"Invalid index.", IID_IRegistryKeys);
        ExpectError(keys->Copy(Variant(position), B(L"copied").get(), VARIANT_TRUE, &key), EInvalidIndex, kKeysSource,
                    L"Invalid index.", IID_IRegistryKeys);
        EXPECT_EQ(nullptr, key.Get());
        ExpectUnchanged();
    }
    ExpectError(keys->Remove(Variant(static_cast<short>(3))), EInvalidIndex, kKeysSource, L"Invalid index.",
                IID_IRegistryKeys);
    ExpectError(keys->Remove(V(L"")), EInvalidIndex, kKeysSource, L"Invalid index.", IID_IRegistryKeys);
    ExpectUnchanged();
    EXPECT_FALSE(KeyExists("moved"));
    EXPECT_FALSE(KeyExists("copied"));

    // Positions 1 to Count still work; Item keeps naming the own key one past the end.
    EXPECT_EQ(L"parent", ItemName(keys.Get(), Variant(3L)));
    ASSERT_EQ(S_OK, keys->Remove(Variant(2L)));
    EXPECT_EQ(1u, SubKeyCount("parent"));
}

TEST_F(OutOfRange, ValuesRefuseAPositionThatNamesNoValue)
{
    ComPtr<IRegistryKey> key = KeyAt("parent");
    ComPtr<IRegistryValues> values;
    ASSERT_EQ(S_OK, key->get_Values(&values));
    const wchar_t kValuesSource[] = L"RegistryValues.RegistryValues.1";
    for (long position : {0L, -1L, 3L, 99L}) {
        SCOPED_TRACE(position);
        ExpectError(values->Remove(Variant(position)), EInvalidIndex, kValuesSource, L"Invalid index.",
                    IID_IRegistryValues);
        ComPtr<IRegistryValue> value;
        ExpectError(values->Move(Variant(position), B(L"moved").get(), &value), EInvalidIndex, kValuesSource,
                    L"Invalid index.", IID_IRegistryValues);
        ExpectError(values->Copy(Variant(position), B(L"copied").get(), &value), EInvalidIndex, kValuesSource,
                    L"Invalid index.", IID_IRegistryValues);
        EXPECT_EQ(nullptr, value.Get());
        ExpectUnchanged();
    }
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadRaw("parent", "moved").rc);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadRaw("parent", "copied").rc);
}

TEST_F(OutOfRange, AKeyMovedOntoItselfIsRefused)
{
    ComPtr<IRegistryKeys> keys = SubKeys("parent");
    ComPtr<IRegistryKey> key;
    // The registry reads a doubled or trailing backslash as one.
    std::wstring doubled = FullPath("parent");
    doubled.insert(doubled.rfind(L'\\'), L"\\");
    for (const std::wstring& target : {std::wstring(L"ONE"), FullPath("parent\\one"), doubled + L"\\\\one",
                                       doubled + L"\\one\\", doubled + L"\\one\\deeper"}) {
        SCOPED_TRACE(target);
        ExpectError(keys->Move(V(L"one"), B(target).get(), &key), EInvalidKey, kKeysSource, L"Invalid key.",
                    IID_IRegistryKeys);
        ExpectUnchanged();
        EXPECT_EQ(Bytes({'1', 0}), ReadRaw("parent\\one", "x").bytes);
    }
}

TEST_F(OutOfRange, AFailedConnectKeepsTheRegistryItHad)
{
    ExpectErrorFrom(m_registry->Connect(B(L"NOSUCHHOST").get()), EMessageFromSystem, kRegistrySource, IID_IRegistry);
    LONG count = 0xdeadbeef;
    ASSERT_EQ(S_OK, TopKeys()->get_Count(&count));
    EXPECT_EQ(5, count);
    ComPtr<IRegistryValue> value;
    ASSERT_EQ(S_OK, m_registry->Item(B(FullPath("parent") + L"\\v").get(), &value));
    EXPECT_EQ(L"parent", ItemName(TopKeys().Get(), V(FullPath("parent"))));
}

} // namespace
