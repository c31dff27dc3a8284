// File: vantrel/text/path_edits.h
//
// Texts that hold file-system paths or file names, with "/" as the only
// separator. Six primitives, and the edits composed of them.
//
//   lastPathComponent("/a/b.txt")                 "b.txt"
//   deletingLastPathComponent("/a/b.txt")         "/a"
//   pathExtension("/a/b.tar.gz")                  "gz"
//   deletingPathExtension("/a/b.txt")             "/a/b"
//   appendingPathComponent("/a/", "b")            "/a/b"      (never a doubled slash)
//   appendingPathExtension("a", "txt")            "a.txt"
//   vtAppendSuffixAtEndOfNameAndBeforeExtension("/p/photo.jpg", "_small")   "/p/photo_small.jpg"
//   extractBaseNameAndSixLetterSuffixAndExtension("x_ABCDEF.png")           {"x", "ABCDEF", "png"}
//
// Primitive rules: trailing slashes are not part of the last component
// ("/a/b/" has the last component "b"), a path of slashes only has "/";
// the extension is what follows the last full stop of the last component,
// empty when there is none, when the component starts with its only full stop
// (".profile") or ends with one. An empty extension appends nothing (no
// trailing "."). `appendingPathExtension` refuses (nullopt) an extension
// holding "/" and a path without a last component ("" or "/"); the edits
// built on it then give the path without the extension.
//
// The primitives that answer a part of their argument return views into it;
// their rvalue-string overloads are deleted. `fullNsRange` and
// `rangeStartingAt` count UTF-16 units; a location past the length, negative
// or splitting a surrogate pair stops the program with `fatal`. Thread-safe.
#pragma once

#include <concepts>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "vantrel/text/string_services.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// ---- The six primitives ---------------------------------------------------

[[nodiscard]] std::string_view lastPathComponent(std::string_view path);
template <class T>
  requires std::same_as<std::remove_const_t<T>, std::string>
void lastPathComponent(T&&) = delete;  // the view would dangle
// The path without its last component and the slash before it: "" for a
// single component, "/" for "/x" and "/".
[[nodiscard]] std::string_view deletingLastPathComponent(std::string_view path);
template <class T>
  requires std::same_as<std::remove_const_t<T>, std::string>
void deletingLastPathComponent(T&&) = delete;  // the view would dangle
[[nodiscard]] std::string_view pathExtension(std::string_view path);
template <class T>
  requires std::same_as<std::remove_const_t<T>, std::string>
void pathExtension(T&&) = delete;  // the view would dangle
// The path without the full stop and the extension (trailing slashes dropped
// with them); the path itself when it has no extension.
[[nodiscard]] std::string_view deletingPathExtension(std::string_view path);
template <class T>
  requires std::same_as<std::remove_const_t<T>, std::string>
void deletingPathExtension(T&&) = delete;  // the view would dangle
// The path, one slash and the component; no slash after an empty path, the
// path alone for an empty component.
[[nodiscard]] std::string appendingPathComponent(std::string_view path, std::string_view component);
// The path, "." and the extension; the path for an empty extension; nullopt
// when refused (see above).
[[nodiscard]] std::optional<std::string> appendingPathExtension(std::string_view path, std::string_view extension);

// ---- Edits of the string type -----------------------------------------------

[[nodiscard]] std::string stringByReplacingLastPathComponentWith(std::string_view self, std::string_view component);
[[nodiscard]] std::string vtStringByReplacingPathExtension(std::string_view self, std::string_view extension);
[[nodiscard]] std::string vtStringByAppendingPathComponents(std::string_view self,
                                                            const std::vector<std::string>& components);

struct BaseNameSuffixAndExtension {
  std::string basename;
  std::optional<std::string> suffix;
  std::optional<std::string> ext;
  friend bool operator==(const BaseNameSuffixAndExtension&, const BaseNameSuffixAndExtension&) = default;
};
// The last component's name split at an "_" followed by exactly six capital
// letters A-Z at its end ("^(.*)_([A-Z]{6})$", dot matching line
// separators); `ext` absent when the extension is empty.
[[nodiscard]] BaseNameSuffixAndExtension extractBaseNameAndSixLetterSuffixAndExtension(std::string_view self);

// ---- Edits of the platform string ---------------------------------------------

[[nodiscard]] std::string vtAppendSuffixAtEndOfNameAndBeforeExtension(std::string_view self, std::string_view suffix);
// Only the extension lower-cased (full Unicode mapping, no locale).
[[nodiscard]] std::string vtStringWithLowercasedExtension(std::string_view self);
// Location 0, the UTF-16 length.
[[nodiscard]] Utf16Range fullNsRange(std::string_view self);
// From `location` to the end; 0 <= location <= the UTF-16 length.
[[nodiscard]] Utf16Range rangeStartingAt(std::string_view self, std::int64_t location);

}  // namespace vantrel
