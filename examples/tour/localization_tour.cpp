#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <vantrel/core/console.h>
#include <vantrel/foundation/operations/block_operation.h>
#include <vantrel/foundation/localization/localization.h>
#include <vantrel/foundation/localization/localization_debug.h>
#include <vantrel/foundation/files/stream_writer.h>
#include <vantrel/platform/foundation/bundles/bundle.h>
#include <vantrel/platform/foundation/operations/operation_queue.h>
#include <vantrel/platform/foundation/defaults/user_defaults.h>

#include "tour.h"

using namespace vantrel;

namespace {

// Everything here lives in a fresh temporary folder: HOME (the missing-keys
// file), the user defaults and a small application bundle. It goes when the
// program ends, whichever sections ran.
class LocalizationTourFolder {
 public:
  LocalizationTourFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "vantrel-l10n-tour-XXXXXX").string();
    path = std::string(::mkdtemp(pattern.data()));
  }
  ~LocalizationTourFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::string path;
};

const std::string& localizationTourFolder() {
  static const LocalizationTourFolder folder;
  return folder.path;
}

class LocalizationTourHome {
 public:
  LocalizationTourHome() {
    save("HOME", localizationTourFolder());
    save("XDG_CONFIG_HOME", localizationTourFolder() + "/config");
    UserDefaults::resetStandardUserDefaults();
    UserDefaults::standard()->set("AppleLanguages", std::vector<std::string>{"en"});
    write("app/Resources/en.lproj/Localizable.strings",
          "\"menu_Open\" = \"Open\";\n\"%d files\" = \"%d files\";\n\"onlyEnglish\" = \"English only\";\n");
    write("app/Resources/de.lproj/Localizable.strings",
          "/* German */\n\"menu_Open\" = \"\\U00d6ffnen\";\n\"%d files\" = \"%d Dateien\";\n"
          "\"%d items\" = \"%s Elemente\";\n");
    VantrelLocalization::setMainBundle(Bundle::bundleWithPath(localizationTourFolder() + "/app"));
  }
  ~LocalizationTourHome() {
    VantrelLocalization::setDebugOptions(false, false);
    UserDefaults::resetStandardUserDefaults();
    for (auto& [name, value] : saved_) {
      if (value) ::setenv(name.c_str(), value->c_str(), 1);
      else ::unsetenv(name.c_str());
    }
  }

 private:
  static void write(const std::string& relative, const std::string& text) {
    const std::filesystem::path path = localizationTourFolder() + "/" + relative;
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << text;
  }
  void save(const std::string& name, const std::string& value) {
    const char* old = std::getenv(name.c_str());
    saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    ::setenv(name.c_str(), value.c_str(), 1);
  }
  std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

std::string fileText(const std::string& path) {
  std::ifstream in(path);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace

TOUR_SECTION(60, "Line writer") {
  const std::string path = localizationTourFolder() + "/lines.txt";
  if (auto writer = StreamWriter::create(path)) {
    writer->writeLine("first line");
    writer->write("second ");
    writer->writeLine("line");
    writer->close();
    writer->writeLine("too late");  // prints the closed-handle warning
  }
  std::printf("%s", fileText(path).c_str());
  (void)StreamWriter::create(localizationTourFolder() + "/no/such/folder/x.txt");  // reported, no writer
}

TOUR_SECTION(61, "Localization: languages, lookups and formats") {
  LocalizationTourHome home;
  std::printf("available: %zu languages, default %s\n", VantrelLocalization::availableLanguages().size(),
              VantrelLocalization::defaultLanguage().c_str());
  std::printf("en: %s\n", localize("Open", "menu").c_str());
  VantrelLocalization::setCurrentLanguage("de");
  std::printf("de: %s / %s / %s\n", localize("Open", "menu").c_str(),
              VantrelLocalization::localizedStringFor("onlyEnglish").c_str(),
              formatLocalize("%d files", std::nullopt, 3).c_str());
  std::printf("English in German: %s\n", VantrelLocalization::displayNameForLanguage("en").c_str());
  // A translation whose specifier does not fit is reported, and the
  // program's own text is used.
  std::printf("%s\n", formatLocalize("%d items", std::nullopt, 2).c_str());
}

TOUR_SECTION(62, "Localization: missing keys and the information dump") {
  LocalizationTourHome home;
  VantrelLocalization::setCurrentLanguage("de");
  VantrelLocalization::setDebugOptions(false, true);
  (void)VantrelLocalization::localizedStringFor("onlyEnglish");
  (void)localize("Quit \"now\"", "menu");
  VantrelLocalization::setDebugOptions(false, false);
  std::printf("%s", fileText(localizationTourFolder() + "/OstrivoMissingKeys.txt").c_str());
  VantrelLocalization::setDebugOptions(true, false);
  std::printf("%s\n", VantrelLocalization::localizedStringFor("untranslated").c_str());
  VantrelLocalization::debug_printInfo();
}

TOUR_SECTION(63, "Operations on a queue") {
  auto queue = OperationQueue::create("tour");
  queue->setMaxConcurrentOperationCount(2);
  std::vector<std::string> finished;
  std::mutex mutex;
  for (int i = 0; i < 3; ++i) {
    auto op = VtBlockOperation::create([](VtBlockOperation::FinishCallback finish) { finish(); });
    op->addOnFinishedBlock([&, i](VtOperation&, const VtOperation::Errors& errors) {
      std::lock_guard lock(mutex);
      finished.push_back("operation " + std::to_string(i) + " finished with " + std::to_string(errors.size()) +
                         " errors");
    });
    if (i == 2) op->cancel();  // finishes without running its block
    queue->addOperation(op);
  }
  (void)queue->waitUntilAllOperationsAreFinished(std::chrono::seconds(5));
  std::sort(finished.begin(), finished.end());
  for (const auto& line : finished) std::printf("%s\n", line.c_str());
}
