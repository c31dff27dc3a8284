// File: vantrel/platform/foundation/bundles/strings_file.h
//
// The ".strings" table format of localization folders: entries
// `"key" = "value";`, with C comments (`/* ... */` and `// ...`) anywhere
// between tokens.
//
//   auto table = parseStringsFile("/* menu */\n\"menu_Open\" = \"Öffnen\";\n");
//   table.at("menu_Open");                       // "Öffnen"
//   stringsFileQuoted("say \"hi\"\n");           // "\"say \\\"hi\\\"\\n\""
//
// Text: UTF-8, or UTF-16 when the bytes start with a byte-order mark
// (FF FE little-endian, FE FF big-endian); a UTF-8 mark is skipped.
// Tokens: a double-quoted string or a bare word of letters, digits and
// "_$+/:.-". Escapes inside quotes: \\ \" \' \n \t \r \a \b \f \v, up to
// three octal digits (\0, \101), and \U or \u with four hexadecimal digits
// naming a UTF-16 unit (a surrogate pair is two of them); any other escaped
// character stands for itself. `"key";` alone maps the key to itself.
// A repeated key keeps its last value.
//
// Malformed input (bad UTF-8 or UTF-16, an unterminated string or comment,
// a missing "=" or ";", an unpaired surrogate) throws
// `StringsFileError` naming the line; the parser is total otherwise.
// Pure; thread-safe.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

#include "vantrel/core/error.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class StringsFileError : public Error {
 public:
  // `line` counts from 1 in the decoded text.
  StringsFileError(std::string reason, std::int64_t line);

  [[nodiscard]] const std::string& reason() const { return reason_; }
  [[nodiscard]] std::int64_t line() const { return line_; }

 private:
  std::string reason_;
  std::int64_t line_;
};

// The entries of a table file's bytes.
[[nodiscard]] std::unordered_map<std::string, std::string> parseStringsFile(std::string_view bytes);

// The file's bytes as UTF-8 text, the byte-order mark removed. Throws
// `StringsFileError` (line 1) for ill-formed UTF-8 or UTF-16.
[[nodiscard]] std::string decodeStringsFileText(std::string_view bytes);

// `text` as a quoted token that `parseStringsFile` reads back as `text`:
// backslash, quotation mark, LF, CR and tab get their short escapes, other
// control characters (and U+007F) are written \UXXXX; ill-formed UTF-8
// is written as U+FFFD.
[[nodiscard]] std::string stringsFileQuoted(std::string_view text);

}  // namespace vantrel
