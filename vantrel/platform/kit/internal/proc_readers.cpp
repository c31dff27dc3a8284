#include "vantrel/platform/kit/internal/proc_readers.h"

#include <string>

#include "vantrel/core/number_text.h"

namespace vantrel::kit_internal {
namespace {

// The rest of the first entry that starts with `prefix`, entries ending at
// `separator` (the lines of a /proc file, the variables of an environ block).
std::optional<std::string_view> entryAfter(std::string_view text, char separator, std::string_view prefix) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(separator, start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view entry = text.substr(start, end - start);
    if (entry.substr(0, prefix.size()) == prefix) return entry.substr(prefix.size());
    start = end + 1;
  }
  return std::nullopt;
}

// The text of the line that starts with `prefix`, after the prefix.
std::optional<std::string_view> lineAfter(std::string_view text, std::string_view prefix) {
  return entryAfter(text, '\n', prefix);
}

bool isBlank(char c) { return c == ' ' || c == '\t'; }

// The first token of blanks-separated text.
std::string_view firstToken(std::string_view text) {
  std::size_t begin = 0;
  while (begin < text.size() && isBlank(text[begin])) ++begin;
  std::size_t end = begin;
  while (end < text.size() && !isBlank(text[end]) && text[end] != '\n') ++end;
  return text.substr(begin, end - begin);
}

}  // namespace

std::optional<ProcStat> parseProcStat(std::string_view stat) {
  const std::size_t open = stat.find('(');
  const std::size_t close = stat.rfind(')');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open) return std::nullopt;
  ProcStat result;
  result.name = std::string(stat.substr(open + 1, close - open - 1));
  // Fields 3, 4, ... follow, one blank apart; field 22 is the 20th of them.
  std::string_view rest = stat.substr(close + 1);
  constexpr int kStartTimeIndex = 22 - 3;
  int index = -1;
  std::size_t position = 0;
  while (position < rest.size()) {
    while (position < rest.size() && (rest[position] == ' ' || rest[position] == '\n')) ++position;
    if (position >= rest.size()) break;
    std::size_t end = position;
    while (end < rest.size() && rest[end] != ' ' && rest[end] != '\n') ++end;
    ++index;
    if (index == kStartTimeIndex) {
      const auto ticks = parseUInt64(rest.substr(position, end - position));
      if (!ticks) return std::nullopt;
      result.startTimeTicks = *ticks;
      return result;
    }
    position = end;
  }
  return std::nullopt;
}

std::optional<std::int64_t> parseBootTime(std::string_view procStat) {
  const auto value = lineAfter(procStat, "btime ");
  if (!value) return std::nullopt;
  const auto seconds = parseInt64(firstToken(*value));
  if (!seconds || *seconds < 0) return std::nullopt;
  return seconds;
}

std::optional<std::uint32_t> parseRealUid(std::string_view status) {
  const auto value = lineAfter(status, "Uid:");
  if (!value) return std::nullopt;
  const auto uid = parseUInt64(firstToken(*value));
  if (!uid || *uid > UINT32_MAX) return std::nullopt;
  return static_cast<std::uint32_t>(*uid);
}

std::optional<std::string_view> environValue(std::string_view environ, std::string_view name) {
  std::string key(name);
  key += '=';
  return entryAfter(environ, '\0', key);
}

std::optional<std::string> desktopFileId(std::string_view desktopFilePath) {
  const std::size_t slash = desktopFilePath.rfind('/');
  std::string_view name = slash == std::string_view::npos ? desktopFilePath : desktopFilePath.substr(slash + 1);
  constexpr std::string_view kSuffix = ".desktop";
  if (name.size() >= kSuffix.size() && name.substr(name.size() - kSuffix.size()) == kSuffix) {
    name.remove_suffix(kSuffix.size());
  }
  if (name.empty()) return std::nullopt;
  return std::string(name);
}

std::optional<std::string> launchedDesktopFileId(std::string_view environ) {
  const auto path = environValue(environ, "GIO_LAUNCHED_DESKTOP_FILE");
  if (!path) return std::nullopt;
  return desktopFileId(*path);
}

}  // namespace vantrel::kit_internal
