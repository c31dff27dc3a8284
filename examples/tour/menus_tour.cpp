#include <cstdio>
#include <memory>
#include <string>

#include <vantrel/appkit/menu_dump.h>
#include <vantrel/appkit/menu_helpers.h>
#include <vantrel/appkit/menu_item_with_user_info.h>
#include <vantrel/appkit/menu_shortcuts.h>

#include "tour.h"

using namespace vantrel;

TOUR_SECTION(91, "Menus: build, search, list the shortcuts, write the source text") {
  auto main = Menu::create("Main");
  auto file = Menu::create("File");
  auto recent = NSMenuItemWithUserInfo::create("Report.txt", Selector("openRecent:"), "o");
  recent->userInfo()["path"] = "/tmp/Report.txt";
  file->addItem(recent);
  addSeparatorItem(file);
  vtSetKeyEquivalentModifierMask(vtSetTag(file->addItemWithTitle("Save As", Selector("saveAs:"), "S"), 2),
                                 EventModifierFlags{EventModifierFlags::command, EventModifierFlags::shift});
  addSubMenuItem(main, file);

  if (auto found = firstMatch(main, Selector("saveAs:"))) {
    std::printf("  saveAs: is item %lld of \"%s\"\n", static_cast<long long>(found->index),
                found->menu->title().c_str());
  }
  debug_printShortcutInfos(main);
  debug_printCreateMenuCode(main);
  debug_printCreateMenuCode_MenuActionClass(main);
}
