// Entry and store identifiers as Outlook shows them: the hexadecimal text
// (upper case) of MAPI's binary identifiers, laid out as Exchange lays them
// out: a store identifier wraps the Exchange provider's store entry (with
// the server and the mailbox or public store's distinguished name, which
// makes public-store identifiers several hundred characters long); a folder
// identifier holds the provider, the folder type, the database and a
// running number.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace outlooksim::Ids {

std::wstring Hex(const std::vector<uint8_t>& bytes);
bool IsHex(std::wstring_view text) noexcept;
// Identifiers compare as the binary values they stand for: without regard to case.
bool Same(std::wstring_view a, std::wstring_view b) noexcept;
// A short form for trace lines: the first and last eight characters.
std::wstring Short(std::wstring_view id);

std::wstring MailboxStoreId(std::string_view server, std::string_view mailboxDn);
std::wstring PublicStoreId(std::string_view server, std::string_view storeDn);
std::wstring FolderEntryId(bool publicStore, const GUID& provider, const GUID& database, uint64_t counter);

} // namespace outlooksim::Ids
