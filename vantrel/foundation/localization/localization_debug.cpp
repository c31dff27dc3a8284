#include "vantrel/foundation/localization/localization_debug.h"

#include <sys/stat.h>

#include <chrono>
#include <string>
#include <vector>

#include "vantrel/core/console.h"
#include "vantrel/core/date_text.h"
#include "vantrel/foundation/localization/internal/localization_state.h"
#include "vantrel/foundation/localization/localization.h"
#include "vantrel/foundation/files/stream_writer.h"
#include "vantrel/platform/foundation/bundles/bundle.h"
#include "vantrel/platform/foundation/files/folders.h"
#include "vantrel/platform/foundation/bundles/strings_file.h"
#include "vantrel/platform/foundation/defaults/user_defaults.h"

namespace vantrel {

namespace {

using foundation_internal::localizationState;
using foundation_internal::LocalizationState;

// Given to the table lookup so that a missing key can be told from any
// real translation.
constexpr std::string_view kNoRealValue = "$$$%%%NO_REAL_VALUE%%%$$$";

std::string optionalText(const std::optional<std::string>& text) {
  return text ? "Optional(\"" + *text + "\")" : "nil";
}

std::string listText(const std::vector<std::string>& items) {
  std::string out = "[";
  for (std::size_t i = 0; i < items.size(); ++i) out += (i ? ", \"" : "\"") + items[i] + "\"";
  return out + "]";
}

std::string utcNowText() { return dateTimeOffsetText(std::chrono::system_clock::now(), TimeZoneChoice::utc); }

void openOrCloseMissingKeysLog() {
  LocalizationState& state = localizationState();
  bool logMissing = false;
  std::optional<std::string> language;
  std::shared_ptr<StreamWriter> toClose;
  {
    std::lock_guard lock(state.mutex);
    logMissing = state.logMissingKeys;
    if (!logMissing) {
      toClose = std::move(state.missingKeysWriter);
    } else if (state.missingKeysWriter) {
      return;  // already open: no second header
    }
    language = state.currentLanguage;
  }
  if (!logMissing) {
    if (toClose) toClose->close();
    return;
  }
  const std::string path = homeDirectory() + "/OstrivoMissingKeys.txt";
  consolePrint("Writing missing keys to = " + path);
  struct stat status {};
  const bool exists = ::stat(path.c_str(), &status) == 0;
  auto writer = StreamWriter::create(URL::fileURLWithPath(path, false), "\n", StringEncoding::utf8, exists);
  if (writer) {
    writer->writeLine(std::string(78, '='));
    writer->writeLine("Session start at " + utcNowText() + ", Language:" + optionalText(language) + ":");
  }
  std::lock_guard lock(state.mutex);
  state.missingKeysWriter = std::move(writer);
}

}  // namespace

namespace foundation_internal {

void probeMissingKey(std::string_view key, std::optional<std::string_view> tableName) {
  (void)VantrelLocalization::currentLanguage();
  LocalizationState& state = localizationState();
  std::shared_ptr<Bundle> table;
  std::shared_ptr<StreamWriter> writer;
  {
    std::lock_guard lock(state.mutex);
    table = state.currentLanguageBundle;
    writer = state.missingKeysWriter;
  }
  if (!table || !writer) return;
  if (table->localizedStringForKey(key, kNoRealValue, tableName) != kNoRealValue) return;
  const auto underscore = key.find('_');
  const std::string_view entry = underscore == std::string_view::npos ? key : key.substr(underscore + 1);
  // Quoted and escaped: a key with a quotation mark or a line break must
  // not break the table a translator pastes this into.
  writer->writeLine(stringsFileQuoted(key) + " = " + stringsFileQuoted(entry) + ";");
}

}  // namespace foundation_internal

namespace VantrelLocalization {

void setDebugOptions(bool dollarWrapMissing, bool logMissingKeys) {
  {
    LocalizationState& state = localizationState();
    std::lock_guard lock(state.mutex);
    state.dollarWrapMissing = dollarWrapMissing;
    state.logMissingKeys = logMissingKeys;
  }
  openOrCloseMissingKeysLog();
}

DebugOptions getDebugOptions() {
  LocalizationState& state = localizationState();
  std::lock_guard lock(state.mutex);
  return DebugOptions{state.dollarWrapMissing, state.logMissingKeys};
}

void debug_printInfo() {
  const std::string rule(81, '-');
  std::shared_ptr<Bundle> setBundle;
  {
    LocalizationState& state = localizationState();
    std::lock_guard lock(state.mutex);
    setBundle = state.mainBundle;
  }
  const auto main = foundation_internal::localizationMainBundle();
  consolePrint(rule);
  consolePrint("Localization Info:");
  consolePrint("MainBundle = " + optionalText(setBundle ? setBundle->bundleIdentifier() : std::nullopt));
  consolePrint("(MainBundle ?? NSBundle.mainBundle()).localizations = " + listText(main->localizations()));
  consolePrint("(MainBundle ?? NSBundle.mainBundle()).preferredLocalizations = " +
               listText(main->preferredLocalizations()));
  consolePrint("");
  const auto defaults = UserDefaults::standard();
  for (const char* key : {"AppleLanguages", "AppleLocale", "AppleTextDirection", "NSDoubleLocalizedStrings",
                          "NSForceRightToLeftWritingDirection", "NSLanguages",
                          "VantrelLocalization_CurrentLanguageKey"}) {
    std::string shown;
    if (auto list = defaults->stringArrayForKey(key)) {
      for (std::size_t i = 0; i < list->size(); ++i) shown += (i ? "," : "") + (*list)[i];
    } else if (auto value = defaults->object(key)) {
      shown = "Optional(" + value->description() + ")";
    } else {
      shown = "nil";
    }
    consolePrint("UserDefaults " + std::string(key) + " = " + shown);
  }
  consolePrint("");
  consolePrint("VantrelLocalization.initialLanguage() = " + initialLanguage());
  consolePrint("VantrelLocalization.defaultLanguage() = " + defaultLanguage());
  consolePrint("VantrelLocalization.currentLanguage() = " + currentLanguage());
  consolePrint("VantrelLocalization_FallbackDefaultLanguage = en");
  consolePrint(rule);
}

}  // namespace VantrelLocalization

}  // namespace vantrel
