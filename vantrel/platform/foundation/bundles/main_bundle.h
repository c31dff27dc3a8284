// File: vantrel/platform/foundation/bundles/main_bundle.h
//
// The main bundle, as far as its identity goes: the folder of the running
// executable, and the identifier read from an "Info.json" file beside the
// executable ({"CFBundleIdentifier": "com.example.tool", ...}) unless the
// host registered one.
//
//   registerMainBundleIdentifier("com.example.tool");
//   mainBundleIdentifier();            // "com.example.tool"
//   registerMainBundleIdentifier(std::nullopt);   // back to Info.json
//
// A missing or unreadable Info.json, or one whose "CFBundleIdentifier" is
// not a non-empty text, gives no identifier (a command-line tool). The file
// is read on every call. Thread-safe.
#pragma once

#include <optional>
#include <string>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

// The folder that holds the running executable.
[[nodiscard]] std::string mainBundlePath();

// The registered identifier, else "CFBundleIdentifier" of Info.json.
[[nodiscard]] std::optional<std::string> mainBundleIdentifier();

// Sets (or, with nullopt, clears) the identifier the host chose.
void registerMainBundleIdentifier(std::optional<std::string> identifier);

}  // namespace vantrel
