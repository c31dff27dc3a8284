// File: vantrel/platform/foundation/defaults/user_defaults.h
//
// `UserDefaults`: a persistent store of typed values per domain, in place of
// the platform's user defaults. Each domain is one JSON file,
// `<directory>/<domain>.json`, where the directory is
// `${XDG_CONFIG_HOME:-~/.config}/vantrel` (read again whenever a store is
// made). Every value sits in a typed envelope, {"type": "integer",
// "value": 3}, so integers, doubles, booleans, dates and data stay distinct.
//
//   auto defaults = UserDefaults::standard();
//   defaults->set("Volume", 7);
//   defaults->integerForKey("Volume");          // 7
//   defaults->stringForKey("Missing");          // nullopt
//
//   // tests: a fresh folder for the shared instance, restored afterwards
//   ScopedUserDefaultsDirectory scope(tempDir);
//
// Every store answers first from the argument domain: the "-key value"
// pairs of the process's arguments, as texts, never written.
// The shared `standard()` store uses the main bundle's identifier as its
// domain (else the executable's file name); reads that miss there fall
// through to the global domain "NSGlobalDomain" (read only through it).
// A change is made in memory at once (readers never wait for the disk) and
// written shortly after on one serial queue shared by every store, where the
// changes made meanwhile are written together: under an exclusive lock on
// "<domain>.json.lock" the file is read again, the changes applied, and the
// result replaced atomically, so concurrent writers (threads or processes)
// lose nothing and a reader never sees half a file. `synchronize()` is the
// barrier: it writes what is pending, then reads the file again. Changes
// still pending when the process exits are written by an exit hook, within
// `kExitWriteBound` in all. No write waits for the lock without a limit
// (`kFileLockWaitBound`, at exit what is left of `kExitWriteBound`): when
// another process holds it longer, the write is not done, and it is
// reported like any failed write.
// Files are read without regard to the process locale. A file that is not
// a JSON object of entries is reported and, at the next write, kept as
// "<domain>.json.corrupt" (or "<domain>.json.corrupt-2", ...: a kept file is never
// overwritten); the new file then holds every value this store knows (those
// it read before the damage included). Entries that cannot be read (a type
// this version does not know, a damaged envelope) are reported, read as
// absent, and written back unchanged until a change replaces them. Write
// failures are reported through `qlog.error` and keep the changes pending
// for the next write; nothing throws.
// Thread-safe.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>
#include <vector>

#include "vantrel/json/platform_value.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

namespace foundation_internal {
struct DefaultsFileContents;  // a domain file as read
}  // namespace foundation_internal

class DefaultsValue {
 public:
  using Date = std::chrono::system_clock::time_point;
  using Data = std::vector<std::uint8_t>;
  using Array = std::vector<DefaultsValue>;
  using Dictionary = std::map<std::string, DefaultsValue>;
  using Storage = std::variant<std::string, std::int64_t, double, bool, Date, Data, Array, Dictionary>;

  DefaultsValue(std::string text) : storage_(std::move(text)) {}  // NOLINT: implicit on purpose
  DefaultsValue(std::string_view text) : storage_(std::string(text)) {}  // NOLINT
  DefaultsValue(const char* text) : storage_(std::string(text)) {}       // NOLINT
  DefaultsValue(bool flag) : storage_(flag) {}                           // NOLINT
  DefaultsValue(double number) : storage_(number) {}                     // NOLINT
  template <class I>
    requires(std::is_integral_v<I> && !std::is_same_v<I, bool>)
  DefaultsValue(I number) : storage_(static_cast<std::int64_t>(number)) {}  // NOLINT
  DefaultsValue(Date date) : storage_(date) {}                           // NOLINT
  DefaultsValue(Data data) : storage_(std::move(data)) {}                // NOLINT
  DefaultsValue(Array array) : storage_(std::move(array)) {}             // NOLINT
  DefaultsValue(Dictionary dictionary) : storage_(std::move(dictionary)) {}  // NOLINT
  DefaultsValue(const std::vector<std::string>& texts);                  // NOLINT

  [[nodiscard]] const Storage& storage() const { return storage_; }
  template <class T>
  [[nodiscard]] const T* get() const { return std::get_if<T>(&storage_); }

  // Text as is; numbers and flags as `describe` writes them; dates as
  // "yyyy-MM-dd HH:mm:ss +0000"; data as "{length = n}"; arrays and
  // dictionaries in brackets.
  [[nodiscard]] std::string description() const;

  friend bool operator==(const DefaultsValue&, const DefaultsValue&) = default;

 private:
  Storage storage_;
};

class UserDefaults : public std::enable_shared_from_this<UserDefaults> {
 public:
  static constexpr std::string_view globalDomain = "NSGlobalDomain";
  // How long the exit hook may spend writing pending changes.
  static constexpr std::chrono::milliseconds kExitWriteBound{3000};
  // How long any other write waits for another process to let go of the
  // domain file's lock: the queued write, `synchronize()` as a whole, a new
  // store writing the pending changes of its domain.
  static constexpr std::chrono::milliseconds kFileLockWaitBound{5000};

