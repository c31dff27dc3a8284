// Readers of the texts under /proc that the running-application list is made
// from. They take the bytes as read (anything, also from a process that
// changes its own name or environment) and answer nullopt for what they
// cannot make sense of; none reads outside its input.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vantrel::kit_internal {

// What the running-application list takes from "/proc/<pid>/stat".
struct ProcStat {
  std::string name;                 // the bytes between the first "(" and the last ")"
  std::uint64_t startTimeTicks = 0;  // field 22: clock ticks after boot
};

// The name may hold blanks and parentheses, so the numbered fields are
// counted from after the last ")" (field 3, the state, comes first).
[[nodiscard]] std::optional<ProcStat> parseProcStat(std::string_view stat);

// The seconds since 1970 of the "btime" line of "/proc/stat".
[[nodiscard]] std::optional<std::int64_t> parseBootTime(std::string_view procStat);

// The real uid: the first number of the "Uid:" line of "/proc/<pid>/status".
[[nodiscard]] std::optional<std::uint32_t> parseRealUid(std::string_view status);

// The value of the first entry `name` of an environment block
// ("NAME=value" entries ended by NUL bytes; the last may lack its NUL).
[[nodiscard]] std::optional<std::string_view> environValue(std::string_view environ, std::string_view name);

// The id of a desktop file: its file name without ".desktop"
// ("/usr/share/applications/org.gnome.Terminal.desktop" gives
// "org.gnome.Terminal"); nullopt when nothing is left.
[[nodiscard]] std::optional<std::string> desktopFileId(std::string_view desktopFilePath);

// The desktop-file id a process was started from: the
// "GIO_LAUNCHED_DESKTOP_FILE" entry of its environment block, as above.
[[nodiscard]] std::optional<std::string> launchedDesktopFileId(std::string_view environ);

}  // namespace vantrel::kit_internal
