#include "vantrel/platform/foundation/defaults/user_defaults.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <thread>
#include <variant>

#include <fmt/format.h>

#include "vantrel/core/console_loggers.h"
#include "vantrel/core/date_text.h"
#include "vantrel/core/deadline.h"
#include "vantrel/core/describe.h"
#include "vantrel/core/no_destructor.h"
#include "vantrel/core/number_text.h"
#include "vantrel/json/json.h"
#include "vantrel/json/json_writer.h"
#include "vantrel/platform/dispatch/dispatch_queue.h"
#include "vantrel/platform/posix/lock_file.h"
#include "vantrel/platform/posix/read_file.h"
#include "vantrel/platform/posix/replace_file.h"
#include "vantrel/platform/posix/unique_fd.h"
#include "vantrel/platform/foundation/files/file_manager.h"
#include "vantrel/platform/foundation/files/folders.h"
#include "vantrel/platform/foundation/bundles/main_bundle.h"
#include "vantrel/platform/foundation/defaults/internal/defaults_file.h"

namespace vantrel {


// ---- Values ---------------------------------------------------------------

DefaultsValue::DefaultsValue(const std::vector<std::string>& texts) : storage_(Array(texts.begin(), texts.end())) {}

std::string DefaultsValue::description() const {
  return std::visit(
      [](const auto& v) -> std::string {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::string>) {
          return v;
        } else if constexpr (std::is_same_v<T, Date>) {
          return dateTimeOffsetText(v, TimeZoneChoice::utc);
        } else if constexpr (std::is_same_v<T, Data>) {
          return fmt::format("{{length = {}}}", v.size());
        } else if constexpr (std::is_same_v<T, Array>) {
          std::string out = "[";
          for (std::size_t i = 0; i < v.size(); ++i) out += (i ? ", " : "") + v[i].description();
          return out + "]";
        } else if constexpr (std::is_same_v<T, Dictionary>) {
          if (v.empty()) return "[:]";
          std::string out = "[";
          bool first = true;
          for (const auto& [key, value] : v) {
            out += (first ? "" : ", ") + key + ": " + value.description();
            first = false;
          }
          return out + "]";
        } else {
          return describe(v);
        }
      },
      storage_);
}

// ---- Envelopes ------------------------------------------------------------

namespace {

constexpr std::string_view kBase64 = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string base64Encoded(const DefaultsValue::Data& data) {
  std::string out;
  std::size_t i = 0;
  for (; i + 2 < data.size(); i += 3) {
    const unsigned n = (data[i] << 16) | (data[i + 1] << 8) | data[i + 2];
    out += kBase64[(n >> 18) & 63];
    out += kBase64[(n >> 12) & 63];
    out += kBase64[(n >> 6) & 63];
    out += kBase64[n & 63];
  }
  if (i + 1 == data.size()) {
    const unsigned n = data[i] << 16;
    out += kBase64[(n >> 18) & 63];
    out += kBase64[(n >> 12) & 63];
    out += "==";
  } else if (i + 2 == data.size()) {
    const unsigned n = (data[i] << 16) | (data[i + 1] << 8);
    out += kBase64[(n >> 18) & 63];
    out += kBase64[(n >> 12) & 63];
    out += kBase64[(n >> 6) & 63];
    out += '=';
  }
  return out;
}

std::optional<DefaultsValue::Data> base64Decoded(std::string_view text) {
  if (text.size() % 4 != 0) return std::nullopt;
  DefaultsValue::Data out;
  for (std::size_t i = 0; i < text.size(); i += 4) {
    unsigned n = 0;
    int padding = 0;
    for (std::size_t j = 0; j < 4; ++j) {
      const char c = text[i + j];
      n <<= 6;
      if (c == '=' && i + 4 == text.size() && j >= 2) {
        ++padding;
        continue;
      }
      if (padding) return std::nullopt;
      const auto at = kBase64.find(c);
      if (at == std::string_view::npos) return std::nullopt;
      n |= static_cast<unsigned>(at);
    }
    out.push_back(static_cast<std::uint8_t>(n >> 16));
    if (padding < 2) out.push_back(static_cast<std::uint8_t>(n >> 8));
    if (padding < 1) out.push_back(static_cast<std::uint8_t>(n));
  }
  return out;
}

PlatformValue envelope(const DefaultsValue& value) {
  JsonDictionary object;
  const auto put = [&object](const char* type, PlatformValue v) {
    object.insertOrAssign("type", type);
    object.insertOrAssign("value", std::move(v));
  };
  std::visit(
      [&put](const auto& v) {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::string>) {
          put("string", v);
        } else if constexpr (std::is_same_v<T, std::int64_t>) {
          put("integer", v);
        } else if constexpr (std::is_same_v<T, double>) {
          // JSON has no NaN or infinity: those go as text ("nan", "-inf").
          put("double", std::isfinite(v) ? PlatformValue(v) : PlatformValue(doubleText(v)));
        } else if constexpr (std::is_same_v<T, bool>) {
          put("bool", v);
        } else if constexpr (std::is_same_v<T, DefaultsValue::Date>) {
          put("date", static_cast<std::int64_t>(
                          std::chrono::duration_cast<std::chrono::nanoseconds>(v.time_since_epoch()).count()));
        } else if constexpr (std::is_same_v<T, DefaultsValue::Data>) {
          put("data", base64Encoded(v));
        } else if constexpr (std::is_same_v<T, DefaultsValue::Array>) {
          PlatformValue::Array array;
          array.reserve(v.size());
          for (const DefaultsValue& element : v) array.push_back(envelope(element));
          put("array", std::move(array));
        } else {
          JsonDictionary members;
          for (const auto& [key, member] : v) members.insertOrAssign(key, envelope(member));
          put("dictionary", std::move(members));
        }
      },
      value.storage());
  return PlatformValue(std::move(object));
}

