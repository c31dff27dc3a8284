#include "vantrel/platform/kit/proc_running_applications.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <limits>
#include <system_error>

#include "vantrel/core/checked.h"
#include "vantrel/core/number_text.h"
#include "vantrel/core/sort.h"
#include "vantrel/platform/foundation/bundles/main_bundle.h"
#include "vantrel/platform/kit/internal/proc_readers.h"
#include "vantrel/platform/kit/internal/x11_queries.h"
#include "vantrel/platform/posix/read_file.h"
#include "vantrel/platform/posix/unique_fd.h"
#include "vantrel/text/string_services.h"

namespace vantrel {
namespace {

// What every process of one listing shares.
struct Clock {
  std::optional<std::int64_t> bootTime;  // seconds since 1970
  std::int64_t ticksPerSecond = 0;
};

Clock readClock() {
  Clock clock;
  std::string stat;
  if (!posix::readFile("/proc/stat", stat)) clock.bootTime = kit_internal::parseBootTime(stat);
  const long ticks = ::sysconf(_SC_CLK_TCK);
  clock.ticksPerSecond = ticks > 0 ? ticks : 0;
  return clock;
}

std::optional<Date> launchDate(const Clock& clock, std::uint64_t startTicks) {
  if (!clock.bootTime || clock.ticksPerSecond <= 0) return std::nullopt;
  const auto perSecond = static_cast<std::uint64_t>(clock.ticksPerSecond);
  const std::uint64_t seconds = startTicks / perSecond;
  const std::uint64_t nanoseconds = (startTicks % perSecond) * 1'000'000'000u / perSecond;
  // A start beyond what the clock holds (only from a damaged file) has no date.
  constexpr std::int64_t kMaxSeconds = std::numeric_limits<std::int64_t>::max() / 1'000'000'000 - 1;
  if (seconds > static_cast<std::uint64_t>(kMaxSeconds)) return std::nullopt;
  const auto total = overflowingAdd<std::int64_t>(*clock.bootTime, static_cast<std::int64_t>(seconds));
  if (!total || *total > kMaxSeconds) return std::nullopt;
  return Date(std::chrono::duration_cast<Date::duration>(std::chrono::seconds(*total) +
                                                         std::chrono::nanoseconds(nanoseconds)));
}

// The target of a symbolic link; nullopt when it cannot be read.
std::optional<std::string> readLink(const std::string& path) {
  std::string buffer(256, '\0');
  for (;;) {
    const ssize_t n = ::readlink(path.c_str(), buffer.data(), buffer.size());
    if (n < 0) return std::nullopt;
    if (static_cast<std::size_t>(n) < buffer.size()) {
      buffer.resize(static_cast<std::size_t>(n));
      return buffer;
    }
    if (buffer.size() >= (1u << 20)) return std::nullopt;
    buffer.resize(buffer.size() * 2);
  }
}

RunningApplication::Ptr readApplication(std::int32_t pid, const Clock& clock, std::optional<std::uint32_t> onlyUid) {
  const std::string folder = "/proc/" + integerText(pid);
  std::string text;
  if (onlyUid) {
    // A process that ended or hides itself meanwhile is left out.
    if (posix::readFile(folder + "/status", text)) return nullptr;
    const auto uid = kit_internal::parseRealUid(text);
    if (!uid || *uid != *onlyUid) return nullptr;
  }
  if (posix::readFile(folder + "/stat", text)) return nullptr;
  const auto stat = kit_internal::parseProcStat(text);
  if (!stat) return nullptr;

  RunningApplication::Properties p;
  p.processIdentifier = pid;
  p.launchDate = launchDate(clock, stat->startTimeTicks);
  p.localizedName = repairedUtf8(stat->name);
  if (const auto executable = readLink(folder + "/exe"); executable && !executable->empty() &&
                                                         executable->front() == '/') {
    const std::string path = repairedUtf8(*executable);
    const std::size_t slash = path.rfind('/');
    if (slash + 1 < path.size()) p.localizedName = path.substr(slash + 1);
    p.executableURL = URL::fileURLWithPath(path);
    p.bundleURL = URL::fileURLWithPath(slash == 0 ? std::string("/") : path.substr(0, slash), true);
  }
  if (pid == ::getpid()) {
    p.bundleIdentifier = mainBundleIdentifier();
  } else if (!posix::readFile(folder + "/environ", text)) {
    if (auto id = kit_internal::launchedDesktopFileId(text)) p.bundleIdentifier = repairedUtf8(*id);
  }
  return RunningApplication::create(std::move(p));
}

// The process identifiers listed in /proc, in ascending order.
std::vector<std::int32_t> processIdentifiers() {
  std::vector<std::int32_t> pids;
  posix::UniqueFd fd(::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd) return pids;
  DIR* dir = ::fdopendir(fd.get());
  if (dir == nullptr) return pids;
  (void)fd.release();  // the folder stream owns it now
  while (const dirent* entry = ::readdir(dir)) {
    const auto pid = parseInt64(entry->d_name);
    if (pid && *pid > 0 && *pid <= std::numeric_limits<std::int32_t>::max()) {
      pids.push_back(static_cast<std::int32_t>(*pid));
    }
  }
  ::closedir(dir);
  stableSort(pids);
  return pids;
}

}  // namespace

std::shared_ptr<ProcRunningApplications> ProcRunningApplications::create(std::string displayName) {
  return std::shared_ptr<ProcRunningApplications>(new ProcRunningApplications(std::move(displayName)));
}

std::vector<RunningApplication::Ptr> ProcRunningApplications::runningApplications() {
  const Clock clock = readClock();
  const auto uid = static_cast<std::uint32_t>(::getuid());
  std::vector<RunningApplication::Ptr> applications;
  for (const std::int32_t pid : processIdentifiers()) {
    if (auto app = readApplication(pid, clock, uid)) applications.push_back(std::move(app));
  }
  return applications;
}

RunningApplication::Ptr ProcRunningApplications::applicationWithProcessIdentifier(std::int32_t pid) const {
  if (pid <= 0) return nullptr;
  return readApplication(pid, readClock(), std::nullopt);
}

RunningApplication::Ptr ProcRunningApplications::currentApplication() {
  if (auto app = applicationWithProcessIdentifier(::getpid())) return app;
  // /proc is not mounted: what the process knows of itself.
  RunningApplication::Properties p;
  p.processIdentifier = ::getpid();
  p.localizedName = repairedUtf8(program_invocation_short_name);
  p.bundleIdentifier = mainBundleIdentifier();
  return RunningApplication::create(std::move(p));
}

RunningApplication::Ptr ProcRunningApplications::frontmostApplication() {
  const auto pid = kit_internal::activeWindowProcessIdentifier(displayName_);
  if (!pid) return nullptr;
  return applicationWithProcessIdentifier(static_cast<std::int32_t>(*pid));
}

}  // namespace vantrel
