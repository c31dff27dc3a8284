#include "vantrel/foundation/files/pascription.h"

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>

#include "vantrel/core/coding_aids.h"
#include "vantrel/core/console_loggers.h"
#include "vantrel/core/describe.h"
#include "vantrel/core/number_text.h"
#include "vantrel/foundation/files/internal/beneath.h"
#include "vantrel/platform/foundation/bundles/bundle.h"
#include "vantrel/platform/foundation/bundles/main_bundle.h"
#include "vantrel/platform/foundation/files/folders.h"

namespace vantrel {

namespace {

struct Token {
  std::string_view text;
  Pascription::Base::Case base;
};

constexpr Token kTokens[] = {
    {"$HD$", Pascription::Base::home},
    {"$HOME$", Pascription::Base::home},
    {"$DESKTOP$", Pascription::Base::desktop},
    {"$DOCUMENTS$", Pascription::Base::documents},
    {"$AS$", Pascription::Base::applicationSupport},
    {"$APPLICATION_SUPPORT$", Pascription::Base::applicationSupport},
    {"$ASMBI$", Pascription::Base::applicationSupport_MainBundleIdentifier},
    {"$CACHES$", Pascription::Base::caches},
    {"$CACHESMBI$", Pascription::Base::caches_MainBundleIdentifier},
    {"$xHD$", Pascription::Base::systemCurrentUserHome},
    {"$TEMP$", Pascription::Base::temp},
    {"$TBRD$", Pascription::Base::testBundle_Resources},
    {"$MBRD$", Pascription::Base::mainBundle_Resources},
};

constexpr std::string_view kGroupPrefix = "$GROUP$";

void appendPieces(std::string_view text, std::vector<std::string>& pieces) {
  while (!text.empty()) {
    const auto slash = text.find('/');
    const auto piece = text.substr(0, slash);
    if (!piece.empty()) pieces.emplace_back(piece);
    if (slash == std::string_view::npos) break;
    text.remove_prefix(slash + 1);
  }
}

std::optional<Pascription::Base> parseBase(std::string_view token) {
  for (const auto& entry : kTokens) {
    if (entry.text == token) return Pascription::Base(entry.base);
  }
  // "$GROUP$" alone would need its closing "$" to be the prefix's own last
  // character: it names no group.
  if (token.size() > kGroupPrefix.size() && token.substr(0, kGroupPrefix.size()) == kGroupPrefix &&
      token.back() == '$') {
    return Pascription::Base::appGroupWithIdentifier(
        std::string(token.substr(kGroupPrefix.size(), token.size() - kGroupPrefix.size() - 1)));
  }
  return std::nullopt;
}

std::optional<std::string> mainBundleComponent() {
  auto identifier = mainBundleIdentifier();
  if (!identifier || !foundation_internal::isSafePathComponent(*identifier)) return std::nullopt;
  return identifier;
}

// The real home of a home folder inside a container: its first two levels.
std::string systemCurrentUserHomePath() {
  const std::string home = homeDirectory();
  std::size_t cut = std::string::npos;
  std::size_t from = 0;
  for (int parts = 0; parts < 3; ++parts) {
    cut = home.find('/', from);
    if (cut == std::string::npos) break;
    from = cut + 1;
  }
  // Fewer than three parts ("/root"): the home is its own real home.
  if (cut == std::string::npos) return home;
  return home.substr(0, cut);
}

std::optional<std::string> basePath(const Pascription::Base& base) {
  using B = Pascription::Base;
  switch (base.kind()) {
    case B::appGroup:
      if (!foundation_internal::isSafePathComponent(base.identifier())) {
        qlog.error("Can't get containerURLForSecurityApplicationGroupIdentifier(\"" + base.identifier() + "\")");
        return std::nullopt;
      }
      return standardFolderPath(StandardFolder::library) + "/Group Containers/" + base.identifier();
    case B::bundle: {
      auto bundle = Bundle::bundleWithIdentifier(base.identifier());
      if (!bundle) {
        qlog.error("NSBundle(identifier: \"" + base.identifier() + "\")!.resourceURL is nil)");
        return std::nullopt;
      }
      return bundle->resourcePath();
    }
    case B::home:
      return homeDirectory();
    case B::desktop:
      return standardFolderPath(StandardFolder::desktop);
    case B::documents:
      return standardFolderPath(StandardFolder::documents);
    case B::applicationSupport:
      return standardFolderPath(StandardFolder::applicationSupport);
    case B::applicationSupport_MainBundleIdentifier: {
      auto component = mainBundleComponent();
      if (!component) return std::nullopt;
      return standardFolderPath(StandardFolder::applicationSupport) + "/" + *component;
    }
    case B::caches:
      return standardFolderPath(StandardFolder::caches);
    case B::caches_MainBundleIdentifier: {
      auto component = mainBundleComponent();
      if (!component) return std::nullopt;
      return standardFolderPath(StandardFolder::caches) + "/" + *component;
    }
    case B::systemCurrentUserHome:
      return systemCurrentUserHomePath();
    case B::temp:
      return standardFolderPath(StandardFolder::temporary);
    case B::testBundle_Resources: {
      std::vector<std::optional<std::string>> identifiers;
      for (const auto& bundle : Bundle::allBundles()) {
        auto identifier = bundle->bundleIdentifier();
        if (identifier && identifier->find("UnitTests") != std::string::npos) return bundle->resourcePath();
        identifiers.push_back(std::move(identifier));
      }
      qlog.error("Cannot find testBundle! " + describe(identifiers));
      return std::nullopt;
    }
    case B::mainBundle_Resources:
      return Bundle::main()->resourcePath();
    case B::privateDocuments:
      return standardFolderPath(StandardFolder::library) + "/PrivateDocuments";
  }
  return std::nullopt;
}

std::string errorText(int code, const std::string& path) { return FileSystemError(code, path).debugDescription(); }

// Creates every missing level of `relative` below `base`, each through the
// descriptor of its verified parent, so a link swapped in meanwhile cannot
// lead the creation elsewhere. Answers 0 or the errno (EXDEV: leaves the base).
int createBeneath(int base, const std::vector<std::string>& levels) {
  posix::UniqueFd parent(::fcntl(base, F_DUPFD_CLOEXEC, 0));
  if (!parent) return errno;
  std::string relative;
  for (const auto& level : levels) {
    relative += relative.empty() ? level : "/" + level;
    int error = 0;
    auto next = foundation_internal::openBeneath(base, relative, O_PATH | O_DIRECTORY, error);
    if (!next && error == ENOENT) {
      if (::mkdirat(parent.get(), level.c_str(), 0777) != 0 && errno != EEXIST) return errno;
      next = foundation_internal::openBeneath(base, relative, O_PATH | O_DIRECTORY, error);
    }
    if (!next) return error;
    parent = std::move(next);
  }
  return 0;
}

// Whether the part of `relative` that exists stays below `base`.
bool existingPartStaysBeneath(int base, const std::vector<std::string>& levels) {
  std::string relative;
  for (const auto& level : levels) {
    relative += relative.empty() ? level : "/" + level;
    int error = 0;
    auto fd = foundation_internal::openBeneath(base, relative, O_PATH, error);
    if (fd) continue;
    return error != EXDEV && error != ELOOP;
  }
  return true;
}

}  // namespace

Pascription::Base Pascription::Base::appGroupWithIdentifier(std::string identifier) {
  return Base(appGroup, std::move(identifier));
}

Pascription::Base Pascription::Base::bundleWithIdentifier(std::string identifier) {
  return Base(bundle, std::move(identifier));
}

std::string Pascription::Base::caseName() const {
  static constexpr std::string_view kNames[] = {
      "appGroup", "bundle", "home", "desktop", "documents", "applicationSupport",
      "applicationSupport_MainBundleIdentifier", "caches", "caches_MainBundleIdentifier", "systemCurrentUserHome",
      "temp", "testBundle_Resources", "mainBundle_Resources", "privateDocuments"};
  std::string name(kNames[kind_]);
  if (kind_ == appGroup || kind_ == bundle) name += "(\"" + identifier_ + "\")";
  return name;
}

Pascription::Pascription(Base base, std::vector<std::string> components) : base_(std::move(base)) {
  components_.reserve(components.size());
  for (auto& component : components) {
    if (!component.empty()) components_.push_back(std::move(component));
  }
}

std::optional<Pascription> Pascription::fromComponents(const std::vector<std::string_view>& texts) {
  std::vector<std::string> pieces;
  for (auto text : texts) appendPieces(text, pieces);
  if (pieces.empty()) return std::nullopt;
  auto base = parseBase(pieces.front());
  if (!base) {
    qlog.error("Unkonw RootDirDescription: " + pieces.front());
    return std::nullopt;
  }
  pieces.erase(pieces.begin());
  return Pascription(std::move(*base), std::move(pieces));
}

std::optional<Pascription> Pascription::fromText(std::string_view text) { return fromComponents({text}); }

std::optional<Pascription> Pascription::group(std::string_view identifier) {
  return fromText(std::string(kGroupPrefix) + std::string(identifier) + "$");
}

Pascription Pascription::pascriptionByAppending(const std::vector<std::string_view>& more) const {
  Pascription result = *this;
  for (auto text : more) appendPieces(text, result.components_);
  return result;
}

std::optional<URL> Pascription::vendUrl(FileManager* fm, bool createDirIfNonExistant) const {
  for (const auto& component : components_) {
    if (!foundation_internal::isSafePathComponent(component)) {
      VantrelCoding::importantLog("Refused path component \"" + component + "\" of " + description());
      return std::nullopt;
    }
  }
  auto base = basePath(base_);
  if (!base) return std::nullopt;
  std::string path = *base;
  for (const auto& component : components_) path += (path == "/" ? "" : "/") + component;
  const URL url = URL::fileURLWithPath(path, true);

  if (createDirIfNonExistant) {
    FileManager& manager = fm != nullptr ? *fm : FileManager::defaultManager();
    try {
      manager.createDirectory(*base, true);
    } catch (const FileSystemError& e) {
      VantrelCoding::importantLog("Couldn't create dir " + url.path() + ": " + e.debugDescription());
      return url;
    } catch (const std::exception& e) {
      VantrelCoding::importantLog("Couldn't create dir " + url.path() + ": " + describe(e));
      return url;
    }
  }
  if (components_.empty()) return url;

  int error = 0;
  auto baseFd = foundation_internal::openFolder(*base, error);
  if (!baseFd) {
    if (createDirIfNonExistant) VantrelCoding::importantLog("Couldn't create dir " + url.path() + ": " + errorText(error, *base));
    return url;  // nothing below a missing base can lead outside it
  }
  if (createDirIfNonExistant) {
    error = createBeneath(baseFd.get(), components_);
    if (error == EXDEV || error == ELOOP) {
      VantrelCoding::importantLog("Refused to create " + url.path() + ": it leads outside " + *base);
      return std::nullopt;
    }
    if (error != 0) VantrelCoding::importantLog("Couldn't create dir " + url.path() + ": " + errorText(error, url.path()));
    return url;
  }
  if (!existingPartStaysBeneath(baseFd.get(), components_)) return std::nullopt;
  return url;
}

std::string Pascription::description() const {
  std::string text = "VtPathDescription(" + base_.caseName() + " " + integerText(static_cast<std::int64_t>(components_.size())) +
                     " components: ";
  for (std::size_t i = 0; i < components_.size(); ++i) {
    if (i > 0) text += ",";
    text += components_[i];
  }
  return text + ")";
}

}  // namespace vantrel