std::optional<DefaultsValue> unwrap(const PlatformValue& node, int depth = 0) {
  if (depth > 200) return std::nullopt;  // kMaxValueNesting
  const JsonDictionary* object = node.dictionary();
  if (!object || object->size() != 2) return std::nullopt;
  const PlatformValue* type = object->find("type");
  const PlatformValue* value = object->find("value");
  if (!type || !value) return std::nullopt;
  const JsonText* name = type->text();
  if (!name) return std::nullopt;
  const JsonNumber* number = value->number();
  if (number && number->isBool()) number = nullptr;  // only "bool" takes true and false
  if (*name == "string") {
    if (const JsonText* s = value->text()) return DefaultsValue(s->str());
  } else if (*name == "integer") {
    if (number && number->kind() == JsonNumber::Kind::signedInteger) return DefaultsValue(*number->exactly<std::int64_t>());
  } else if (*name == "double") {
    if (number && number->isFinite()) return DefaultsValue(number->doubleValue());
    if (const JsonText* s = value->text()) {
      if (auto d = parseDouble(*s); d && !std::isfinite(*d)) return DefaultsValue(*d);
    }
  } else if (*name == "bool") {
    if (const JsonNumber* flag = value->number(); flag && flag->isBool()) return DefaultsValue(flag->boolValue());
  } else if (*name == "date") {
    if (number && number->kind() == JsonNumber::Kind::signedInteger) {
      return DefaultsValue(DefaultsValue::Date(std::chrono::duration_cast<DefaultsValue::Date::duration>(
          std::chrono::nanoseconds(*number->exactly<std::int64_t>()))));
    }
  } else if (*name == "data") {
    if (const JsonText* s = value->text()) {
      if (auto data = base64Decoded(*s)) return DefaultsValue(std::move(*data));
    }
  } else if (*name == "array") {
    if (const PlatformValue::Array* a = value->array()) {
      DefaultsValue::Array array;
      for (const PlatformValue& element : *a) {
        auto item = unwrap(element, depth + 1);
        if (!item) return std::nullopt;
        array.push_back(std::move(*item));
      }
      return DefaultsValue(std::move(array));
    }
  } else if (*name == "dictionary") {
    if (const JsonDictionary* o = value->dictionary()) {
      DefaultsValue::Dictionary dictionary;
      for (const auto& [key, member] : *o) {
        auto item = unwrap(member, depth + 1);
        if (!item) return std::nullopt;
        dictionary.insert_or_assign(key.str(), std::move(*item));
      }
      return DefaultsValue(std::move(dictionary));
    }
  }
  return std::nullopt;
}

// Values nested deeper than this would not read back (each level is an
// envelope of two JSON levels, within the reader's bound).
constexpr int kMaxValueNesting = 200;

