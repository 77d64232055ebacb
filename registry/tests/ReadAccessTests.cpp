// The access rights the library asks for, seen through a stand-in of its
// key-opening calls (the objects of this program's own copy of the library):
// reading asks for no more than KEY_READ, writing for write access, and a
// key the user may only read can still be read through every object, while
// writes to it fail with the library's usual error information.
#include <windows.h>

#include <sstream>

#include "AccessRecorder.h"
#include "Registry.h"
#include "RegistryTestSupport.h"
#include "com/ComError.h"

using com::ComPtr;

namespace {

constexpr REGSAM kWrite = AccessRecorder::kWriteRights;

bool Names(const AccessRecorder::Call& call, const char* part) { return call.subKey.find(part) != std::string::npos; }

std::string Describe(const AccessRecorder::Call& call)
{
    std::ostringstream text;
    text << (call.create ? "create " : "open ") << call.subKey << " access 0x" << std::hex << call.access;
    return text.str();
}

// The calls that name part (every call, for an empty part) open their key
// for reading only; the others, if any are wanted, create theirs with write
// access.
void ExpectReadsOf(const AccessRecorder& recorder, const char* part, bool bWrites, const char* what)
{
    SCOPED_TRACE(what);
    bool read = false, written = false;
    for (const AccessRecorder::Call& call : recorder.Calls()) {
        if (Names(call, part)) {
            read = true;
            EXPECT_FALSE(call.create) << Describe(call);
            EXPECT_EQ(0u, call.access & ~static_cast<REGSAM>(KEY_READ)) << Describe(call);
        } else {
            written = true;
            EXPECT_TRUE(call.create) << Describe(call);
            EXPECT_EQ(kWrite, call.access & kWrite) << Describe(call);
        }
    }
    EXPECT_TRUE(read);
    EXPECT_EQ(bWrites, written);
}

class ReadAccess : public RegistryTest {
  protected:
    void SetUp() override
    {
        RegistryTest::SetUp();
        // The objects of this program, whose seams the recorder stands in for.
        m_registry = com::Make<Registry>();
        WriteRaw("Machine", "PluginPath", REG_SZ, kPluginPath);
        WriteRaw("Machine\\Plugins", "Count", REG_DWORD, Bytes({1, 0, 0, 0}));
    }

    ComPtr<IRegistryKeys> TopKeys()
    {
        ComPtr<IRegistryKeys> keys;
        EXPECT_EQ(S_OK, m_registry->get_Keys(&keys));
        return keys;
    }

    const std::vector<BYTE> kPluginPath = Bytes(std::string_view("C:\\corvane\0", 11));
};

} // namespace

TEST_F(ReadAccess, ReadingAsksForReadingAndWritingForWriting)
{
    {
        AccessRecorder recorder;
        EXPECT_EQ(S_OK, m_registry->Find(V(L"corvane"), B(FullPath("Machine")).get(), VARIANT_TRUE, foAll));
        ExpectReadsOf(recorder, "", false, "Find");
        recorder.Clear();
        TempFile file("access");
        EXPECT_EQ(S_OK, m_registry->Export(file.Name().get(), B(FullPath("Machine")).get(), VARIANT_TRUE));
        ExpectReadsOf(recorder, "", false, "Export");
    }

    ComPtr<IRegistryKey> base = KeyAt("");
    ASSERT_TRUE(base);
    ComPtr<IRegistryKeys> subKeys;
    ASSERT_EQ(S_OK, base->get_Keys(&subKeys));
    {
        AccessRecorder recorder;
        ComPtr<IRegistryKey> copy;
        EXPECT_EQ(S_OK, subKeys->Copy(V(L"Machine"), B(L"Copy").get(), VARIANT_TRUE, &copy));
        ExpectReadsOf(recorder, "\\Machine", true, "Keys.Copy: the source is read, the copy created");
        EXPECT_EQ(kPluginPath, ReadRaw("Copy", "PluginPath").bytes);

        recorder.Clear();
        EXPECT_EQ(S_OK, subKeys->Remove(V(L"Copy")));
        ExpectReadsOf(recorder, "", false, "Keys.Remove: the subtree is read, the system deletes it");
        EXPECT_FALSE(KeyExists("Copy"));

        recorder.Clear();
        ComPtr<IRegistryValue> copied;
        EXPECT_EQ(S_OK, m_registry->Copy(B(FullPath("Machine") + L"\\PluginPath").get(),
                                         B(FullPath("User") + L"\\PluginPath").get(), &copied));
        ExpectReadsOf(recorder, "\\Machine", true, "Registry.Copy: the source is read, the target key created");
        EXPECT_EQ(kPluginPath, ReadRaw("User", "PluginPath").bytes);

        recorder.Clear();
        TempFile file("access-import");
        file.Write("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\" + KeyName("Imported") + "]\r\n\"a\"=\"b\"\r\n");
        EXPECT_EQ(S_OK, m_registry->Import(file.Name().get()));
        ASSERT_EQ(1u, recorder.Calls().size());
        EXPECT_TRUE(recorder.Calls()[0].create);
        EXPECT_EQ(kWrite, recorder.Calls()[0].access & kWrite) << Describe(recorder.Calls()[0]);
    }
}

