// Only shortcuts: validating a key combination must start without the
// drawing libraries (cairo, Pango) or the X server's.
#include <cstdio>

#include <vantrel/shortcuts/shortcut_validator.h>

int main() {
  const bool f5 = vantrel::ShortcutValidator::isShortcutValid(vantrel::Shortcut(96, {}));
  const bool shiftA = vantrel::ShortcutValidator::isShortcutValid(vantrel::Shortcut(0, vantrel::ModifierFlags::shift));
  std::printf("shortcut: %d %d\n", f5 ? 1 : 0, shiftA ? 1 : 0);
  return 0;
}
