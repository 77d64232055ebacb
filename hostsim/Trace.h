// The record of what happens between the add-in and the stand-in: one line
// per call the add-in makes on Outlook's objects ("outlook: ..."), per step
// the host takes ("host: ..."). Lines go to standard output as they come
// (UTF-8) and are kept for the tests.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace outlooksim {

class Trace {
  public:
    explicit Trace(bool echo = true) : m_echo(echo) {}
    Trace(const Trace&) = delete;
    Trace& operator=(const Trace&) = delete;

    void Line(std::wstring line);
    void Outlook(std::wstring_view text) { Line(L"outlook: " + std::wstring(text)); }
    void Host(std::wstring_view text) { Line(L"host: " + std::wstring(text)); }

    const std::vector<std::wstring>& Lines() const noexcept { return m_lines; }
    // Lines containing the text, in order.
    std::vector<std::wstring> Matching(std::wstring_view text) const;
    bool Contains(std::wstring_view text) const { return !Matching(text).empty(); }
    void Clear() noexcept { m_lines.clear(); }
    void SetEcho(bool echo) noexcept { m_echo = echo; }

    // Writes UTF-8 text to standard output at once, unbuffered, so that it
    // stays in order with what other modules of the process write there.
    static void Write(std::wstring_view text);

    // Display forms used in trace lines.
    static std::wstring Quoted(std::wstring_view text) { return L"\"" + std::wstring(text) + L"\""; }
    static std::wstring Hresult(long hr);
    // "1 subscriber", "2 subscribers"
    static std::wstring Count(long n, std::wstring_view noun)
    {
        return std::to_wstring(n) + L" " + std::wstring(noun) + (n == 1 ? L"" : L"s");
    }

  private:
    bool m_echo;
    std::vector<std::wstring> m_lines;
};

} // namespace outlooksim