TEST_F(ReadAccess, AKeyTheUserMayOnlyReadIsReadAndRefusesWrites)
{
    AccessRecorder recorder("\\Machine");
    ComPtr<IRegistryKey> machine = KeyAt("Machine");
    ASSERT_TRUE(machine);
    // A key handed out may be written through: write access is asked for
    // first, reading alone once that is refused.
    ASSERT_EQ(2u, recorder.Calls().size());
    EXPECT_EQ(ERROR_ACCESS_DENIED, recorder.Calls()[0].result);
    EXPECT_EQ(kWrite, recorder.Calls()[0].access & kWrite);
    EXPECT_EQ(ERROR_SUCCESS, recorder.Calls()[1].result);
    EXPECT_EQ(static_cast<REGSAM>(KEY_READ), recorder.Calls()[1].access);

    ComPtr<IRegistryValues> values;
    ASSERT_EQ(S_OK, machine->get_Values(&values));
    LONG count = -1;
    EXPECT_EQ(S_OK, values->get_Count(&count));
    EXPECT_EQ(1, count);
    ComPtr<IRegistryValue> path;
    ASSERT_EQ(S_OK, values->get_Item(V(L"PluginPath"), &path));
    com::Variant data;
    EXPECT_EQ(S_OK, path->get_Data(dtEmpty, &data));
    EXPECT_EQ(L"C:\\corvane", data.ToString());

    ComPtr<IRegistryValue> byPath;
    ASSERT_EQ(S_OK, m_registry->Item(B(FullPath("Machine") + L"\\PluginPath").get(), &byPath));
    ComPtr<IRegistryKey> again;
    ASSERT_EQ(S_OK, TopKeys()->Add(B(FullPath("Machine")).get(), aoREG_OPTION_NON_VOLATILE, &again))
        << "an existing key is opened for reading";

    // Writes fail as any refused write does, and change nothing.
    const std::wstring denied = com::SystemMessage(ERROR_ACCESS_DENIED);
    ComPtr<IRegistryValue> added;
    ExpectError(values->Add(B(L"New").get(), V(L"x"), dtREG_SZ, &added), EMessageFromSystem,
                L"RegistryValues.RegistryValues.1", denied, IID_IRegistryValues);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, ReadRaw("Machine", "New").rc);
    ExpectError(path->put_Data(dtEmpty, V(L"D:\\other")), EMessageFromSystem, L"RegistryValue.RegistryValue.1", denied,
                IID_IRegistryValue);
    EXPECT_EQ(kPluginPath, ReadRaw("Machine", "PluginPath").bytes);
    ComPtr<IRegistryKey> created;
    ExpectError(TopKeys()->Add(B(FullPath("Machine\\New")).get(), aoREG_OPTION_NON_VOLATILE, &created),
                EMessageFromSystem, L"RegistryKeys.RegistryKeys.1", denied, IID_IRegistryKeys);
    EXPECT_FALSE(KeyExists("Machine\\New"));

    // Its values can be copied out into a key the user may write.
    ComPtr<IRegistryValue> copied;
    EXPECT_EQ(S_OK, m_registry->Copy(B(FullPath("Machine") + L"\\PluginPath").get(),
                                     B(FullPath("User") + L"\\PluginPath").get(), &copied));
    EXPECT_EQ(kPluginPath, ReadRaw("User", "PluginPath").bytes);
}
