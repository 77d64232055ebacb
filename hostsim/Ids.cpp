#include "Ids.h"

#include <cwctype>

namespace outlooksim::Ids {

namespace {

// The Exchange provider's wrapped-store identifier (MAPI's store entry wrapper).
constexpr uint8_t kWrapperProvider[16] = {0x38, 0xA1, 0xBB, 0x10, 0x05, 0xE5, 0x10, 0x1A,
                                          0xA1, 0xBB, 0x08, 0x00, 0x2B, 0x2A, 0x56, 0xC2};
constexpr uint8_t kPrivateStoreProvider[16] = {0x1B, 0x55, 0xFA, 0x20, 0xAA, 0x66, 0x11, 0xCD,
                                               0x9B, 0xC8, 0x00, 0xAA, 0x00, 0x2F, 0xC4, 0x5A};
constexpr uint8_t kPublicStoreProvider[16] = {0x1C, 0x83, 0x02, 0x10, 0xAA, 0x66, 0x11, 0xCD,
                                              0x9B, 0xC8, 0x00, 0xAA, 0x00, 0x2F, 0xC4, 0x5A};
constexpr uint32_t kMailboxStoreType = 0x0000000C;
constexpr uint32_t kPublicStoreType = 0x00000006;
constexpr uint16_t kPrivateFolderType = 0x0001;
constexpr uint16_t kPublicFolderType = 0x0003;

class Bytes {
  public:
    Bytes& Raw(const uint8_t* data, size_t n)
    {
        m_bytes.insert(m_bytes.end(), data, data + n);
        return *this;
    }
    Bytes& Le32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            m_bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }
    Bytes& Le16(uint16_t v)
    {
        m_bytes.push_back(static_cast<uint8_t>(v));
        m_bytes.push_back(static_cast<uint8_t>(v >> 8));
        return *this;
    }
    Bytes& Be(uint64_t v, int n)
    {
        for (int i = n - 1; i >= 0; --i)
            m_bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }
    Bytes& Guid(const GUID& g) { return Raw(reinterpret_cast<const uint8_t*>(&g), sizeof g); }
    // Zero-terminated text, padded with zeros to a minimum length.
    Bytes& Text(std::string_view text, size_t minLength = 0)
    {
        m_bytes.insert(m_bytes.end(), text.begin(), text.end());
        size_t n = text.size() + 1;
        m_bytes.insert(m_bytes.end(), n < minLength ? minLength - text.size() : 1, 0);
        return *this;
    }
    const std::vector<uint8_t>& Get() const noexcept { return m_bytes; }

  private:
    std::vector<uint8_t> m_bytes;
};

Bytes StoreHeader(const uint8_t* provider, uint32_t type, std::string_view server)
{
    Bytes b;
    b.Le32(0).Raw(kWrapperProvider, 16);
    b.Raw(reinterpret_cast<const uint8_t*>("\0\0"), 2); // version, flag
    b.Text("emsmdb.dll", 14);
    b.Le32(0).Raw(provider, 16).Le32(type);
    b.Text(server);
    return b;
}

} // namespace

std::wstring Hex(const std::vector<uint8_t>& bytes)
{
    static const wchar_t digits[] = L"0123456789ABCDEF";
    std::wstring text;
    text.reserve(bytes.size() * 2);
    for (uint8_t b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

bool IsHex(std::wstring_view text) noexcept
{
    if (text.empty() || text.size() % 2 != 0)
        return false;
    for (wchar_t c : text)
        if (!std::iswxdigit(c))
            return false;
    return true;
}

bool Same(std::wstring_view a, std::wstring_view b) noexcept
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::towupper(a[i]) != std::towupper(b[i]))
            return false;
    return true;
}

std::wstring Short(std::wstring_view id)
{
    if (id.size() <= 20)
        return std::wstring(id);
    return std::wstring(id.substr(0, 8)) + L"\u2026" + std::wstring(id.substr(id.size() - 8));
}

std::wstring MailboxStoreId(std::string_view server, std::string_view mailboxDn)
{
    Bytes b = StoreHeader(kPrivateStoreProvider, kMailboxStoreType, server);
    b.Text(mailboxDn);
    return Hex(b.Get());
}

std::wstring PublicStoreId(std::string_view server, std::string_view storeDn)
{
    Bytes b = StoreHeader(kPublicStoreProvider, kPublicStoreType, server);
    b.Text(storeDn);
    return Hex(b.Get());
}

std::wstring FolderEntryId(bool publicStore, const GUID& provider, const GUID& database, uint64_t counter)
{
    Bytes b;
    b.Le32(0).Guid(provider).Le16(publicStore ? kPublicFolderType : kPrivateFolderType).Guid(database);
    b.Be(counter, 6).Le16(0);
    return Hex(b.Get());
}

} // namespace outlooksim::Ids
