#include "vantrel/foundation/logs/error_manager.h"

#include <cstdlib>

#include <fmt/format.h>

#include "vantrel/core/console.h"
#include "vantrel/core/fatal.h"
#include "vantrel/core/random.h"
#include "vantrel/platform/foundation/bundles/main_bundle.h"

namespace vantrel {
namespace {

std::shared_ptr<CsvLogger> openOrNull(const std::string& name) {
  try {
    return CsvLogger::create(name);
  } catch (const CsvLogger::Errur& e) {
    consolePrintError(fmt::format("VantrelErrorManager: cannot open the log {}: {}", name, e.description()));
    return nullptr;
  }
}

void writeLine(const std::shared_ptr<CsvLogger>& logger, std::string_view line) {
  if (logger) {
    logger->logLine(line);
  } else {
    consolePrintError(line);
  }
}

}  // namespace

VantrelErrorManager::VantrelErrorManager() {
  if (auto identifier = mainBundleIdentifier()) {
    identifier_ = *identifier;
  } else {
    identifier_ = fmt::format("no_bundle_identifier_{}", randomUniform(1000000));
  }
  logFatal_ = openOrNull("ErrorManager_" + identifier_ + "_fatal");
  logInfo_ = openOrNull("ErrorManager_" + identifier_ + "_info");
  logWarn_ = openOrNull("ErrorManager_" + identifier_ + "_warn");
  runningStartedFromXcode_ = std::getenv("__XCODE_BUILT_PRODUCTS_DIR_PATHS") != nullptr;
}

std::shared_ptr<VantrelErrorManager> VantrelErrorManager::create() {
  struct Made : VantrelErrorManager {};
  return std::make_shared<Made>();
}

const std::shared_ptr<VantrelErrorManager>& VantrelErrorManager::si() {
  // Never destroyed: reports may come from other threads while statics are
  // torn down.
  static const auto* shared = new std::shared_ptr<VantrelErrorManager>(create());
  return *shared;
}

void VantrelErrorManager::fatalError(std::string_view message, bool /*forceLog*/, SourceLocation loc) {
  const std::string line = "FatalError: " + std::string(message);
  writeLine(logFatal_, line);
  // The report must be on disk before the program stops or the caller goes
  // on (and perhaps crashes): wait for it, within a bound.
  if (runningStartedFromXcode_) {
    CsvLogger::flushAll(kFatalWriteBound);
    fatal(message, loc);
  }
  if (logFatal_) logFatal_->flush(kFatalWriteBound);
}

void VtInfoLog(std::string_view message) {
  consolePrint("🌿🌿🌿 " + std::string(message));
  writeLine(VantrelErrorManager::si()->logInfo(), message);
}

void VtWarnLog(std::string_view message) {
  consolePrint("🌳🌳🌳 " + std::string(message));
  writeLine(VantrelErrorManager::si()->logWarn(), message);
}

}  // namespace vantrel
