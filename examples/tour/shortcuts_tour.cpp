#include <cstdio>
#include <optional>
#include <string>

#include <vantrel/core/describe.h>
#include <vantrel/platform/keyboard/keyboard_layout.h>
#include <vantrel/shortcuts/layout_lookup.h>
#include <vantrel/shortcuts/modifier_flags.h>
#include <vantrel/shortcuts/shortcut.h>
#include <vantrel/shortcuts/shortcut_helper.h>

#include "tour.h"

using namespace vantrel;

TOUR_SECTION(100, "Modifier flags: glyphs, words and the hot-key mask") {
  const ModifierFlags flags{ModifierFlags::command, ModifierFlags::shift};
  std::printf("%s  %s  %s  carbon=%lld\n", flags.asSymbolsString().c_str(), flags.asMediumString().c_str(),
              flags.asLongString().c_str(), static_cast<long long>(flags.carbonInt()));
  std::printf("\"cmd-cmd\" reads as %s\n", ModifierFlags::fromString("cmd-cmd").vtDescription().c_str());
}

TOUR_SECTION(101, "Keyboard layouts: the same keys on us and de") {
  for (const char* name : {"us", "de"}) {
    keyboard::ScopedKeyboardLayout layout(keyboard::KeyboardLayout{name, ""});
    std::printf("%s: key 16 types %s, key 6 types %s, key 24 types %s\n", name,
                describe(HotKeyHelper::lookupKeyCode(16)).c_str(),
                describe(HotKeyHelper::lookupKeyCode(6)).c_str(),
                describe(HotKeyHelper::lookupKeyCode(24)).c_str());  // a dead key on de
  }
  HotKeyHelper::debug_printAllKeyboardInputSources();
}

TOUR_SECTION(102, "Key names and glyphs") {
  keyboard::ScopedKeyboardLayout layout(keyboard::KeyboardLayout{"us", ""});
  for (std::int64_t code : {36, 49, 76, 122, 0}) {
    std::printf("%3lld  %-8s %s\n", static_cast<long long>(code),
                ShortcutHelper::symbolsStringForKeyCode(code).value_or("-").c_str(),
                ShortcutHelper::stringForKeyCode(code).value_or("-").c_str());
  }
  std::printf("\"F5\" is key %s\n", describe(ShortcutHelper::keyCodeForString("F5")).c_str());
}

TOUR_SECTION(103, "Shortcuts and their storage strings") {
  keyboard::ScopedKeyboardLayout layout(keyboard::KeyboardLayout{"de", ""});
  const Shortcut s(16, ModifierFlags{ModifierFlags::control, ModifierFlags::command});
  std::printf("%s stored as \"%s\"; on de it shows %s\n", s.description().c_str(), s.rawString().c_str(),
              s.asStringSymbols().c_str());
  const std::optional<Shortcut> back = Shortcut::fromRawString(" ctrl-cmd , 16 ");
  std::printf("read back: %s; \"cmd,65536\" reads as %s\n", back && *back == s ? "equal" : "different",
              Shortcut::fromRawString("cmd,65536") ? "a shortcut" : "nothing");
}
