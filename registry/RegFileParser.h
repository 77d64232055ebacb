// The REGEDIT4 reader of Import, as a parser of text into operations: it
// knows nothing of the registry. Logical lines (physical lines joined where
// one ends in a backslash, CR LF or LF) drive a state machine: header, empty
// line, key line, value lines up to an empty line, key line, ...
// A Ctrl-Z that ends the text is the end-of-file mark, not data.
// A line that does not fit its state throws RegFileFormatError, which
// Import reports as EInvalidFileFormat. Portable: no platform headers.
#pragma once

#include <cstdint>
#include <exception>
#include <string_view>
#include <vector>

namespace reg {

// The text is not a file of the accepted REGEDIT4 subset.
class RegFileFormatError : public std::exception {
  public:
    const char* what() const noexcept override { return "Invalid file format."; }
};

// What the file asks for, in file order.
class RegFileHandler {
  public:
    // A key line: the text between the brackets.
    virtual void OnKey(std::string_view path) = 0;
    // A value line of the current key ("" for the default value).
    virtual void OnValue(std::string_view name, std::uint32_t type, std::vector<std::uint8_t> data) = 0;
    // The empty line that closes the current key's block, or the end of the file.
    virtual void OnKeyEnd() = 0;

  protected:
    ~RegFileHandler() = default;
};

void ParseRegFile(std::string_view text, RegFileHandler& handler);

} // namespace reg
