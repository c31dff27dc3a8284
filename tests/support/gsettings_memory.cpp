#include "tests/support/gsettings_memory.h"

#include <gio/gio.h>
#include <stdlib.h>

namespace vantrel::testing {

bool useMemoryGSettings(const std::string& schemaId) {
  ::setenv("GSETTINGS_BACKEND", "memory", 1);
  GSettingsSchemaSource* source = g_settings_schema_source_get_default();
  if (source == nullptr) return false;
  GSettingsSchema* schema = g_settings_schema_source_lookup(source, schemaId.c_str(), TRUE);
  if (schema == nullptr) return false;
  g_settings_schema_unref(schema);
  return true;
}

bool setGSettingsStrings(const std::string& schemaId, const std::string& key, const std::vector<std::string>& values) {
  std::vector<const gchar*> list;
  for (const std::string& v : values) list.push_back(v.c_str());
  list.push_back(nullptr);
  GSettings* settings = g_settings_new(schemaId.c_str());
  const bool done = g_settings_set_strv(settings, key.c_str(), list.data());
  g_object_unref(settings);
  return done;
}

void resetGSettingsKey(const std::string& schemaId, const std::string& key) {
  GSettings* settings = g_settings_new(schemaId.c_str());
  g_settings_reset(settings, key.c_str());
  g_object_unref(settings);
}

}  // namespace vantrel::testing
