// GSettings for tests, without GIO's headers (whose -pthread flag would
// keep the test executables from the shared precompiled header): the
// memory backend, and writes and resets of string-list keys.
#pragma once

#include <string>
#include <vector>

namespace vantrel::testing {

// Chooses the memory backend (before the process's first GSettings use)
// and answers whether the schema is installed.
[[nodiscard]] bool useMemoryGSettings(const std::string& schemaId);

// Sets `key` of `schemaId` to `values`; false when GSettings refuses.
bool setGSettingsStrings(const std::string& schemaId, const std::string& key, const std::vector<std::string>& values);

// Gives `key` its default again.
void resetGSettingsKey(const std::string& schemaId, const std::string& key);

}  // namespace vantrel::testing
