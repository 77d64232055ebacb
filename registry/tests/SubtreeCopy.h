// A registry subtree below HKEY_CURRENT_USER read as data: every key, a
// parent before its children, with its values byte for byte. The tests
// compare such copies; the benchmark writes one back with plain registry
// calls.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "com/ComRaii.h"

struct SubtreeValue {
    std::string name;
    DWORD type = 0;
    std::vector<BYTE> data;
    bool operator==(const SubtreeValue&) const = default;
};

struct SubtreeKey {
    std::string path; // below HKEY_CURRENT_USER
    std::vector<SubtreeValue> values;
    bool operator==(const SubtreeKey&) const = default;
};

// Appends the subtree at path to keys; false if a key could not be opened.
inline bool ReadSubtree(const std::string& path, std::vector<SubtreeKey>& keys)
{
    com::UniqueHKey key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS)
        return false;
    SubtreeKey stored{path, {}};
    char name[256];
    BYTE data[4096];
    for (DWORD i = 0;; ++i) {
        DWORD nameLength = sizeof(name), dataLength = sizeof(data), type = 0;
        if (::RegEnumValueA(key.get(), i, name, &nameLength, nullptr, &type, data, &dataLength) != ERROR_SUCCESS)
            break;
        stored.values.push_back({std::string(name, nameLength), type, std::vector<BYTE>(data, data + dataLength)});
    }
    keys.push_back(std::move(stored));
    std::vector<std::string> children;
    for (DWORD i = 0;; ++i) {
        DWORD length = sizeof(name);
        if (::RegEnumKeyExA(key.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        children.emplace_back(name, length);
    }
    key.reset();
    for (const std::string& child : children)
        if (!ReadSubtree(path + "\\" + child, keys))
            return false;
    return true;
}
