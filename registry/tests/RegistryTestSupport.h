// Shared pieces of rovane's tests: a fixture that owns a private key under
// HKEY_CURRENT_USER (deleted before and after each test) and a Registry
// object created by ProgID; checks of error information; raw registry access
// that bypasses the library.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "RovaneInterfaces.h"
#include "com/ComRaii.h"

// The registry's own view of a value, read without the library.
struct StoredValue {
    LONG rc = ERROR_SUCCESS;
    DWORD type = 0xdeadbeef;
    std::vector<BYTE> bytes;
};

std::vector<BYTE> Bytes(std::initializer_list<int> values);
std::vector<BYTE> Bytes(std::string_view text); // without terminator

class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // "Software\corvane-tests\<test>" under HKEY_CURRENT_USER, plus sub.
    std::string KeyName(const std::string& sub = {}) const;
    // The same as a full path: "\HKEY_CURRENT_USER\Software\...".
    std::wstring FullPath(const std::string& sub = {}) const;

    void CreateKey(const std::string& sub);
    bool KeyExists(const std::string& sub) const;
    void WriteRaw(const std::string& sub, const std::string& name, DWORD type, const std::vector<BYTE>& bytes);
    StoredValue ReadRaw(const std::string& sub, const std::string& name) const;
    DWORD SubKeyCount(const std::string& sub) const;

    com::ComPtr<IRegistryKey> KeyAt(const std::string& sub);

    com::ComPtr<IRegistry> m_registry;

  private:
    std::string m_base;
};

// Checks hr and the thread's error information (description, source, interface).
void ExpectError(HRESULT hr, HRESULT expected, const std::wstring& source, const std::wstring& description, REFIID iid);
// Checks hr and that the error information names the source and interface (any text).
void ExpectErrorFrom(HRESULT hr, HRESULT expected, const std::wstring& source, REFIID iid);

// A temporary file name in the temp folder that does not exist yet (deleted with the object).
class TempFile {
  public:
    explicit TempFile(const char* tag);
    ~TempFile();
    const std::string& Path() const { return m_path; }
    com::Bstr Name() const { return com::Bstr::FromAnsi(m_path); }
    std::string Read() const;
    void Write(std::string_view text) const;

  private:
    std::string m_path;
};

com::Bstr B(const std::wstring& text);
com::Variant V(const std::wstring& text);