int nestingDepth(const DefaultsValue& value, int depth = 0) {
  if (depth > kMaxValueNesting) return depth;
  int deepest = depth;
  if (const auto* array = value.get<DefaultsValue::Array>()) {
    for (const DefaultsValue& element : *array) deepest = std::max(deepest, nestingDepth(element, depth + 1));
  } else if (const auto* dictionary = value.get<DefaultsValue::Dictionary>()) {
    for (const auto& [key, member] : *dictionary) deepest = std::max(deepest, nestingDepth(member, depth + 1));
  }
  return deepest;
}

using Values = foundation_internal::DefaultsValues;

enum class ReadOutcome { missing, ok, unreadable };

}  // namespace

std::optional<foundation_internal::DefaultsEntries> foundation_internal::readDefaultsEntries(std::string_view text) {
  PlatformValue root;
  try {
    root = Json::fromData(text, JsonReadingOptions{}).managedJsonObject();
  } catch (const JsonReadError&) {
    return std::nullopt;
  }
  const JsonDictionary* object = root.dictionary();
  if (!object) return std::nullopt;
  DefaultsEntries entries;
  for (const auto& [key, node] : *object) {
    if (auto value = unwrap(node)) {
      entries.values.insert_or_assign(key.str(), std::move(*value));
    } else {
      entries.kept.insert_or_assign(key.str(), node);
    }
  }
  return entries;
}

std::string foundation_internal::defaultsFileText(const DefaultsValues& values,
                                                  const std::map<std::string, PlatformValue>& kept) {
  JsonDictionary object;
  for (const auto& [key, node] : kept) object.insertOrAssign(key, node);
  for (const auto& [key, value] : values) object.insertOrAssign(key, envelope(value));
  // Every number here is finite and the nesting is that of a file this
  // reader accepted, so the writer has nothing to refuse.
  return JsonWriter(std::nullopt).string(PlatformValue(std::move(object)));
}

struct foundation_internal::DefaultsFileContents {
  ReadOutcome outcome = ReadOutcome::missing;
  Values values;
  std::map<std::string, PlatformValue> kept;  // entries that are no valid envelope, as read
};

namespace {

// Reads a domain file. A file that is not a JSON object is unreadable as a
// whole; in an object, entries that are no valid envelope are kept aside as
// they are, so what can be read is read and what cannot is not lost.
foundation_internal::DefaultsFileContents readFile(const std::string& path) {
  foundation_internal::DefaultsFileContents contents;
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) {
    contents.outcome = errno == ENOENT ? ReadOutcome::missing : ReadOutcome::unreadable;
    return contents;
  }
  contents.outcome = ReadOutcome::unreadable;
  std::string text;
  if (posix::readFile(path, text)) return contents;
  auto entries = foundation_internal::readDefaultsEntries(text);
  if (!entries) return contents;
  contents.values = std::move(entries->values);
  contents.kept = std::move(entries->kept);
  contents.outcome = ReadOutcome::ok;
  return contents;
}

std::string serialize(const Values& values, const std::map<std::string, PlatformValue>& kept) {
  return foundation_internal::defaultsFileText(values, kept);
}

std::string safeDomain(std::string_view domain) {
  std::string out(domain);
  for (char& c : out) {
    if (c == '/' || c == '\0') c = '_';
  }
  if (out.empty() || out[0] == '.') out.insert(0, "_");
  return out;
}

