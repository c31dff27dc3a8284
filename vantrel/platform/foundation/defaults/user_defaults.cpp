#include "vantrel/platform/foundation/defaults/user_defaults.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>

#include <fmt/format.h>

#include "vantrel/core/console_loggers.h"
#include "vantrel/core/describe.h"
#include "vantrel/platform/foundation/files/file_manager.h"
#include "vantrel/platform/foundation/files/folders.h"
#include "vantrel/platform/foundation/defaults/internal/defaults_json.h"
#include "vantrel/platform/foundation/bundles/main_bundle.h"

namespace vantrel {

using foundation_internal::JsonArray;
using foundation_internal::JsonNode;
using foundation_internal::JsonObject;

// ---- Values ---------------------------------------------------------------

DefaultsValue::DefaultsValue(const std::vector<std::string>& texts) : storage_(Array(texts.begin(), texts.end())) {}

namespace {

std::string dateText(DefaultsValue::Date date) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(
      std::chrono::floor<std::chrono::seconds>(date));
  std::tm parts{};
  ::gmtime_r(&seconds, &parts);
  char buffer[64];
  std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S +0000", &parts);
  return buffer;
}

}  // namespace

std::string DefaultsValue::description() const {
  return std::visit(
      [](const auto& v) -> std::string {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::string>) {
          return v;
        } else if constexpr (std::is_same_v<T, Date>) {
          return dateText(v);
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

JsonNode envelope(const DefaultsValue& value) {
  JsonObject object;
  std::visit(
      [&object](const auto& v) {
        using T = std::decay_t<decltype(v)>;
        if constexpr (std::is_same_v<T, std::string>) {
          object["type"] = JsonNode{std::string("string")};
          object["value"] = JsonNode{v};
        } else if constexpr (std::is_same_v<T, std::int64_t>) {
          object["type"] = JsonNode{std::string("integer")};
          object["value"] = JsonNode{v};
        } else if constexpr (std::is_same_v<T, double>) {
          object["type"] = JsonNode{std::string("double")};
          object["value"] = JsonNode{v};
        } else if constexpr (std::is_same_v<T, bool>) {
          object["type"] = JsonNode{std::string("bool")};
          object["value"] = JsonNode{v};
        } else if constexpr (std::is_same_v<T, DefaultsValue::Date>) {
          object["type"] = JsonNode{std::string("date")};
          object["value"] = JsonNode{static_cast<std::int64_t>(
              std::chrono::duration_cast<std::chrono::nanoseconds>(v.time_since_epoch()).count())};
        } else if constexpr (std::is_same_v<T, DefaultsValue::Data>) {
          object["type"] = JsonNode{std::string("data")};
          object["value"] = JsonNode{base64Encoded(v)};
        } else if constexpr (std::is_same_v<T, DefaultsValue::Array>) {
          JsonArray array;
          for (const DefaultsValue& element : v) array.push_back(envelope(element));
          object["type"] = JsonNode{std::string("array")};
          object["value"] = JsonNode{std::move(array)};
        } else {
          JsonObject members;
          for (const auto& [key, member] : v) members[key] = envelope(member);
          object["type"] = JsonNode{std::string("dictionary")};
          object["value"] = JsonNode{std::move(members)};
        }
      },
      value.storage());
  return JsonNode{std::move(object)};
}

std::optional<DefaultsValue> unwrap(const JsonNode& node, int depth = 0) {
  if (depth > 200) return std::nullopt;
  const auto* object = std::get_if<JsonObject>(&node.value);
  if (!object || object->size() != 2) return std::nullopt;
  const auto type = object->find("type");
  const auto value = object->find("value");
  if (type == object->end() || value == object->end()) return std::nullopt;
  const auto* name = std::get_if<std::string>(&type->second.value);
  if (!name) return std::nullopt;
  const auto& v = value->second.value;
  if (*name == "string") {
    if (const auto* s = std::get_if<std::string>(&v)) return DefaultsValue(*s);
  } else if (*name == "integer") {
    if (const auto* i = std::get_if<std::int64_t>(&v)) return DefaultsValue(*i);
  } else if (*name == "double") {
    if (const auto* d = std::get_if<double>(&v)) return DefaultsValue(*d);
    if (const auto* i = std::get_if<std::int64_t>(&v)) return DefaultsValue(static_cast<double>(*i));
  } else if (*name == "bool") {
    if (const auto* b = std::get_if<bool>(&v)) return DefaultsValue(*b);
  } else if (*name == "date") {
    if (const auto* i = std::get_if<std::int64_t>(&v)) {
      return DefaultsValue(DefaultsValue::Date(
          std::chrono::duration_cast<DefaultsValue::Date::duration>(std::chrono::nanoseconds(*i))));
    }
  } else if (*name == "data") {
    if (const auto* s = std::get_if<std::string>(&v)) {
      if (auto data = base64Decoded(*s)) return DefaultsValue(std::move(*data));
    }
  } else if (*name == "array") {
    if (const auto* a = std::get_if<JsonArray>(&v)) {
      DefaultsValue::Array array;
      for (const JsonNode& element : *a) {
        auto item = unwrap(element, depth + 1);
        if (!item) return std::nullopt;
        array.push_back(std::move(*item));
      }
      return DefaultsValue(std::move(array));
    }
  } else if (*name == "dictionary") {
    if (const auto* o = std::get_if<JsonObject>(&v)) {
      DefaultsValue::Dictionary dictionary;
      for (const auto& [key, member] : *o) {
        auto item = unwrap(member, depth + 1);
        if (!item) return std::nullopt;
        dictionary.emplace(key, std::move(*item));
      }
      return DefaultsValue(std::move(dictionary));
    }
  }
  return std::nullopt;
}

using Values = std::map<std::string, DefaultsValue, std::less<>>;

enum class ReadOutcome { missing, ok, unreadable };

// Reads a domain file. An unreadable one (bad JSON, or an entry that is not
// a valid envelope) is refused whole rather than partly taken.
ReadOutcome readValues(const std::string& path, Values& values) {
  values.clear();
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return errno == ENOENT ? ReadOutcome::missing : ReadOutcome::unreadable;
  std::ifstream file(path, std::ios::binary);
  if (!file) return ReadOutcome::unreadable;
  const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  const auto root = foundation_internal::parseJson(text);
  const auto* object = root ? std::get_if<JsonObject>(&root->value) : nullptr;
  if (!object) return ReadOutcome::unreadable;
  for (const auto& [key, node] : *object) {
    auto value = unwrap(node);
    if (!value) {
      values.clear();
      return ReadOutcome::unreadable;
    }
    values.emplace(key, std::move(*value));
  }
  return ReadOutcome::ok;
}

std::string serialize(const Values& values) {
  JsonObject object;
  for (const auto& [key, value] : values) object.emplace(key, envelope(value));
  return foundation_internal::writeJson(JsonNode{std::move(object)}) + "\n";
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
  static auto* state = new Shared();  // never destroyed: used by exit-time code
  return *state;
}

// Writes `text` to `path` atomically: a temporary file beside it, flushed to
// disk, then renamed over it. Answers the errno of the failure, or 0.
int writeAtomically(const std::string& path, const std::string& text) {
  std::string temporary = path + ".XXXXXX";
  const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
  if (fd < 0) return errno;
  std::size_t done = 0;
  int failure = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      failure = errno;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  if (!failure && ::fchmod(fd, 0644) != 0) failure = errno;
  if (!failure && ::fsync(fd) != 0) failure = errno;
  if (::close(fd) != 0 && !failure) failure = errno;
  if (!failure && ::rename(temporary.c_str(), path.c_str()) != 0) failure = errno;
  if (failure) ::unlink(temporary.c_str());
  return failure;
}

}  // namespace

// ---- The store ------------------------------------------------------------

UserDefaults::UserDefaults(Passkey, std::string domain, std::string directory)
    : domain_(std::move(domain)), directory_(std::move(directory)), path_(directory_ + "/" + domain_ + ".json") {
  if (domain_ != globalDomain) {
    global_ = std::make_shared<UserDefaults>(Passkey{}, std::string(globalDomain), directory_);
  }
  synchronize();
}

UserDefaults::~UserDefaults() = default;

std::string UserDefaults::directory() {
  {
    Shared& state = shared();
    std::lock_guard lock(state.mutex);
    if (state.directoryOverride) return *state.directoryOverride;
  }
  return standardFolderPath(StandardFolder::preferences) + "/vantrel";
}

void UserDefaults::setDirectoryForTesting(std::optional<std::string> directory) {
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
  return std::make_shared<UserDefaults>(Passkey{}, safeDomain(domain), directory());
}

bool UserDefaults::synchronize() {
  Values values;
  const ReadOutcome outcome = readValues(path_, values);
  if (global_) global_->synchronize();
  std::lock_guard lock(mutex_);
  if (outcome == ReadOutcome::unreadable) {
    if (!reportedUnreadable_) {
      reportedUnreadable_ = true;
      qlog.error(fmt::format("User defaults file \"{}\" cannot be read; its values are ignored", path_));
    }
    return false;
  }
  values_ = std::move(values);
  return true;
}

std::optional<DefaultsValue> UserDefaults::object(std::string_view key) const {
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
  // One writer at a time in this process (the mutex) and across processes
  // (the lock file); the file is read again under both, so a change made
  // elsewhere since this store last read it is kept.
  std::lock_guard lock(mutex_);
  const auto applyInMemory = [&] {
    if (value) {
      values_.insert_or_assign(std::string(key), *value);
    } else if (auto found = values_.find(key); found != values_.end()) {
      values_.erase(found);
    }
  };
  const auto fail = [&](int code, const std::string& path) {
    applyInMemory();
    qlog.error(fmt::format("Couldn't save user defaults to \"{}\"", path_), FileSystemError(code, path));
    return false;
  };
  try {
    FileManager::defaultManager().createDirectory(directory_, true);
  } catch (const FileSystemError& error) {
    return fail(error.code(), error.path());
  }
  const std::string lockPath = path_ + ".lock";
  const int lockFd = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
  if (lockFd < 0) return fail(errno, lockPath);
  while (::flock(lockFd, LOCK_EX) != 0) {
    if (errno != EINTR) {
      const int code = errno;
      ::close(lockFd);
      return fail(code, lockPath);
    }
  }
  Values current;
  if (readValues(path_, current) == ReadOutcome::unreadable) {
    // Keep what cannot be read instead of overwriting it.
    const std::string aside = path_ + ".corrupt";
    if (::rename(path_.c_str(), aside.c_str()) == 0) {
      qlog.error(fmt::format("User defaults file \"{}\" cannot be read; kept as \"{}\"", path_, aside));
    }
    current.clear();
  }
  if (value) {
    current.insert_or_assign(std::string(key), *value);
  } else if (auto found = current.find(key); found != current.end()) {
    current.erase(found);
  }
  const int failure = writeAtomically(path_, serialize(current));
  ::flock(lockFd, LOCK_UN);
  ::close(lockFd);
  if (failure) return fail(failure, path_);
  values_ = std::move(current);
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
