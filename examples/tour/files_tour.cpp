#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <vantrel/foundation/logs/csv_logger.h>
#include <vantrel/foundation/logs/error_manager.h>
#include <vantrel/foundation/files/file_operations.h>
#include <vantrel/foundation/files/file_queries.h>
#include <vantrel/foundation/files/free_file_names.h>
#include <vantrel/platform/foundation/files/folders.h>

#include "tour.h"

using namespace vantrel;

namespace {

// Everything here is written under a fresh temporary folder: HOME and the
// XDG folders point into it while a section runs, never at the user's own.
const std::string& tourFolder() {
  static const std::string folder = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "vantrel-tour-XXXXXX").string();
    return std::string(::mkdtemp(pattern.data()));
  }();
  return folder;
}

class TourHome {
 public:
  TourHome() {
    save("HOME", tourFolder());
    save("XDG_DATA_HOME", tourFolder() + "/share");
    save("XDG_CONFIG_HOME", tourFolder() + "/config");
    save("XDG_CACHE_HOME", tourFolder() + "/cache");
  }
  ~TourHome() {
    for (auto& [name, value] : saved_) {
      if (value) ::setenv(name.c_str(), value->c_str(), 1);
      else ::unsetenv(name.c_str());
    }
  }

 private:
  void save(const std::string& name, const std::string& value) {
    const char* old = std::getenv(name.c_str());
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    ::setenv(name.c_str(), value.c_str(), 1);
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

std::string contentsOf(const std::string& path) {
  std::ifstream in(path);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace

TOUR_SECTION(55, "Folders and free file names") {
  TourHome home;
  std::printf("library: %s\n", standardFolderPath(StandardFolder::library).c_str());
  std::printf("documents: %s\n", standardFolderPath(StandardFolder::documents).c_str());
  const std::string docs = standardFolderPath(StandardFolder::documents);
  ensureDirExists(Fm(), docs);
  std::ofstream(docs + "/report.txt") << "taken";
  const auto name = availableFilenameIn(Fm(), docs, "report.txt");  // prints the collision line
  std::printf("free name: %s\n", name.value_or("none").c_str());
}

TOUR_SECTION(56, "Copying and removing, and their failure lines") {
  TourHome home;
  const URL docs = URL::fileURLWithPath(standardFolderPath(StandardFolder::documents), true);
  const URL report = docs.appendingPathComponent("report.txt");
  copyIfExists(Fm(), report, docs.appendingPathComponent("backup/report.txt"));
  copyIfExists(Fm(), report, docs.appendingPathComponent("backup/report.txt"), /*overwrite=*/true);
  try {
    copyIfExists(Fm(), docs.appendingPathComponent("missing.txt"), docs.appendingPathComponent("x.txt"));
  } catch (const VantrelNSFileManagerError& e) {
    std::printf("thrown: %s\n", e.message().c_str());
  }
  removeItemAtPathVtLog(Fm(), docs.path() + "/never-there");  // a red line
  removeRecursively(Fm(), docs.appendingPathComponent("backup", true));
}

TOUR_SECTION(57, "File queries") {
  TourHome home;
  const std::string docs = standardFolderPath(StandardFolder::documents);
  std::printf("is folder: %d, size of report.txt: %lld\n", vtIsDirectory(Fm(), docs) ? 1 : 0,
              static_cast<long long>(vtFileSize(Fm(), docs + "/report.txt").value_or(-1)));
  (void)vtFileSize(Fm(), docs + "/missing.txt");  // prints "Error: No such file or directory"
}

TOUR_SECTION(58, "CSV log files") {
  TourHome home;
  auto logger = CsvLogger::create("tour");
  logger->log({"started", "42", "ok"});
  logger->logLine(" a free line");
  logger->logLine("no date", false);
  logger->flush();
  std::printf("%s", contentsOf(standardFolderPath(StandardFolder::library) + "/Private Documents/logs/tour.log").c_str());
}

TOUR_SECTION(59, "Error manager") {
  TourHome home;
  ::unsetenv("__XCODE_BUILT_PRODUCTS_DIR_PATHS");  // the stop road is for development runs
  VtInfoLog("cache rebuilt");
  VtWarnLog("disk almost full");
  const auto& manager = VantrelErrorManager::si();
  manager->fatalError("Identifier not cell");  // logged, and the program goes on
  const std::string logs = standardFolderPath(StandardFolder::library) + "/Private Documents/logs/";
  std::printf("fatal log: %s", contentsOf(logs + "ErrorManager_" + manager->applicationIdentifier() + "_fatal.log").c_str());
  std::filesystem::remove_all(tourFolder());
}
