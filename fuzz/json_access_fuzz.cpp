// Arbitrary bytes as JSON, then everything a host does with the value:
// key paths, reads and writes along the paths of its members, merging with
// itself, compact and system text. Nothing may crash, and the system text
// (every layout) must read back to an equal value.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "vantrel/core/console.h"
#include "vantrel/json/json.h"

namespace {

using vantrel::Json;
using vantrel::JsonWritingOptions;

void checkSystemText(const Json& value) {
  for (const JsonWritingOptions options :
       {JsonWritingOptions::fragmentsAllowed,
        JsonWritingOptions::fragmentsAllowed.union_(JsonWritingOptions::prettyPrinted),
        JsonWritingOptions::fragmentsAllowed.union_(JsonWritingOptions::sortedKeys)
            .union_(JsonWritingOptions::prettyPrinted)}) {
    if (!(Json::fromData(value.makeData(options)) == value)) std::abort();
  }
}

// Reads each member by its path and writes it back where it was.
void walk(Json& root, const Json& value, vantrel::JsonPath& path, int budget) {
  std::int64_t position = 0;
  for (const auto& [name, member] : value) {
    if (budget-- <= 0) return;
    if (value.type() == vantrel::JsonType::array) {
      path.emplace_back(position++);
    } else {
      path.emplace_back(name);
    }
    // The proxy of a value that is not const reads as the view does, and
    // keeps the path it was given.
    const auto proxy = root[path];
    if (!(proxy == member) || !(proxy.path() == path)) std::abort();
    if (!root.set(path, member)) std::abort();
    walk(root, member, path, budget / 2);
    path.pop_back();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  Json value;
  try {
    value = Json::fromData(text);
  } catch (const vantrel::JsonReadError&) {
    return 0;
  }
  vantrel::ConsoleCapture quiet;  // writes that miss print their message

  const auto paths = value.collectKeyPaths();
  for (const std::string& path : paths) {
    if (path.empty() || path.front() != '.') std::abort();
  }
  (void)value.makeStringCompact();
  (void)value.description();
  checkSystemText(value);

  Json copy = value;
  vantrel::JsonPath path;
  walk(copy, value, path, 64);
  if (!(copy == value)) std::abort();

  // Writes through paths that miss change nothing.
  copy[vantrel::JsonPath{-1}] = 1;
  copy[vantrel::JsonPath{-1, "x"}] = 1;
  if (!(copy == value)) std::abort();

  try {
    const Json doubled = value.merged(value);
    if (doubled.type() != value.type()) std::abort();
    checkSystemText(doubled);
    (void)doubled.collectKeyPaths();
  } catch (const vantrel::JsonDepthError&) {
  }
  return 0;
}