  // The shared store, made on first use (and again after
  // `resetStandardUserDefaults`).
  [[nodiscard]] static std::shared_ptr<UserDefaults> standard();
  // Drops the shared store; the next `standard()` makes a new one, in the
  // directory in force then.
  static void resetStandardUserDefaults();
  // A store of its own for `domain` (a file-name-safe form of it is used).
  [[nodiscard]] static std::shared_ptr<UserDefaults> create(std::string_view domain);

  // Where the domain files live.
  [[nodiscard]] static std::string directory();
  // Replaces (or, with nullopt, restores) that directory; tests only. Also
  // drops the shared store.
  static void setDirectoryForTesting(std::optional<std::string> directory);

  ~UserDefaults();
  UserDefaults(const UserDefaults&) = delete;  // shared by reference
  UserDefaults& operator=(const UserDefaults&) = delete;

  [[nodiscard]] const std::string& domain() const { return domain_; }
  [[nodiscard]] const std::string& filePath() const { return path_; }

  // The value stored under `key` in this domain, else in the global domain.
  [[nodiscard]] std::optional<DefaultsValue> object(std::string_view key) const;
  [[nodiscard]] std::optional<std::string> stringForKey(std::string_view key) const;
  // Nothing unless the value is a list holding only texts.
  [[nodiscard]] std::optional<std::vector<std::string>> stringArrayForKey(std::string_view key) const;
  // 0 / 0.0 / false when absent or of another kind (an integer reads as a
  // double and a double, cut toward zero, as an integer; a flag as 0 or 1).
  [[nodiscard]] std::int64_t integerForKey(std::string_view key) const;
  [[nodiscard]] double doubleForKey(std::string_view key) const;
  [[nodiscard]] bool boolForKey(std::string_view key) const;
  [[nodiscard]] std::optional<DefaultsValue::Data> dataForKey(std::string_view key) const;
  [[nodiscard]] std::optional<DefaultsValue::Date> dateForKey(std::string_view key) const;

  // Stores the change and queues its write; answers true (the value is
  // readable from this store at once). Whether it reached the disk is what
  // `synchronize()` answers. A value nested deeper than 200 levels, which
  // could not be read back, is refused: reported, false, nothing changed.
  bool set(std::string_view key, DefaultsValue value);
  bool removeObject(std::string_view key);
  // Writes the pending changes (also those of other stores of this domain in
  // this process), then reads the file again (changes of other processes).
  // False when a write failed or the file exists but cannot be read; a
  // lock file another process holds past `kFileLockWaitBound` fails it.
  bool synchronize();

  // This domain's own values.
  [[nodiscard]] std::map<std::string, DefaultsValue> dictionaryRepresentation() const;

 private:
  struct Passkey {};

 public:
  UserDefaults(Passkey, std::string domain, std::string directory);

 private:
  using Values = std::map<std::string, DefaultsValue, std::less<>>;
  using Changes = std::map<std::string, std::optional<DefaultsValue>, std::less<>>;  // nullopt: removed
  friend struct UserDefaultsInternals;

  bool change(std::string_view key, std::optional<DefaultsValue> value);
  // Both take `writeMutex_` (held across the cross-process file lock), and
  // give up waiting for that lock at `deadline`.
  bool writePending(std::chrono::steady_clock::time_point deadline);
  bool writePendingLocked(std::chrono::steady_clock::time_point deadline, bool* wrote = nullptr);
  bool synchronizeUntil(std::chrono::steady_clock::time_point deadline);
  bool reloadLocked();
  void adopt(foundation_internal::DefaultsFileContents contents);

  std::string domain_;
  std::string directory_;
  std::string path_;
  std::mutex writeMutex_;  // one write or re-read of the file at a time
  mutable std::mutex mutex_;  // the members below
  Values values_;
  Changes pending_;                           // made in memory, not yet written
  std::map<std::string, PlatformValue> kept_;  // unreadable entries, as read
  bool writeScheduled_ = false;
  std::shared_ptr<UserDefaults> global_;  // absent for the global domain itself
  bool reportedUnreadable_ = false;
  bool reportedUnreadableEntries_ = false;
};

// Points `UserDefaults` at `directory` while alive (the shared store is
// made anew on both ends). Tests only; not for concurrent use.
class ScopedUserDefaultsDirectory {
 public:
  explicit ScopedUserDefaultsDirectory(std::string directory);
  ~ScopedUserDefaultsDirectory();
  ScopedUserDefaultsDirectory(const ScopedUserDefaultsDirectory&) = delete;
  ScopedUserDefaultsDirectory& operator=(const ScopedUserDefaultsDirectory&) = delete;

 private:
  std::optional<std::string> previous_;
};

}  // namespace vantrel
