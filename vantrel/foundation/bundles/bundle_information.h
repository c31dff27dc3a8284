// File: vantrel/foundation/bundles/bundle_information.h
//
// Version, build and identifier of a bundle from its "Info.json" (the main
// bundle's lies beside the executable), the library's own bundle, resource
// paths, the type identifier of URLs and three Boolean tests of a number.
//
//   cfBundleShortVersionString(*Bundle::main());                  // "2.1"
//   cfBundleVersion(*Bundle::main());                             // 17 ("CFBundleVersion": "17")
//   cfBundleShortVersionStringAndBundleVersionString(*Bundle::main());   // "2.1 (Build 17)"
//   bundleWithIdentifier("com.example.tool");                     // the main bundle, or a registered one
//
// Every query answers nullopt where its value is missing: no Info.json or
// no text under the key, a build that is not an optional sign and decimal
// digits fitting 64 bits ("1.2.3"), a missing resource, no bundle with that
// identifier. "0042" reads as 42, and comes back as "42" in the combined
// text. The file is read at each call. Thread-safe.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "vantrel/json/json_number.h"
#include "vantrel/platform/foundation/bundles/bundle.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// "CFBundleShortVersionString"; `vtCfBundleShortVersionString` and
// `vtVersion` answer the same.
[[nodiscard]] std::optional<std::string> cfBundleShortVersionString(const Bundle& self);
[[nodiscard]] std::optional<std::string> vtCfBundleShortVersionString(const Bundle& self);
[[nodiscard]] std::optional<std::string> vtVersion(const Bundle& self);
// "CFBundleVersion" as a decimal integer; `vtCfBundleVersion` and
// `vtBuildNumber` answer the same.
[[nodiscard]] std::optional<std::int64_t> cfBundleVersion(const Bundle& self);
[[nodiscard]] std::optional<std::int64_t> vtCfBundleVersion(const Bundle& self);
[[nodiscard]] std::optional<std::int64_t> vtBuildNumber(const Bundle& self);
// "<short version> (Build <build>)"; nullopt when either is missing.
[[nodiscard]] std::optional<std::string> cfBundleShortVersionStringAndBundleVersionString(const Bundle& self);
// The identifier it was registered under, else "CFBundleIdentifier".
[[nodiscard]] std::optional<std::string> vtBundleIdentifier(const Bundle& self);
// The path of the resource `name` (extension included) when it exists.
[[nodiscard]] std::optional<std::string> vtPathForResource(const Bundle& self, std::string_view name);

// Makes `bundle` findable under `identifier` (replacing an earlier one).
void registerBundle(std::string_view identifier, std::shared_ptr<Bundle> bundle);
// The main bundle when its identifier is `identifier`, else the bundle
// registered under it; nullptr when none.
[[nodiscard]] std::shared_ptr<Bundle> bundleWithIdentifier(std::string_view identifier);
// The library's own bundle, the folder holding the library, registered
// under `VantrelCommonBundleIdentifier` at its first use.
[[nodiscard]] std::shared_ptr<Bundle> vantrelBundle();

namespace UTI {
// "public.url".
[[nodiscard]] std::string_view url();
}  // namespace UTI

// Whether a number is a Boolean, three ways, which differ on a character
// (`JsonNumber::fromChar`), stored in 8 bits like a Boolean:
//   vtIsBool       by the storage: Booleans and characters
//   vtIsBool2      by the Boolean kind itself: only `JsonNumber::fromBool`
//   vtIsBool3Bool  by the type encoding, "c": Booleans and characters
// Every other number (an integer, even `fromInt('a')`, a double, a decimal)
// answers false to all three.
[[nodiscard]] bool vtIsBool(const JsonNumber& self);
[[nodiscard]] bool vtIsBool2(const JsonNumber& self);
[[nodiscard]] bool vtIsBool3Bool(const JsonNumber& self);

}  // namespace vantrel
