// File: vantrel/platform/foundation/files/url.h
//
// `URL`: a file URL, or any other absolute URL of RFC 3986.
//
// File URLs hold an absolute path (empty and "." components dropped) and
// whether it names a folder; their text form is the "file://" URL of that
// path.
//
//   URL u = URL::fileURLWithPath("/tmp/out", true);
//   u.path();                                  // "/tmp/out"
//   u.description();                           // "file:///tmp/out/"
//   u.appendingPathComponent("a b.txt").description();   // "file:///tmp/out/a%20b.txt"
//
// Other URLs come from `fromString`, which parses with uriparser and refuses
// (nullopt) what is not an RFC 3986 URI with a scheme: spaces, other
// characters outside the URI grammar (non-ASCII among them), "%" not followed
// by two hexadecimal digits, relative references. Their parts are kept as
// written (percent-encoded); `path()` and the path accessors decode.
//
//   auto w = URL::fromString("https://example.org/a/b.txt?x=1#top");
//   w->host();                                          // "example.org"
//   w->appendingPathComponent("c d").absoluteString();  // ".../a/b.txt/c%20d?x=1#top"
//
// A "file:" text with an empty or "localhost" host (or none, before an
// absolute path), no query, no fragment and no encoded "/" becomes a file
// URL, so `fromString(u.absoluteString())` gives `u` back for every URL. Path edits of other URLs keep their query and fragment.
//
// A relative path is taken from the current directory when the URL is made.
// Value type; thread-safe like any value.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class URL {
 public:
  URL() = default;  // the root folder

  // A file URL for `path` ("" and "." are the current folder); `isDirectory`
  // marks it as a folder.
  [[nodiscard]] static URL fileURLWithPath(std::string_view path, bool isDirectory = false);
  // The file URL of a path; a trailing "/" marks a folder.
  [[nodiscard]] static URL fromFu(std::string_view path);
  // The URL the text writes; nullopt for a text that is no absolute RFC 3986 URI.
  [[nodiscard]] static std::optional<URL> fromString(std::string_view text);

  // A URL from text copied out of a browser's address field: the text as it
  // is when it parses; otherwise, for a text beginning with "http" that holds
  // a "/", the text with its last component (after the last "/")
  // percent-encoded, leaving "#!$&'()*+,-./0-9:;=?@A-Z_a-z~" and every valid
  // "%XX" escape as they are. nullopt when that does not parse either.
  [[nodiscard]] static std::optional<URL> fromSafariUrlString(std::string_view text);

  // "?" and the pairs "key=value" joined by "&", in key order (`compareText`,
  // then bytes), keys and values percent-encoded except A-Z a-z 0-9 "-._~";
  // "" for no pairs. Any map of texts to texts.
  template <class Map>
  [[nodiscard]] static std::string vtBuildQueryStringFrom(const Map& dictionary) {
    std::vector<std::pair<std::string_view, std::string_view>> pairs;
    pairs.reserve(dictionary.size());
    for (const auto& [key, value] : dictionary) pairs.emplace_back(key, value);
    return buildQueryString(std::move(pairs));
  }

  [[nodiscard]] bool isFileURL() const { return scheme_.empty(); }
  // As written ("file" for file URLs).
  [[nodiscard]] std::string scheme() const { return isFileURL() ? "file" : scheme_; }
  // Parts of the authority, as written; nullopt when absent. File URLs
  // have the empty host and nothing else.
  [[nodiscard]] std::optional<std::string> host() const;
  [[nodiscard]] std::optional<std::string> port() const;
  [[nodiscard]] std::optional<std::string> user() const;
  [[nodiscard]] std::optional<std::string> password() const;
  // After "?" and "#", as written; nullopt when the URL has none.
  [[nodiscard]] const std::optional<std::string>& query() const { return query_; }
  [[nodiscard]] const std::optional<std::string>& fragment() const { return fragment_; }

  // The decoded path; for a file URL without a trailing slash (except for
  // "/"). Escapes of bytes that are no UTF-8 read as U+FFFD in other URLs.
  [[nodiscard]] const std::string& path() const { return path_; }
  // The path as written (other URLs); the encoded path of a file URL.
  [[nodiscard]] std::string percentEncodedPath() const;
  [[nodiscard]] bool hasDirectoryPath() const;
  // File URLs: "file://" + the percent-encoded path, with a trailing "/" for
  // a folder. Other URLs: the text they were parsed from, as edited.
  [[nodiscard]] std::string absoluteString() const;
  [[nodiscard]] std::string description() const { return absoluteString(); }

  [[nodiscard]] std::string lastPathComponent() const;
  [[nodiscard]] std::string pathExtension() const;
  // `component` may hold slashes; "" leaves the URL unchanged.
  [[nodiscard]] URL appendingPathComponent(std::string_view component, bool isDirectory = false) const;
  [[nodiscard]] URL deletingLastPathComponent() const;
  // Without the last component's "." and extension; unchanged without one.
  [[nodiscard]] URL deletingPathExtension() const;
  // "." and the extension after the last component; unchanged for an empty
  // extension, one holding "/", or a path without a last component.
  [[nodiscard]] URL appendingPathExtension(std::string_view extension) const;

  friend bool operator==(const URL&, const URL&) = default;

 private:
  [[nodiscard]] static std::string buildQueryString(std::vector<std::pair<std::string_view, std::string_view>> pairs);
  [[nodiscard]] URL withRawPath(std::string rawPath) const;

  // File URLs: `scheme_` empty, `path_` the file-system path. Other URLs:
  // the parts as written, `path_` the decoded `rawPath_`.
  std::string path_ = "/";
  bool isDirectory_ = true;
  std::string scheme_;
  std::optional<std::string> authority_;
  std::string rawPath_;
  std::optional<std::string> query_;
  std::optional<std::string> fragment_;
};

}  // namespace vantrel

template <>
struct std::hash<vantrel::URL> {
  std::size_t operator()(const vantrel::URL& url) const noexcept {
    const std::hash<std::string> h;
    return h(url.path()) ^ static_cast<std::size_t>(url.hasDirectoryPath()) ^
           (url.isFileURL() ? 0 : h(url.absoluteString()) * 31);
  }
};