std::string executableName() {
  char buffer[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return "vantrel";
  const std::string path(buffer, static_cast<std::size_t>(n));
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

struct Shared {
  std::mutex mutex;
  std::optional<std::string> directoryOverride;
  std::shared_ptr<UserDefaults> standard;
};

Shared& shared() {
  static NoDestructor<Shared> state;  // used by exit-time code
  return *state;
}

// Every store made in this process, for the exit hook and for stores of the
// same domain that must see each other's pending changes.
struct Registry {
  std::mutex mutex;
  std::vector<std::weak_ptr<UserDefaults>> stores;
};

void writeAllAtExit();

Registry& registry() {
  static NoDestructor<Registry> instance;
  static const bool hooked = [] {
    // Registered after the statics made so far, so it runs before their
    // destructors; what it touches later is never destroyed.
    std::atexit(writeAllAtExit);
    return true;
  }();
  (void)hooked;
  return *instance;
}

std::vector<std::shared_ptr<UserDefaults>> liveStores() {
  Registry& r = registry();
  std::lock_guard lock(r.mutex);
  std::vector<std::shared_ptr<UserDefaults>> live;
  for (const auto& weak : r.stores) {
    if (auto store = weak.lock()) live.push_back(std::move(store));
  }
  return live;
}

// The one queue on which every store's changes are written.
const std::shared_ptr<DispatchQueue>& writeQueue() {
  static const NoDestructor<std::shared_ptr<DispatchQueue>> queue(DispatchQueue::create("VantrelUserDefaults"));
  return *queue;
}

void applyChanges(Values& values, std::map<std::string, PlatformValue>* kept,
                  const std::map<std::string, std::optional<DefaultsValue>, std::less<>>& changes) {
  for (const auto& [key, change] : changes) {
    if (kept) kept->erase(key);
    if (change) {
      values.insert_or_assign(key, *change);
    } else if (auto found = values.find(key); found != values.end()) {
      values.erase(found);
    }
  }
}

}  // namespace

namespace {
// The limit of a write that has no caller's limit: another process may hold
// the lock file for as long as it likes.
std::chrono::steady_clock::time_point writeDeadline() { return deadlineAfter(UserDefaults::kFileLockWaitBound); }
}  // namespace

struct UserDefaultsInternals {
  static std::shared_ptr<UserDefaults> make(std::string domain, std::string directory) {
    const std::string path = directory + "/" + domain + ".json";
    // Changes this process made through another store of the domain reach
    // the file first, so the new store reads them.
    const auto deadline = writeDeadline();
    for (const auto& store : liveStores()) {
      if (store->path_ == path) store->writePending(deadline);
    }
    auto made = std::make_shared<UserDefaults>(UserDefaults::Passkey{}, std::move(domain), std::move(directory));
    Registry& r = registry();
    std::lock_guard lock(r.mutex);
    std::erase_if(r.stores, [](const std::weak_ptr<UserDefaults>& w) { return w.expired(); });
    r.stores.push_back(made);
    return made;
  }

  static void writeOtherStores(const UserDefaults& self, std::chrono::steady_clock::time_point deadline) {
    for (const auto& store : liveStores()) {
      if (store.get() != &self && store->path_ == self.path_) store->writePending(deadline);
    }
  }

  static void writeAll() {
    const auto deadline = writeDeadline();
    for (const auto& store : liveStores()) store->writePending(deadline);
  }

  // At exit: every store's pending changes, within the bound in all. A store
  // whose write is still busy elsewhere (a file lock held by another
  // process) is waited for until the bound, never longer, and so is the
  // file lock itself.
  static void writeAllBounded(std::chrono::steady_clock::time_point deadline) {
    for (const auto& store : liveStores()) {
      // Taken even with nothing pending: a write in progress on the queue
      // holds it, and the process must not end in the middle of that write.
      std::unique_lock write(store->writeMutex_, std::try_to_lock);
      while (!write.owns_lock() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        write.try_lock();
      }
      if (!write.owns_lock()) {
        qlog.error(fmt::format("User defaults for \"{}\" not saved at exit: still busy writing", store->path_));
        continue;
      }
      store->writePendingLocked(deadline);
    }
  }
};

namespace {
void writeAllAtExit() {
  UserDefaultsInternals::writeAllBounded(deadlineAfter(UserDefaults::kExitWriteBound));
}
}  // namespace

// ---- The store ------------------------------------------------------------

UserDefaults::UserDefaults(Passkey, std::string domain, std::string directory)
    : domain_(std::move(domain)), directory_(std::move(directory)), path_(directory_ + "/" + domain_ + ".json") {
  if (domain_ != globalDomain) global_ = UserDefaultsInternals::make(std::string(globalDomain), directory_);
  std::lock_guard write(writeMutex_);
  reloadLocked();
}

UserDefaults::~UserDefaults() {
  // Only changes whose write failed can be left (a queued write holds the
  // store): one last try, so dropping the store never drops them silently.
  std::lock_guard write(writeMutex_);
  writePendingLocked(writeDeadline());
}

std::string UserDefaults::directory() {
  {
    Shared& state = shared();
    std::lock_guard lock(state.mutex);
    if (state.directoryOverride) return *state.directoryOverride;
  }
  return standardFolderPath(StandardFolder::preferences) + "/vantrel";
}

void UserDefaults::setDirectoryForTesting(std::optional<std::string> directory) {
  // Pending changes go to the folder they were made for before it may vanish.
  UserDefaultsInternals::writeAll();
  Shared& state = shared();
  std::lock_guard lock(state.mutex);
  state.directoryOverride = std::move(directory);
  state.standard.reset();
}

std::shared_ptr<UserDefaults> UserDefaults::standard() {
  Shared& state = shared();
  {
    std::lock_guard lock(state.mutex);
    if (state.standard) return state.standard;
  }
  // Made outside the lock: making one reads files and the directory.
  const std::string domain = mainBundleIdentifier().value_or(executableName());
  auto made = create(domain);
  std::lock_guard lock(state.mutex);
  if (!state.standard) state.standard = std::move(made);
  return state.standard;
}

void UserDefaults::resetStandardUserDefaults() {
  Shared& state = shared();
  std::lock_guard lock(state.mutex);
  state.standard.reset();
}

std::shared_ptr<UserDefaults> UserDefaults::create(std::string_view domain) {
  return UserDefaultsInternals::make(safeDomain(domain), directory());
}

bool UserDefaults::synchronize() {
  // One limit for the whole call. A queued write that holds `writeMutex_`
  // meanwhile began its own wait before this call, so it gives up sooner.
  return synchronizeUntil(writeDeadline());
}

bool UserDefaults::synchronizeUntil(std::chrono::steady_clock::time_point deadline) {
  UserDefaultsInternals::writeOtherStores(*this, deadline);
  bool ok = true;
  {
    std::lock_guard write(writeMutex_);
    bool wrote = false;
    ok = writePendingLocked(deadline, &wrote);
    // A write has just read the file under the file lock: no second read.
    if (!wrote) ok = reloadLocked() && ok;
  }
  if (global_) global_->synchronizeUntil(deadline);
  return ok;
}

void UserDefaults::adopt(foundation_internal::DefaultsFileContents contents) {
  std::lock_guard lock(mutex_);
  // Changes made since the file was read stay on top of it.
  applyChanges(contents.values, &contents.kept, pending_);
  values_ = std::move(contents.values);
  kept_ = std::move(contents.kept);
  if (!kept_.empty() && !reportedUnreadableEntries_) {
    reportedUnreadableEntries_ = true;
    std::string keys;
    for (const auto& [key, text] : kept_) keys += (keys.empty() ? "" : ", ") + key;
    qlog.error(fmt::format("User defaults file \"{}\": entries that cannot be read are kept unchanged: {}",
                           path_, keys));
  }
}

bool UserDefaults::reloadLocked() {
  foundation_internal::DefaultsFileContents contents = readFile(path_);
  if (contents.outcome == ReadOutcome::unreadable) {
    std::lock_guard lock(mutex_);
    if (!reportedUnreadable_) {
      reportedUnreadable_ = true;
      qlog.error(fmt::format("User defaults file \"{}\" cannot be read; its values are ignored", path_));
    }
    return false;  // what this store holds stays as it is
  }
  adopt(std::move(contents));
  return true;
}

namespace {

// The argument domain: each "-key value" pair of the process's arguments, as
// texts, read once. Options of other kinds ("--name", a lone "-") are no keys.
const std::map<std::string, std::string, std::less<>>& argumentDomain() {
  static const NoDestructor<std::map<std::string, std::string, std::less<>>> domain([] {
    std::map<std::string, std::string, std::less<>> pairs;
    std::string raw;
    if (posix::readFile("/proc/self/cmdline", raw)) return pairs;
    std::vector<std::string> arguments;
    for (std::size_t start = 0; start < raw.size();) {
      const std::size_t end = std::min(raw.find('\0', start), raw.size());
      arguments.emplace_back(raw, start, end - start);
      start = end + 1;
    }
    for (std::size_t i = 1; i + 1 < arguments.size();) {
      const std::string& argument = arguments[i];
      if (argument.size() < 2 || argument[0] != '-' || argument[1] == '-') {
        ++i;
        continue;
      }
      pairs.emplace(argument.substr(1), arguments[i + 1]);  // the first occurrence wins
      i += 2;
    }
    return pairs;
  }());
  return *domain;
}

}  // namespace

std::optional<DefaultsValue> UserDefaults::object(std::string_view key) const {
  // The command line is searched first and never written.
  if (const auto& arguments = argumentDomain(); !arguments.empty()) {
    if (const auto found = arguments.find(key); found != arguments.end()) return DefaultsValue(found->second);
  }
  {
    std::lock_guard lock(mutex_);
    const auto found = values_.find(key);
    if (found != values_.end()) return found->second;
  }
  if (global_) return global_->object(key);
  return std::nullopt;
}
std::optional<std::string> UserDefaults::stringForKey(std::string_view key) const {
  auto value = object(key);
  if (const auto* text = value ? value->get<std::string>() : nullptr) return *text;
  return std::nullopt;
}

std::optional<std::vector<std::string>> UserDefaults::stringArrayForKey(std::string_view key) const {
  auto value = object(key);
  const auto* array = value ? value->get<DefaultsValue::Array>() : nullptr;
  if (!array) return std::nullopt;
  std::vector<std::string> texts;
  for (const DefaultsValue& element : *array) {
    const auto* text = element.get<std::string>();
    if (!text) return std::nullopt;
    texts.push_back(*text);
  }
  return texts;
}

std::int64_t UserDefaults::integerForKey(std::string_view key) const {
  auto value = object(key);
  if (!value) return 0;
  if (const auto* i = value->get<std::int64_t>()) return *i;
  if (const auto* b = value->get<bool>()) return *b ? 1 : 0;
  if (const auto* d = value->get<double>()) {
    // Out-of-range doubles would be undefined to convert; they read as 0.
    if (*d > -9.2e18 && *d < 9.2e18) return static_cast<std::int64_t>(*d);
  }
  return 0;
}

double UserDefaults::doubleForKey(std::string_view key) const {
  auto value = object(key);
  if (!value) return 0.0;
  if (const auto* d = value->get<double>()) return *d;
  if (const auto* i = value->get<std::int64_t>()) return static_cast<double>(*i);
  if (const auto* b = value->get<bool>()) return *b ? 1.0 : 0.0;
  return 0.0;
}

bool UserDefaults::boolForKey(std::string_view key) const {
  auto value = object(key);
  if (!value) return false;
  if (const auto* b = value->get<bool>()) return *b;
  if (const auto* i = value->get<std::int64_t>()) return *i != 0;
  if (const auto* d = value->get<double>()) return *d != 0.0;
  if (const auto* s = value->get<std::string>()) return *s == "YES" || *s == "true" || *s == "1";
  return false;
}

std::optional<DefaultsValue::Data> UserDefaults::dataForKey(std::string_view key) const {
  auto value = object(key);
  if (const auto* data = value ? value->get<DefaultsValue::Data>() : nullptr) return *data;
  return std::nullopt;
}

std::optional<DefaultsValue::Date> UserDefaults::dateForKey(std::string_view key) const {
  auto value = object(key);
  if (const auto* date = value ? value->get<DefaultsValue::Date>() : nullptr) return *date;
  return std::nullopt;
}

bool UserDefaults::set(std::string_view key, DefaultsValue value) { return change(key, std::move(value)); }

bool UserDefaults::removeObject(std::string_view key) { return change(key, std::nullopt); }

std::map<std::string, DefaultsValue> UserDefaults::dictionaryRepresentation() const {
  std::lock_guard lock(mutex_);
  return {values_.begin(), values_.end()};
}

bool UserDefaults::change(std::string_view key, std::optional<DefaultsValue> value) {
  if (value && nestingDepth(*value) > kMaxValueNesting) {
    qlog.error(fmt::format("User defaults value for \"{}\" nested deeper than {} levels; not stored", key,
                           kMaxValueNesting));
    return false;
  }
  bool schedule = false;
  {
    std::lock_guard lock(mutex_);
    if (value) {
      values_.insert_or_assign(std::string(key), *value);
    } else if (auto found = values_.find(key); found != values_.end()) {
      values_.erase(found);
    }
    pending_.insert_or_assign(std::string(key), std::move(value));
    if (!writeScheduled_) {
      writeScheduled_ = true;
      schedule = true;
    }
  }
  // One queued write takes every change made before it runs.
  if (schedule) writeQueue()->async([self = shared_from_this()] { self->writePending(writeDeadline()); });
  return true;
}

bool UserDefaults::writePending(std::chrono::steady_clock::time_point deadline) {
  std::lock_guard write(writeMutex_);
  return writePendingLocked(deadline);
}

namespace {

// A name beside `path` for keeping a damaged file; never one that exists.
// Made with link(), so the damaged file stays in place until the new one
// replaces it atomically. Answers the name, or the errno of the failure.
std::variant<std::string, int> keepDamagedFile(const std::string& path) {
  for (int n = 1; n <= 100; ++n) {
    std::string aside = path + ".corrupt";
    if (n > 1) aside += "-" + integerText(n);
    if (::link(path.c_str(), aside.c_str()) == 0) return aside;
    if (errno != EEXIST) return errno;
  }
  return EEXIST;
}

}  // namespace

bool UserDefaults::writePendingLocked(std::chrono::steady_clock::time_point deadline, bool* wrote) {
  // One writer at a time in this process (writeMutex_) and across processes
  // (the lock file); the file is read again under both, so a change made
  // elsewhere since this store last read it is kept.
  Changes changes;
  {
    std::lock_guard lock(mutex_);
    changes.swap(pending_);
    writeScheduled_ = false;
  }
  if (changes.empty()) return true;
  const auto keepPending = [&] {
    // Kept for the next write; changes made since then are newer.
    std::lock_guard lock(mutex_);
    for (auto& [key, change] : changes) pending_.emplace(key, std::move(change));
  };
  const auto fail = [&](int code, const std::string& path) {
    keepPending();
    qlog.error(fmt::format("Couldn't save user defaults to \"{}\"", path_), FileSystemError(code, path));
    return false;
  };
  try {
    FileManager::defaultManager().createDirectory(directory_, true);
  } catch (const FileSystemError& error) {
    return fail(error.code(), error.path());
  }
  const std::string lockPath = path_ + ".lock";
  const posix::UniqueFd lockFd(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
  if (!lockFd) return fail(errno, lockPath);
  if (const std::error_code error = posix::lockExclusiveUntil(lockFd.get(), deadline)) {
    if (error != std::errc::timed_out) return fail(error.value(), lockPath);
    keepPending();
    qlog.error(fmt::format("Couldn't save user defaults to \"{}\": \"{}\" stayed locked by another process", path_,
                           lockPath));
    return false;
  }
  // Closing the descriptor (lockFd, on every path) releases the lock.
  foundation_internal::DefaultsFileContents current = readFile(path_);
  if (current.outcome == ReadOutcome::unreadable) {
    // Nothing of the damaged file can be merged: keep it under a new name,
    // then write what this store knows, which includes what it read from
    // the file while it was still readable.
    const auto aside = keepDamagedFile(path_);
    if (const int* code = std::get_if<int>(&aside)) return fail(*code, path_ + ".corrupt");
    qlog.error(fmt::format("User defaults file \"{}\" cannot be read; kept as \"{}\"", path_,
                           std::get<std::string>(aside)));
    std::lock_guard lock(mutex_);
    current.values = values_;
    current.kept = kept_;
  }
  applyChanges(current.values, &current.kept, changes);
  std::string text;
  try {
    text = serialize(current.values, current.kept);
  } catch (const JsonWriterError&) {
    return fail(EINVAL, path_);  // not reached: `change` refuses what cannot be written
  }
  if (const std::error_code error = posix::replaceFileAtomically(path_, text)) {
    return fail(error.value(), path_);
  }
  current.outcome = ReadOutcome::ok;
  adopt(std::move(current));
  if (wrote) *wrote = true;
  return true;
}

// ---- Test scope -----------------------------------------------------------

ScopedUserDefaultsDirectory::ScopedUserDefaultsDirectory(std::string directory) {
  {
    Shared& state = shared();
    std::lock_guard lock(state.mutex);
    previous_ = state.directoryOverride;
  }
  UserDefaults::setDirectoryForTesting(std::move(directory));
}

ScopedUserDefaultsDirectory::~ScopedUserDefaultsDirectory() { UserDefaults::setDirectoryForTesting(previous_); }

}  // namespace vantrel
