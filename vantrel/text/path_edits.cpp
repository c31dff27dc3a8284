#include "vantrel/text/path_edits.h"

#include "vantrel/core/no_destructor.h"
#include "vantrel/text/regular_expression.h"

namespace vantrel {
namespace {

// End of the path without its trailing slashes (0 for "" and for slashes only).
std::size_t endWithoutTrailingSlashes(std::string_view path) {
  std::size_t end = path.size();
  while (end > 0 && path[end - 1] == '/') --end;
  return end;
}

const RegularExpression& sixLetterSuffixPattern() {
  static const NoDestructor<RegularExpression> pattern("^(.*)_([A-Z][A-Z][A-Z][A-Z][A-Z][A-Z])$",
                                                       RegularExpressionOptions::dotMatchesLineSeparators);
  return *pattern;
}

}  // namespace

std::string_view lastPathComponent(std::string_view path) {
  if (path.empty()) return path;
  const std::size_t end = endWithoutTrailingSlashes(path);
  if (end == 0) return path.substr(0, 1);
  const std::size_t slash = path.rfind('/', end - 1);
  const std::size_t start = slash == std::string_view::npos ? 0 : slash + 1;
  return path.substr(start, end - start);
}

std::string_view deletingLastPathComponent(std::string_view path) {
  if (path.empty()) return path;
  const std::size_t end = endWithoutTrailingSlashes(path);
  if (end == 0) return path.substr(0, 1);
  const std::size_t slash = path.rfind('/', end - 1);
  if (slash == std::string_view::npos) return path.substr(0, 0);
  const std::size_t cut = endWithoutTrailingSlashes(path.substr(0, slash));
  return cut == 0 ? path.substr(0, 1) : path.substr(0, cut);
}

std::string_view pathExtension(std::string_view path) {
  const std::string_view last = lastPathComponent(path);
  const std::size_t dot = last.rfind('.');
  if (dot == std::string_view::npos || dot == 0 || dot + 1 == last.size()) return last.substr(0, 0);
  return last.substr(dot + 1);
}

std::string_view deletingPathExtension(std::string_view path) {
  const std::string_view extension = pathExtension(path);
  if (extension.empty()) return path;
  return path.substr(0, static_cast<std::size_t>(extension.data() - path.data()) - 1);
}

std::string appendingPathComponent(std::string_view path, std::string_view component) {
  std::size_t skip = 0;
  while (skip < component.size() && component[skip] == '/') ++skip;
  if (skip == component.size()) return std::string(path);
  if (path.empty()) return std::string(component);
  std::string joined(path.substr(0, endWithoutTrailingSlashes(path)));
  joined += '/';
  joined += component.substr(skip);
  return joined;
}

std::optional<std::string> appendingPathExtension(std::string_view path, std::string_view extension) {
  if (extension.find('/') != std::string_view::npos) return std::nullopt;
  if (extension.empty()) return std::string(path);
  const std::size_t end = endWithoutTrailingSlashes(path);
  if (end == 0) return std::nullopt;
  std::string joined(path.substr(0, end));
  joined += '.';
  joined += extension;
  return joined;
}

std::string stringByReplacingLastPathComponentWith(std::string_view self, std::string_view component) {
  return appendingPathComponent(deletingLastPathComponent(self), component);
}

std::string vtStringByReplacingPathExtension(std::string_view self, std::string_view extension) {
  const std::string_view base = deletingPathExtension(self);
  return appendingPathExtension(base, extension).value_or(std::string(base));
}

std::string vtStringByAppendingPathComponents(std::string_view self, const std::vector<std::string>& components) {
  std::string path(self);
  for (const std::string& component : components) path = appendingPathComponent(path, component);
  return path;
}

BaseNameSuffixAndExtension extractBaseNameAndSixLetterSuffixAndExtension(std::string_view self) {
  const std::string_view extension = pathExtension(self);
  std::optional<std::string> ext;
  if (!extension.empty()) ext = std::string(extension);
  const std::string_view name = deletingPathExtension(lastPathComponent(self));
  const std::u16string units = utf16FromUtf8(name);
  const auto match = sixLetterSuffixPattern().firstMatch(std::u16string_view(units));
  if (!match) return {std::string(name), std::nullopt, std::move(ext)};
  return {utf8Substring(units, match->rangeAt(1)), utf8Substring(units, match->rangeAt(2)), std::move(ext)};
}

std::string vtAppendSuffixAtEndOfNameAndBeforeExtension(std::string_view self, std::string_view suffix) {
  const std::string_view last = lastPathComponent(self);
  const std::string_view extension = pathExtension(last);
  const std::string_view folder = deletingLastPathComponent(self);
  std::string name(deletingPathExtension(last));
  name += suffix;
  const std::string named = appendingPathExtension(name, extension).value_or(name);
  return appendingPathComponent(folder, named);
}

std::string vtStringWithLowercasedExtension(std::string_view self) {
  const std::string_view base = deletingPathExtension(self);
  return appendingPathExtension(base, lowercased(pathExtension(self))).value_or(std::string(base));
}

Utf16Range fullNsRange(std::string_view self) { return {0, utf16Length(self)}; }

Utf16Range rangeStartingAt(std::string_view self, std::int64_t location) {
  (void)byteOffset(self, location);  // stops for a negative, past-the-end or mid-pair location
  return {location, utf16Length(self) - location};
}

}  // namespace vantrel
