// The REGEDIT4 reader fed with any bytes: it either hands on operations in
// order or rejects the text, and never reads outside it.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "RegFileParser.h"

namespace
{

// Checks the order of what the reader hands on: values only inside a key's
// block, every block closed once.
class OrderCheck final : public reg::RegFileHandler
{
  public:
    void OnKey(std::string_view) override
    {
        if (m_open)
            std::abort();
        m_open = true;
    }
    void OnValue(std::string_view, std::uint32_t, std::vector<std::uint8_t>) override
    {
        if (!m_open)
            std::abort();
    }
    void OnKeyEnd() override
    {
        if (!m_open)
            std::abort();
        m_open = false;
    }
    bool Open() const { return m_open; }

  private:
    bool m_open = false;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    OrderCheck check;
    try {
        reg::ParseRegFile(std::string_view(reinterpret_cast<const char*>(data), size), check);
        if (check.Open())
            std::abort(); // the end of the file closes the last block
    } catch (const reg::RegFileFormatError&) {
    }
    return 0;
}
