#include "vantrel/observable/internal/texts.h"
#include "vantrel/observable/internal/iteration.h"

#include <fmt/format.h>
#include <fmt/ranges.h>

#include "vantrel/core/describe.h"
#include "vantrel/core/fatal.h"

namespace vantrel::observable_internal {

std::string caseDescription(std::string_view name, std::string_view text) {
  return fmt::format("{}({})", name, debugDescribe(text));
}

std::string caseDescription(std::string_view name, std::int64_t count, std::string_view text) {
  return fmt::format("{}({}, {})", name, count, debugDescribe(text));
}

std::string joined(const std::vector<std::string>& texts, std::string_view separator) {
  std::string out;
  for (std::size_t i = 0; i < texts.size(); ++i) {
    if (i > 0) out += separator;
    out += texts[i];
  }
  return out;
}

std::string countedDescription(std::string_view head, std::int64_t count,
                               std::string_view elementPart) {
  return fmt::format("{}{}, elements: {})", head, count, elementPart);
}

std::string listedElements(const std::vector<std::string>& texts, bool more) {
  if (texts.empty()) return "<none>";
  std::string out = joined(texts, ", ");
  if (more) out += ", ...";
  return out;
}

void indexOutOfRange(std::string_view operation, std::int64_t index, std::int64_t lower,
                     std::int64_t upper) {
  fatal(fmt::format("{}: index {} out of range {}..<{}", operation, index, lower, upper));
}

void moveFromOutOfBounds(std::int64_t index) {
  fatal(fmt::format("from index {} out of bounds.", index));
}

void moveToOutOfBounds(std::int64_t index) { fatal(fmt::format("to index {} out of bounds.", index)); }

void sourcesNotAscending(const std::vector<std::int64_t>& sources) {
  fatal(fmt::format("[{}] not in ascending order!", fmt::join(sources, ", ")));
}

void sourceRepeated(std::int64_t index) {
  fatal(fmt::format("from index {} is listed more than once.", index));
}

void changedWhileIterating(std::string_view collection) {
  fatal(fmt::format("{} changed while an iterator over it was in use", collection));
}

void iteratorAtEnd(std::string_view collection, std::string_view action) {
  fatal(fmt::format("{} iterator {} at its end", collection, action));
}

}  // namespace vantrel::observable_internal
