// File: vantrel/foundation/resources/json_resources.h
//
// JSON resources stored plain ("<name>.json") or as a bare LZFSE stream
// ("<name>.jzip"), found by name in a list of folders.
//
//   auto bytes = jsonData("maps", {Pascription(Pascription::Base::caches, {"res"})});
//   if (bytes) auto json = Json::fromData(*bytes);
//
// In each folder, in order, "<name>.json" is tried first, then
// "<name>.jzip"; the first that exists ends the search: its bytes are
// returned (a .json file unchanged, a .jzip decompressed with
// `Compression::lzfse` under the default output limit), or nullopt when it
// cannot be read or decompressed. The name gets the extension appended
// (never replaced). A name that is empty, ".", ".." or holds "/" or NUL
// gives nullopt without touching the file system, and a candidate is opened
// only below its folder: a symbolic link that leads outside counts as a file
// that cannot be read. Per-call state only; any thread may call.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "vantrel/core/data.h"
#include "vantrel/foundation/files/pascription.h"
#include "vantrel/platform/foundation/files/url.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// The search over folder URLs (file URLs; others are passed over).
[[nodiscard]] std::optional<Data> jsonData(std::string_view name, const std::vector<URL>& folders);
// The search over path descriptions: all of them are resolved first, in list
// order, without creating anything; one that cannot be resolved is passed over.
[[nodiscard]] std::optional<Data> jsonData(std::string_view name, const std::vector<Pascription>& folders);

}  // namespace vantrel
