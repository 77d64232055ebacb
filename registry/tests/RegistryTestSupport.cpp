#include "RegistryTestSupport.h"

#include <fstream>
#include <sstream>

std::vector<BYTE> Bytes(std::initializer_list<int> values)
{
    std::vector<BYTE> out;
    for (int v : values)
        out.push_back(static_cast<BYTE>(v));
    return out;
}

std::vector<BYTE> Bytes(std::string_view text) { return std::vector<BYTE>(text.begin(), text.end()); }

com::Bstr B(const std::wstring& text) { return com::Bstr(text); }
com::Variant V(const std::wstring& text) { return com::Variant(std::wstring_view(text)); }

void RegistryTest::SetUp()
{
    ASSERT_TRUE(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)));
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    m_base = std::string("Software\\corvane-tests\\") + info->test_suite_name() + "." + info->name() + "." +
             std::to_string(::GetCurrentProcessId());
    ::RegDeleteTreeA(HKEY_CURRENT_USER, m_base.c_str());
    CreateKey("");
    CLSID clsid{};
    ASSERT_EQ(S_OK, ::CLSIDFromProgID(L"rovane.Registry", &clsid));
    ASSERT_EQ(S_OK, ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&m_registry)));
}

void RegistryTest::TearDown()
{
    m_registry.Reset();
    ::RegDeleteTreeA(HKEY_CURRENT_USER, m_base.c_str());
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\corvane-tests"); // only if empty
    ::CoUninitialize();
}

std::string RegistryTest::KeyName(const std::string& sub) const { return sub.empty() ? m_base : m_base + "\\" + sub; }

std::wstring RegistryTest::FullPath(const std::string& sub) const
{
    return L"\\HKEY_CURRENT_USER\\" + com::Widen(KeyName(sub));
}

void RegistryTest::CreateKey(const std::string& sub)
{
    com::UniqueHKey key;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExA(HKEY_CURRENT_USER, KeyName(sub).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                                               nullptr, key.put(), nullptr));
}

bool RegistryTest::KeyExists(const std::string& sub) const
{
    com::UniqueHKey key;
    return ::RegOpenKeyExA(HKEY_CURRENT_USER, KeyName(sub).c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

void RegistryTest::WriteRaw(const std::string& sub, const std::string& name, DWORD type, const std::vector<BYTE>& bytes)
{
    SCOPED_TRACE("WriteRaw " + sub + " " + name);
    CreateKey(sub);
    com::UniqueHKey key;
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExA(HKEY_CURRENT_USER, KeyName(sub).c_str(), 0, KEY_ALL_ACCESS, key.put()));
    // A byte after the data that is not zero: for a string without its
    // terminator the system would write a zero byte that follows it too.
    std::vector<BYTE> padded(bytes);
    padded.push_back(1);
    EXPECT_EQ(ERROR_SUCCESS,
              ::RegSetValueExA(key.get(), name.c_str(), 0, type, padded.data(), static_cast<DWORD>(bytes.size())));
}

StoredValue RegistryTest::ReadRaw(const std::string& sub, const std::string& name) const
{
    StoredValue value;
    com::UniqueHKey key;
    value.rc = ::RegOpenKeyExA(HKEY_CURRENT_USER, KeyName(sub).c_str(), 0, KEY_READ, key.put());
    if (value.rc != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    value.rc = ::RegQueryValueExA(key.get(), name.c_str(), nullptr, &value.type, nullptr, &size);
    if (value.rc == ERROR_SUCCESS) {
        value.bytes.resize(size);
        value.rc = ::RegQueryValueExA(key.get(), name.c_str(), nullptr, &value.type, value.bytes.data(), &size);
        value.bytes.resize(size);
    }
    return value;
}

DWORD RegistryTest::SubKeyCount(const std::string& sub) const
{
    com::UniqueHKey key;
    DWORD count = 0xdeadbeef;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, KeyName(sub).c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return count;
    ::RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, &count, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, nullptr);
    return count;
}

com::ComPtr<IRegistryKey> RegistryTest::KeyAt(const std::string& sub)
{
    com::ComPtr<IRegistryKeys> keys;
    com::ComPtr<IRegistryKey> key;
    EXPECT_EQ(S_OK, m_registry->get_Keys(&keys));
    EXPECT_EQ(S_OK, keys->get_Item(V(FullPath(sub)), &key));
    return key;
}

namespace {

struct ErrorFields {
    std::wstring description;
    std::wstring source;
    GUID guid{};
    bool present = false;
};

ErrorFields TakeError()
{
    ErrorFields fields;
    com::ComPtr<IErrorInfo> info;
    if (::GetErrorInfo(0, &info) != S_OK || !info)
        return fields;
    fields.present = true;
    com::Bstr text;
    info->GetDescription(text.put());
    fields.description = text.str();
    info->GetSource(text.put());
    fields.source = text.str();
    info->GetGUID(&fields.guid);
    return fields;
}

} // namespace

void ExpectErrorFrom(HRESULT hr, HRESULT expected, const std::wstring& source, REFIID iid)
{
    EXPECT_EQ(expected, hr);
    ErrorFields fields = TakeError();
    ASSERT_TRUE(fields.present) << "no error information";
    EXPECT_EQ(source, fields.source);
    EXPECT_TRUE(IsEqualGUID(iid, fields.guid));
}

void ExpectError(HRESULT hr, HRESULT expected, const std::wstring& source, const std::wstring& description, REFIID iid)
{
    EXPECT_EQ(expected, hr);
    ErrorFields fields = TakeError();
    ASSERT_TRUE(fields.present) << "no error information";
    EXPECT_EQ(description, fields.description);
    EXPECT_EQ(source, fields.source);
    EXPECT_TRUE(IsEqualGUID(iid, fields.guid));
}

TempFile::TempFile(const char* tag)
{
    char dir[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, dir);
    m_path = std::string(dir) + "rovane-" + tag + "-" + std::to_string(::GetCurrentProcessId()) + "-" +
             std::to_string(::GetTickCount()) + ".reg";
    ::DeleteFileA(m_path.c_str());
}

TempFile::~TempFile() { ::DeleteFileA(m_path.c_str()); }

std::string TempFile::Read() const
{
    std::ifstream in(m_path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void TempFile::Write(std::string_view text) const
{
    std::ofstream out(m_path, std::ios::binary);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}
