// Files a test must not find (a configuration file and its backup beside
// corvane.dll, say): SetAside keeps their bytes and removes them; PutBack
// removes what the test left there and writes back what was there before.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace hosttest {

class FilesSetAside {
  public:
    explicit FilesSetAside(std::vector<std::wstring> paths) : m_paths(std::move(paths)), m_saved(m_paths.size()) {}

    void SetAside()
    {
        for (size_t i = 0; i < m_paths.size(); ++i) {
            m_saved[i] = Read(m_paths[i]);
            std::filesystem::remove(std::filesystem::path(m_paths[i]));
        }
    }
    void PutBack()
    {
        for (size_t i = 0; i < m_paths.size(); ++i) {
            std::filesystem::remove(std::filesystem::path(m_paths[i]));
            if (m_saved[i])
                std::ofstream(std::filesystem::path(m_paths[i]), std::ios::binary) << *m_saved[i];
            m_saved[i].reset();
        }
    }

  private:
    static std::optional<std::string> Read(const std::wstring& path)
    {
        std::ifstream file(std::filesystem::path(path), std::ios::binary);
        if (!file)
            return std::nullopt;
        return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }

    std::vector<std::wstring> m_paths;
    std::vector<std::optional<std::string>> m_saved;
};

} // namespace hosttest
