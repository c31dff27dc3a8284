// File: vantrel/foundation/files/pascription.h
//
// `Pascription`: a path description, a symbolic base folder followed by path
// components, resolved on demand to a file URL. Its text form is a base token
// between dollar signs followed by "/"-separated components.
//
//   auto p = Pascription::fromText("$CACHES$/maps/tiles");   // base caches, {"maps", "tiles"}
//   p->vendUrl();                                 // file:///home/u/.cache/maps/tiles
//   p->vendUrl(nullptr, true);                    // the same, created as a folder
//   Pascription(Pascription::Base::temp).description();   // "VtPathDescription(temp 0 components: )"
//
// | token                        | base                                     | folder on Linux                         |
// |------------------------------|------------------------------------------|-----------------------------------------|
// | "$GROUP$" id "$"             | appGroup(id)                             | <data>/Group Containers/<id>            |
// | (none)                       | bundle(id)                               | resources of the loaded bundle <id>     |
// | "$HD$", "$HOME$"             | home                                     | $HOME                                   |
// | "$DESKTOP$"                  | desktop                                  | XDG desktop folder                      |
// | "$DOCUMENTS$"                | documents                                | XDG documents folder                    |
// | "$AS$", "$APPLICATION_SUPPORT$" | applicationSupport                    | <data> (${XDG_DATA_HOME:-~/.local/share}) |
// | "$ASMBI$"                    | applicationSupport_MainBundleIdentifier  | <data>/<main bundle identifier>         |
// | "$CACHES$"                   | caches                                   | ${XDG_CACHE_HOME:-~/.cache}             |
// | "$CACHESMBI$"                | caches_MainBundleIdentifier              | <caches>/<main bundle identifier>       |
// | "$xHD$"                      | systemCurrentUserHome                    | the first two levels of $HOME           |
// | "$TEMP$"                     | temp                                     | ${TMPDIR:-/tmp}                         |
// | "$TBRD$"                     | testBundle_Resources                     | first loaded bundle with "UnitTests"    |
// | "$MBRD$"                     | mainBundle_Resources                     | resources of the main bundle            |
// | (none)                       | privateDocuments                         | <data>/PrivateDocuments                 |
//
// The text can come from data, so nothing may lead outside the base:
// resolution refuses a component or identifier that is empty, ".", ".." or
// holds "/" or NUL, and a location whose existing part reaches outside the
// base through a symbolic link; folders are created level by level below
// the base, never through a link that leaves it. Refusals and bases that
// cannot be resolved answer nullopt; the four diagnostics
// ("Unkonw RootDirDescription: …" and the three of missing containers and
// bundles, spelled as the older release printed them) are printed as red `qlog.error` lines. A value; thread-safe like
// any value.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vantrel/platform/foundation/files/file_manager.h"
#include "vantrel/platform/foundation/files/url.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class Pascription {
 public:
  // The base folder: twelve plain cases and two with an identifier.
  class Base {
   public:
    enum Case {
      appGroup,
      bundle,
      home,
      desktop,
      documents,
      applicationSupport,
      applicationSupport_MainBundleIdentifier,
      caches,
      caches_MainBundleIdentifier,
      systemCurrentUserHome,
      temp,
      testBundle_Resources,
      mainBundle_Resources,
      privateDocuments,
    };

    // A case; `appGroup` and `bundle` get the empty identifier (which
    // resolution refuses).
    Base(Case kind) : kind_(kind) {}  // NOLINT: implicit, so a case reads as a plain literal
    [[nodiscard]] static Base appGroupWithIdentifier(std::string identifier);
    [[nodiscard]] static Base bundleWithIdentifier(std::string identifier);

    [[nodiscard]] Case kind() const { return kind_; }
    operator Case() const { return kind_; }  // NOLINT: for switch
    // The identifier of `appGroup` and `bundle`; "" for the other cases.
    [[nodiscard]] const std::string& identifier() const { return identifier_; }
    // "documents"; "appGroup(\"group.x\")" for the cases with an identifier.
    [[nodiscard]] std::string caseName() const;

    friend bool operator==(const Base&, const Base&) = default;

   private:
    Base(Case kind, std::string identifier) : kind_(kind), identifier_(std::move(identifier)) {}
    Case kind_;
    std::string identifier_;
  };

  // A base and components, stored in order without the empty ones. A
  // component is not split: "a/b" stays one (and resolution refuses it).
  Pascription(Base base, std::vector<std::string> components = {});

  // Parses the text form: every text split at "/", empty pieces dropped, the
  // first piece the base token, the rest the components. nullopt, after the
  // message "Unkonw RootDirDescription: <token>", for a token that names no
  // base; nullopt without message when no piece is left.
  [[nodiscard]] static std::optional<Pascription> fromComponents(const std::vector<std::string_view>& texts);
  // The same for one text.
  [[nodiscard]] static std::optional<Pascription> fromText(std::string_view text);
  // The same as `fromText("$GROUP$" + identifier + "$")`.
  [[nodiscard]] static std::optional<Pascription> group(std::string_view identifier);

  [[nodiscard]] const Base& base() const { return base_; }
  [[nodiscard]] const std::vector<std::string>& components() const { return components_; }
  // Stores the list unchanged.
  void setComponents(std::vector<std::string> components) { components_ = std::move(components); }

  // A new description with this base and these components followed by
  // `more`, each split at "/" with the empty pieces dropped.
  [[nodiscard]] Pascription pascriptionByAppending(const std::vector<std::string_view>& more) const;
  // The same as `pascriptionByAppending`.
  [[nodiscard]] Pascription append2(const std::vector<std::string_view>& more) const {
    return pascriptionByAppending(more);
  }

  // The folder URL of the base with each component appended; with
  // `createDirIfNonExistant`, the whole location is first created as a
  // folder (a failure prints "Couldn't create dir <path>: <error>" through
  // `VantrelCoding::importantLog` and the URL is still answered). `fm` (the
  // default manager when null) creates the base folder. nullopt for a base
  // that cannot be resolved and for every refusal (see the top).
  [[nodiscard]] std::optional<URL> vendUrl(FileManager* fm = nullptr, bool createDirIfNonExistant = false) const;

  // "VtPathDescription(<case> <count> components: <components joined by ,>)".
  [[nodiscard]] std::string description() const;

 private:
  Base base_;
  std::vector<std::string> components_;
};

}  // namespace vantrel
