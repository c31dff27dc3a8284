// The GSettings half of desktop_key_bindings.h (GIO stays in this file).
#include <gio/gio.h>

#include <memory>
#include <string>
#include <vector>

#include "vantrel/shortcuts/recorder/desktop_key_bindings.h"

namespace vantrel {

namespace {

struct SchemaUnref {
  void operator()(GSettingsSchema* s) const { g_settings_schema_unref(s); }
};
struct SchemaKeyUnref {
  void operator()(GSettingsSchemaKey* k) const { g_settings_schema_key_unref(k); }
};
struct ObjectUnref {
  void operator()(GSettings* s) const { g_object_unref(s); }
};
struct VariantUnref {
  void operator()(GVariant* v) const { g_variant_unref(v); }
};
struct StrvFree {
  void operator()(gchar** v) const { g_strfreev(v); }
};

using Schema = std::unique_ptr<GSettingsSchema, SchemaUnref>;

constexpr const char* kMediaKeysSchema = "org.gnome.settings-daemon.plugins.media-keys";
constexpr const char* kCustomBindingSchema = "org.gnome.settings-daemon.plugins.media-keys.custom-keybinding";

Schema lookup(const char* id) {
  // Without any installed schema there is no source at all.
  GSettingsSchemaSource* source = g_settings_schema_source_get_default();
  if (source == nullptr) return nullptr;
  return Schema(g_settings_schema_source_lookup(source, id, TRUE));
}

void addAccelerator(const char* text, std::vector<SystemHotKeyEntry>& into) {
  if (text == nullptr) return;
  if (auto entry = systemHotKeyFromAccelerator(text)) into.push_back(*entry);
}

// Every key of `schema` that holds a string or a list of strings; the
// others (volume steps, flags) are not bindings.
void readBindings(GSettingsSchema* schema, GSettings* settings, std::vector<SystemHotKeyEntry>& into) {
  const std::unique_ptr<gchar*, StrvFree> keys(g_settings_schema_list_keys(schema));
  for (gchar** key = keys.get(); key != nullptr && *key != nullptr; ++key) {
    const std::unique_ptr<GSettingsSchemaKey, SchemaKeyUnref> schemaKey(g_settings_schema_get_key(schema, *key));
    const GVariantType* type = g_settings_schema_key_get_value_type(schemaKey.get());
    const std::unique_ptr<GVariant, VariantUnref> value(g_settings_get_value(settings, *key));
    if (g_variant_type_equal(type, G_VARIANT_TYPE_STRING)) {
      addAccelerator(g_variant_get_string(value.get(), nullptr), into);
    } else if (g_variant_type_equal(type, G_VARIANT_TYPE_STRING_ARRAY)) {
      const std::unique_ptr<const gchar*, decltype(&g_free)> strings(g_variant_get_strv(value.get(), nullptr),
                                                                      [](gpointer p) { g_free(p); });
      for (const gchar** s = strings.get(); s != nullptr && *s != nullptr; ++s) addAccelerator(*s, into);
    }
  }
}

// The media keys' own bindings of commands: a list of paths, each holding
// a relocatable "custom-keybinding" with its "binding".
void readCustomBindings(GSettingsSchema* media, GSettings* mediaKeys, std::vector<SystemHotKeyEntry>& into) {
  const Schema custom = lookup(kCustomBindingSchema);
  if (!custom || !g_settings_schema_has_key(custom.get(), "binding")) return;
  if (!g_settings_schema_has_key(media, "custom-keybindings")) return;
  const std::unique_ptr<gchar*, StrvFree> paths(g_settings_get_strv(mediaKeys, "custom-keybindings"));
  for (gchar** path = paths.get(); path != nullptr && *path != nullptr; ++path) {
    // GSettings stops the program on a malformed path: check it first.
    const std::string p(*path);
    if (p.size() < 2 || p.front() != '/' || p.back() != '/' || p.find("//") != std::string::npos) continue;
    const std::unique_ptr<GSettings, ObjectUnref> binding(g_settings_new_full(custom.get(), nullptr, *path));
    const std::unique_ptr<gchar, decltype(&g_free)> text(g_settings_get_string(binding.get(), "binding"), g_free);
    addAccelerator(text.get(), into);
  }
}

}  // namespace

std::vector<SystemHotKeyEntry> gsettingsSystemHotKeys(const std::vector<std::string>& schemaIds) {
  std::vector<SystemHotKeyEntry> found;
  for (const std::string& id : schemaIds) {
    const Schema schema = lookup(id.c_str());
    // Unknown schemas are skipped; a relocatable one has no place to read.
    if (!schema || g_settings_schema_get_path(schema.get()) == nullptr) continue;
    const std::unique_ptr<GSettings, ObjectUnref> settings(g_settings_new_full(schema.get(), nullptr, nullptr));
    readBindings(schema.get(), settings.get(), found);
    if (id == kMediaKeysSchema) readCustomBindings(schema.get(), settings.get(), found);
  }
  return mergedSystemHotKeys({}, found);
}

}  // namespace vantrel
