#include "SubtreeWalk.h"

#include "KeyAccess.h"
#include "KeyPath.h"
#include "RegistryErrors.h"
#include "com/ComRaii.h"

namespace reg {

namespace {

bool Skippable(LONG rc) { return rc == ERROR_FILE_NOT_FOUND || rc == ERROR_INSUFFICIENT_BUFFER; }
bool EndOfEnumeration(LONG rc) { return rc == ERROR_NO_MORE_ITEMS || rc == ERROR_FILE_NOT_FOUND; }

class Walk {
  public:
    Walk(std::string path, bool subKeys, SubtreeVisitor& visitor)
        : m_path(std::move(path)), m_subKeys(subKeys), m_visitor(visitor)
    {
    }

    // Walks the start key, opened under its root.
    bool Start(HKEY root, const std::string& tail) { return Key(root, tail.c_str(), m_path.rfind('\\') + 1); }

  private:
    // Opens subKey under parent; m_path already names it.
    bool Key(HKEY parent, const char* subKey, size_t nameStart)
    {
        com::UniqueHKey key;
        LONG rc = OpenKey(parent, subKey, KeyUse::Read, key);
        if (rc == ERROR_FILE_NOT_FOUND || rc == ERROR_ACCESS_DENIED)
            return true;
        CheckSystem(rc);
        if (!m_visitor.OnKey(m_path, std::string_view(m_path).substr(nameStart)))
            return false;
        KeyInfo info;
        rc = TryQueryKeyInfo(key.get(), info);
        if (Skippable(rc))
            return true;
        // Wine: RegQueryInfoKeyA fails with ERROR_INVALID_HANDLE on
        // HKLM\Software\Microsoft\Windows NT\CurrentVersion\Perflib\009 (a key
        // that stands for performance texts there), so a walk over the whole
        // of HKEY_LOCAL_MACHINE ends in EMessageFromSystem on Wine; Windows
        // answers for that key like for any other.
        CheckSystem(rc);
        if (!Values(key.get(), info))
            return false;
        return !m_subKeys || SubKeys(key.get(), info);
    }

    bool Values(HKEY key, const KeyInfo& info)
    {
        std::string name(info.maxValueNameLen + 1, '\0');
        std::vector<BYTE> data(info.maxValueLen + 1);
        for (DWORD i = 0;; ++i) {
            DWORD nameLength = static_cast<DWORD>(name.size());
            DWORD dataLength = static_cast<DWORD>(data.size());
            DWORD type = REG_NONE;
            LONG rc = ::RegEnumValueA(key, i, name.data(), &nameLength, nullptr, &type, data.data(), &dataLength);
            if (EndOfEnumeration(rc))
                return true;
            CheckSystem(rc);
            if (!m_visitor.OnValue(m_path, std::string_view(name.data(), nameLength), type,
                                   std::span<const BYTE>(data.data(), dataLength)))
                return false;
        }
    }

    bool SubKeys(HKEY key, const KeyInfo& info)
    {
        std::string child(info.maxSubKeyLen + 1, '\0');
        for (DWORD i = 0;; ++i) {
            DWORD length = static_cast<DWORD>(child.size());
            LONG rc = ::RegEnumKeyExA(key, i, child.data(), &length, nullptr, nullptr, nullptr, nullptr);
            if (EndOfEnumeration(rc))
                return true;
            CheckSystem(rc);
            const size_t parentLength = m_path.size();
            m_path.append("\\").append(child.data(), length);
            bool go = Key(key, child.c_str(), parentLength + 1);
            m_path.resize(parentLength);
            if (!go)
                return false;
        }
    }

    std::string m_path;
    bool m_subKeys;
    SubtreeVisitor& m_visitor;
};

} // namespace

std::vector<std::wstring> StartKeys(const RootKeyTable& roots, std::wstring_view key)
{
    std::vector<std::wstring> keys;
    if (!key.empty()) {
        keys.push_back(MergeKeys(L"", key, roots));
        return keys;
    }
    for (size_t i = 0; i < roots.Count(); ++i) {
        const std::wstring& name = roots.At(i).longName;
        if (name == L"\\HKEY_LOCAL_MACHINE" || name == L"\\HKEY_USERS")
            keys.push_back(name);
    }
    return keys;
}

bool WalkSubtree(const RootKeyTable& roots, const std::wstring& path, bool subKeys, SubtreeVisitor& visitor)
{
    KeyLocation where = Locate(path, roots);
    return Walk(com::Narrow(path), subKeys, visitor).Start(where.root, where.tail);
}

} // namespace reg
