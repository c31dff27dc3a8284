// File: vantrel/foundation/files/url_operations.h
//
// Operations on URLs, and `NamedLink`. The receiver comes first; the static
// ones (`URL::fromSafariUrlString`, `URL::vtBuildQueryStringFrom`, `URL::fromFu`)
// are on `URL` itself (vantrel/platform/foundation/files/url.h).
//
//   isImageUrl(*URL::fromString("https://x.org/a.JPG?s=1"))    true
//   appendingPathComponents(folder, "a", "b")                    folder/a/b
//   replacingPathExtension(URL::fileURLWithPath("/r/report.csv"), "txt")   /r/report.txt
//   ensureExistence(URL::fileURLWithPath("/tmp/out", true))     creates it, answers the URL
//
// Path edits of web URLs keep their query and fragment. `ensureExistence`
// prints "📛 IMPORTANT!! 📛 = Couldn't create dir <path>: <reason>" when the
// folder cannot be made and still answers the URL. Thread-safe.
#pragma once

#include <concepts>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/platform/foundation/files/url.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// A display name and where it leads.
class NamedLink {
 public:
  NamedLink(std::string name, URL url) : name_(std::move(name)), url_(std::move(url)) {}
  [[nodiscard]] const std::string& name() const { return name_; }
  [[nodiscard]] const URL& url() const { return url_; }

 private:
  std::string name_;
  URL url_;
};

// True when the lower-cased path extension is "jpg", "png" or "jpeg"; the
// query and fragment play no part.
[[nodiscard]] bool isImageUrl(const URL& self);

// Each component appended in order; none gives the URL unchanged.
[[nodiscard]] URL appendingPathComponents(const URL& self, const std::vector<std::string>& components);
template <class... Components>
  requires(std::convertible_to<const Components&, std::string_view> && ...)
[[nodiscard]] URL appendingPathComponents(const URL& self, const Components&... components) {
  return appendingPathComponents(self, std::vector<std::string>{std::string(std::string_view(components))...});
}

[[nodiscard]] URL replacingLastPathComponent(const URL& self, std::string_view component);
[[nodiscard]] URL replacingPathExtension(const URL& self, std::string_view extension);

// Creates the folder (and its missing parents) at a file URL; an existing
// folder is success. Answers the URL in every case.
URL ensureExistence(const URL& self);

}  // namespace vantrel
