// File: vantrel/platform/foundation/url.h
//
// `URL`: a file URL, the small part of a URL value that the file helpers
// need. It holds an absolute path (empty and "." components dropped) and whether it names
// a folder; its text form is the "file://" URL of that path.
//
//   URL u = URL::fileURLWithPath("/tmp/out", true);
//   u.path();                                  // "/tmp/out"
//   u.description();                           // "file:///tmp/out/"
//   u.appendingPathComponent("a b.txt").description();   // "file:///tmp/out/a%20b.txt"
//
// A relative path is taken from the current directory when the URL is made.
// Value type; thread-safe like any value.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "vantrel/core/api.h"
namespace vantrel VANTREL_API {

class URL {
 public:
  URL() = default;  // the root folder

  // A file URL for `path` ("" and "." are the current folder); `isDirectory`
  // marks it as a folder.
  [[nodiscard]] static URL fileURLWithPath(std::string_view path, bool isDirectory = false);

  // The path, without a trailing slash (except for "/").
  [[nodiscard]] const std::string& path() const { return path_; }
  [[nodiscard]] bool hasDirectoryPath() const { return isDirectory_; }
  // "file://" + the percent-encoded path, with a trailing "/" for a folder.
  [[nodiscard]] std::string absoluteString() const;
  [[nodiscard]] std::string description() const { return absoluteString(); }

  [[nodiscard]] std::string lastPathComponent() const;
  [[nodiscard]] std::string pathExtension() const;
  // `component` may hold slashes; "" leaves the URL unchanged.
  [[nodiscard]] URL appendingPathComponent(std::string_view component, bool isDirectory = false) const;
  [[nodiscard]] URL deletingLastPathComponent() const;

  friend bool operator==(const URL&, const URL&) = default;

 private:
  std::string path_ = "/";
  bool isDirectory_ = true;
};

}  // namespace vantrel

template <>
struct std::hash<vantrel::URL> {
  std::size_t operator()(const vantrel::URL& url) const noexcept {
    return std::hash<std::string>()(url.path()) ^ static_cast<std::size_t>(url.hasDirectoryPath());
  }
};
