// File: vantrel/foundation/logs/error_manager.h
//
// `VantrelErrorManager`: the per-application report channel, with three CSV
// log files in the user's Library folder / "Private Documents" / "logs":
// "ErrorManager_<id>_fatal.log", "…_info.log" and "…_warn.log", where <id>
// is the main bundle's identifier, else "no_bundle_identifier_" and a random
// number below 1000000 drawn once per manager.
//
//   VantrelErrorManager::si()->fatalError("Identifier not cell");
//   VtInfoLog("cache rebuilt");    // prints "🌿🌿🌿 cache rebuilt", logs "cache rebuilt"
//   VtWarnLog("slow disk");        // prints "🌳🌳🌳 slow disk", logs "slow disk"
//
// `fatalError` writes date + "FatalError: " + message to the fatal log and
// waits (at most `kFatalWriteBound`) until the line is in the file; then it
// stops the program (`fatal`, after writing every logger's queued lines)
// when the environment held "__XCODE_BUILT_PRODUCTS_DIR_PATHS" (any value,
// also empty) when the manager was made, and otherwise returns: the caller
// must be ready to go on.
//
// A log file that cannot be opened leaves its logger null; the lines meant
// for it then go to standard error, so none is lost silently.
// Thread-safe; `si()` is made once, on first use, and never destroyed.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <string_view>

#include "vantrel/core/source_location.h"
#include "vantrel/foundation/logs/csv_logger.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class VantrelErrorManager {
 public:
  static constexpr std::chrono::milliseconds kFatalWriteBound{3000};

  // The shared manager.
  [[nodiscard]] static const std::shared_ptr<VantrelErrorManager>& si();
  // A new manager: identifier, the three loggers, the environment test.
  [[nodiscard]] static std::shared_ptr<VantrelErrorManager> create();

  virtual ~VantrelErrorManager() = default;
  VantrelErrorManager(const VantrelErrorManager&) = delete;  // shared by reference
  VantrelErrorManager& operator=(const VantrelErrorManager&) = delete;

  // `forceLog` changes nothing; it is accepted for callers that pass it.
  virtual void fatalError(std::string_view message, bool forceLog = false,
                          SourceLocation loc = SourceLocation::current());

  [[nodiscard]] const std::shared_ptr<CsvLogger>& logFatal() const { return logFatal_; }
  [[nodiscard]] const std::shared_ptr<CsvLogger>& logInfo() const { return logInfo_; }
  [[nodiscard]] const std::shared_ptr<CsvLogger>& logWarn() const { return logWarn_; }
  [[nodiscard]] bool runningStartedFromXcode() const { return runningStartedFromXcode_; }
  // The identifier in the three file names.
  [[nodiscard]] const std::string& applicationIdentifier() const { return identifier_; }

 protected:
  VantrelErrorManager();

 private:
  std::string identifier_;
  std::shared_ptr<CsvLogger> logFatal_;
  std::shared_ptr<CsvLogger> logInfo_;
  std::shared_ptr<CsvLogger> logWarn_;
  bool runningStartedFromXcode_ = false;
};

// Prints "🌿🌿🌿 " + message; writes date + message to the shared manager's
// information log.
void VtInfoLog(std::string_view message);
// Prints "🌳🌳🌳 " + message; writes date + message to the warning log.
void VtWarnLog(std::string_view message);

}  // namespace vantrel
