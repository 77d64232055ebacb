// Reads and steers the probe plug-in (ZarqProbe.dll) through its exports.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

class ProbeJournal {
  public:
    ProbeJournal() : m_dll(::LoadLibraryA("ZarqProbe.dll"))
    {
        if (m_dll) {
            m_reset = reinterpret_cast<void(__stdcall*)()>(::GetProcAddress(m_dll, "ZarqProbeReset"));
            m_fail = reinterpret_cast<void(__stdcall*)(const char*)>(::GetProcAddress(m_dll, "ZarqProbeFail"));
            m_journal = reinterpret_cast<int(__stdcall*)(char*, int)>(::GetProcAddress(m_dll, "ZarqProbeJournal"));
        }
        Reset();
    }
    ~ProbeJournal()
    {
        Reset();
        if (m_dll)
            ::FreeLibrary(m_dll);
    }
    ProbeJournal(const ProbeJournal&) = delete;
    ProbeJournal& operator=(const ProbeJournal&) = delete;

    bool Loaded() const { return m_reset && m_fail && m_journal; }
    void Reset()
    {
        if (m_reset)
            m_reset();
        m_seen = 0;
    }
    // Makes an operation fail: "StartUp", or for one class "ZarqOther.HandleItemAdd".
    void Fail(const char* operation)
    {
        if (m_fail)
            m_fail(operation);
    }
    // The calls recorded since the last Reset or Take, one line each.
    std::vector<std::string> Take()
    {
        std::vector<std::string> lines;
        if (!m_journal)
            return lines;
        std::string text(static_cast<size_t>(m_journal(nullptr, 0)), '\0');
        m_journal(text.data(), static_cast<int>(text.size()));
        text.resize(text.size() - 1);
        size_t start = 0;
        for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', start)) {
            lines.push_back(text.substr(start, at - start));
            start = at + 1;
        }
        std::vector<std::string> fresh(lines.begin() + static_cast<std::ptrdiff_t>(m_seen), lines.end());
        m_seen = lines.size();
        return fresh;
    }

  private:
    HMODULE m_dll;
    void(__stdcall* m_reset)() = nullptr;
    void(__stdcall* m_fail)(const char*) = nullptr;
    int(__stdcall* m_journal)(char*, int) = nullptr;
    size_t m_seen = 0;
};
