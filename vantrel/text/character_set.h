// File: vantrel/text/character_set.h
//
// `CharacterSet`: an immutable set of Unicode scalars, with the predefined
// blank, newline and URL-component sets.
//
//   CharacterSet::whitespaces().contains(U'\t')           true
//   CharacterSet::fromCharacters(",;").contains(U';')     true
//   rangeOfCharacter("ab,c", CharacterSet::fromCharacters(","))  bytes 2..<3
//
// Membership is by scalar; a character of several scalars is judged by the
// operation that uses the set (each says which scalar it looks at). Copies
// share their storage. The predefined sets are built once, safely under
// concurrent first use; a set may be read from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/text/string_services.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class CharacterSet {
 public:
  // The empty set.
  CharacterSet();

  // The scalars of `text` (CharacterSet(charactersIn:)).
  [[nodiscard]] static CharacterSet fromCharacters(std::string_view text);
  // The scalars first...last (an empty set when last < first).
  [[nodiscard]] static CharacterSet fromRange(char32_t first, char32_t last);

  // General category Zs and U+0009.
  [[nodiscard]] static const CharacterSet& whitespaces();
  // General category Z, U+000A...U+000D and U+0085, and the tab: every
  // member of `whitespaces` is one.
  [[nodiscard]] static const CharacterSet& whitespacesAndNewlines();
  // U+000A...U+000D, U+0085, U+2028 and U+2029.
  [[nodiscard]] static const CharacterSet& newlines();
  // What each URL component may hold unescaped (ASCII letters, digits and the
  // component's own punctuation).
  [[nodiscard]] static const CharacterSet& urlFragmentAllowed();
  [[nodiscard]] static const CharacterSet& urlHostAllowed();
  [[nodiscard]] static const CharacterSet& urlPasswordAllowed();
  [[nodiscard]] static const CharacterSet& urlPathAllowed();
  [[nodiscard]] static const CharacterSet& urlQueryAllowed();
  [[nodiscard]] static const CharacterSet& urlUserAllowed();

  // File names and base 32 (file_names.h has the operations on them).
  // The 13 characters ( ) % & : / \ | " < > ? + kept out of file names.
  [[nodiscard]] static const CharacterSet& vtInvalidForFilesystemCharacterSet();
  // 9 of them, without the parentheses, "%" and "&": : / \ | " < > ? +
  [[nodiscard]] static const CharacterSet& vtWeakerInvalidForFilesystemCharacterSet();
  // a-z A-Z 0-9 - _
  [[nodiscard]] static const CharacterSet& vtPortableForFilesystemCharacterSet();
  // a-z A-Z 2-7 (no "=", no 0, 1, 8, 9).
  [[nodiscard]] static const CharacterSet& base32();
  // The six URL-component sets united; a new set on every call.
  [[nodiscard]] static CharacterSet URLVantrelAllCombinedAllowed();
  // Six lines on standard output: each URL-component set's label, " is --> ",
  // its members in order and " <--".
  static void debug_PrintNSURLCharacterSets();
  // The members as one-scalar texts, in ascending scalar order.
  [[nodiscard]] std::vector<std::string> vtContainingCharacters() const;

  [[nodiscard]] bool contains(char32_t scalar) const;
  [[nodiscard]] CharacterSet inverted() const;
  [[nodiscard]] CharacterSet union_(const CharacterSet& other) const;
  // Whether any scalar of plane `plane` (0...16) is a member.
  [[nodiscard]] bool hasMemberInPlane(std::uint8_t plane) const;

  friend VANTREL_API bool operator==(const CharacterSet& a, const CharacterSet& b);

  struct Impl;

 private:
  explicit CharacterSet(std::shared_ptr<const Impl> impl);
  std::shared_ptr<const Impl> impl_;
};

// Bytes of the first scalar of `text` (within `range`, whole text when
// absent) that is a member of `set`; nullopt when none is.
[[nodiscard]] std::optional<ByteRange> rangeOfCharacter(std::string_view text, const CharacterSet& set,
                                                        std::optional<ByteRange> range = std::nullopt);

// The text without the characters at both ends that lie wholly in `set`
// (every scalar a member); a character is never cut in two.
[[nodiscard]] std::string trimmingCharacters(std::string_view text, const CharacterSet& set);

// The parts between members of `set` (by scalar), empty parts kept: n
// members give n + 1 parts.
[[nodiscard]] std::vector<std::string> componentsSeparatedBySet(std::string_view text, const CharacterSet& set);

}  // namespace vantrel
