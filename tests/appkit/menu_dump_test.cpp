#include "vantrel/appkit/menu_dump.h"

#include <cstdint>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/appkit/menu_helpers.h"
#include "vantrel/core/console.h"

namespace vantrel {
namespace {

using F = EventModifierFlags;

struct Document {
  std::string description() const { return "Doc\tOne"; }
};

MenuItem::Ptr item(const Menu::Ptr& menu, std::string title, const char* action, std::string key = "",
                   F mask = F::command) {
  auto added = menu->addItemWithTitle(std::move(title), action ? std::optional(Selector(action)) : std::nullopt,
                                      std::move(key));
  added->setKeyEquivalentModifierMask(mask);
  return added;
}

// One tree with everything the three outputs treat specially.
struct Tree {
  std::shared_ptr<Document> document = std::make_shared<Document>();
  Menu::Ptr main = Menu::create("Main Menu");

  Tree() {
    item(main, "Open\u2026", "open:", "o");
    addSeparatorItem(main);
    item(main, "Say \"hi\" \\ now\x01", "say:", "\"");
    vtSetTag(item(main, "Save As", "saveAs:", "S", F{F::command, F::shift}), -1);
    item(main, "Plain", nullptr);
    item(main, "Fn Only", "fn:", "f", F::function);
    item(main, "Command Fn", "cmdFn:", "g", F{F::command, F::function});
    vtSetAlternate(item(main, "Open Again", "open:", "o", F{F::command, F::option}), true);
    vtSetTarget(vtSetTag(item(main, "Act", "act:"), 2), document);

    auto edit = Menu::create("Edit");
    item(edit, "Copy", "copy:", "c");
    auto deep = Menu::create("Deep");
    item(deep, "Emoji & Symbols", "orderFrontCharacterPalette:", " ", F{F::command, F::control});
    item(deep, "Undo", "undo:", "z");
    addSubMenuItem(edit, deep);
    item(edit, "Start Dictation\u2026", "startDictation:");
    addSubMenuItem(main, edit);

    auto format = Menu::create("Format Text");
    item(format, "Bring All to Front", "makeKeyAndOrderFront:");
    item(format, "Bold", "bold:", "b");
    addSubMenuItem(main, format);
    auto format2 = Menu::create("Format+Text");
    item(format2, "Bold Too", "bold:");
    addSubMenuItem(main, format2);
  }
};

TEST(MenuDump, WholeTree) {
  Tree tree;
  ConsoleCapture capture;
  debug_PrintMenu(tree.main);
  EXPECT_EQ(capture.standardOutput(),
            "#ItemArray with = 12 elements:\n"
            "# \"Open\u2026\" Optional(open:)\n"
            "#--------------------------------\n"
            "# \"Say \"hi\" \\ now\x01\" Optional(say:)\n"
            "# \"Save As\" Optional(saveAs:)\n"
            "# \"Plain\" nil\n"
            "# \"Fn Only\" Optional(fn:)\n"
            "# \"Command Fn\" Optional(cmdFn:)\n"
            "# \"Open Again\" Optional(open:)\n"
            "# \"Act\" Optional(act:) of target Doc\tOne\n"
            "# \"Edit\"\n"
            "##ItemArray with = 3 elements:\n"
            "## \"Copy\" Optional(copy:)\n"
            "## \"Deep\"\n"
            "###ItemArray with = 2 elements:\n"
            "### \"Emoji & Symbols\" Optional(orderFrontCharacterPalette:)\n"
            "### \"Undo\" Optional(undo:)\n"
            "###^^^\n"
            "## \"Start Dictation\u2026\" Optional(startDictation:)\n"
            "##^^\n"
            "\n"
            "# \"Format Text\"\n"
            "##ItemArray with = 2 elements:\n"
            "## \"Bring All to Front\" Optional(makeKeyAndOrderFront:)\n"
            "## \"Bold\" Optional(bold:)\n"
            "##^^\n"
            "\n"
            "# \"Format+Text\"\n"
            "##ItemArray with = 1 elements:\n"
            "## \"Bold Too\" Optional(bold:)\n"
            "##^^\n"
            "\n"
            "#^\n");
}

const char* const kTreeCode =
    "\tlet menu_Main_Menu:NSMenu = {\n"
    "\t\tlet m = NSMenu(title:\"Main Menu\")\n"
    "\t\tm.addItem(withTitle:\"Open\u2026\", action: #selector(MenuActionsClass.open), keyEquivalent: \"o\")!\n"
    "\t\tm.addSeparatorItem()\n"
    "\t\tm.addItem(withTitle:\"Say \\\"hi\\\" \\\\ now\\u{01}\", action: #selector(MenuActionsClass.say), "
    "keyEquivalent: \"\\\"\")!\n"
    "\t\tm.addItem(withTitle:\"Save As\", action: #selector(MenuActionsClass.saveAs), keyEquivalent: \"S\")!"
    ".vtSetKeyEquivalentModifierMask(Int((NSEvent.ModifierFlags(rawValue: 1179648) as NSEvent.ModifierFlags)"
    ".rawValue)).vtSetTag(-1)\n"
    "\t\tm.addItem(withTitle:\"Plain\", action: nil, keyEquivalent: \"\")!\n"
    "\t\tm.addItem(withTitle:\"Fn Only\", action: #selector(MenuActionsClass.fn), keyEquivalent: \"f\")!\n"
    "\t\tm.addItem(withTitle:\"Command Fn\", action: #selector(MenuActionsClass.cmdFn), keyEquivalent: \"g\")!\n"
    "\t\tm.addItem(withTitle:\"Open Again\", action: #selector(MenuActionsClass.open), keyEquivalent: \"o\")!"
    ".vtSetKeyEquivalentModifierMask(Int((NSEvent.ModifierFlags(rawValue: 1572864) as NSEvent.ModifierFlags)"
    ".rawValue)).vtSetAlternate(true)\n"
    "\t\tm.addItem(withTitle:\"Act\", action: #selector(MenuActionsClass.act), keyEquivalent: \"\")!"
    ".vtSetTag(2) // target: Doc One\n"
    "\t\tlet menu_Edit:NSMenu = {\n"
    "\t\t\tlet m = NSMenu(title:\"Edit\")\n"
    "\t\t\tm.addItem(withTitle:\"Copy\", action: #selector(MenuActionsClass.copy), keyEquivalent: \"c\")!\n"
    "\t\t\tlet menu_Deep:NSMenu = {\n"
    "\t\t\t\tlet m = NSMenu(title:\"Deep\")\n"
    "\t\t\t\tm.addItem(withTitle:\"Undo\", action: #selector(MenuActionsClass.undo), keyEquivalent: \"z\")!\n"
    "\t\t\t\treturn m\n"
    "\t\t\t}()\n"
    "\t\t\tm.addSubMenuItem(menu_Deep)\n"
    "\t\t\treturn m\n"
    "\t\t}()\n"
    "\t\tm.addSubMenuItem(menu_Edit)\n"
    "\n"
    "\t\tlet menu_Format_Text:NSMenu = {\n"
    "\t\t\tlet m = NSMenu(title:\"Format Text\")\n"
    "\t\t\tm.addItem(withTitle:\"Bold\", action: #selector(MenuActionsClass.bold), keyEquivalent: \"b\")!\n"
    "\t\t\treturn m\n"
    "\t\t}()\n"
    "\t\tm.addSubMenuItem(menu_Format_Text)\n"
    "\n"
    "\t\tlet menu_Format_Text_2:NSMenu = {\n"
    "\t\t\tlet m = NSMenu(title:\"Format+Text\")\n"
    "\t\t\tm.addItem(withTitle:\"Bold Too\", action: #selector(MenuActionsClass.bold), keyEquivalent: \"\")!\n"
    "\t\t\treturn m\n"
    "\t\t}()\n"
    "\t\tm.addSubMenuItem(menu_Format_Text_2)\n"
    "\n"
    "\t\treturn m\n"
    "\t}()\n";

TEST(MenuCode, WholeTree) {
  Tree tree;
  ConsoleCapture capture;
  EXPECT_EQ(debug_printCreateMenuCode(tree.main), "menu_Main_Menu");
  EXPECT_EQ(capture.standardOutput(), kTreeCode);
}

TEST(MenuCode, ActionClassDeclaresEachActionOnce) {
  Tree tree;
  ConsoleCapture capture;
  debug_printCreateMenuCode_MenuActionClass(tree.main);
  EXPECT_EQ(capture.standardOutput(),
            "private class MenuActionsClass {\n"
            "\t@objc private func open(sender:NSMenuItem) {}\n"
            "\t@objc private func say(sender:NSMenuItem) {}\n"
            "\t@objc private func saveAs(sender:NSMenuItem) {}\n"
            "\t@objc private func fn(sender:NSMenuItem) {}\n"
            "\t@objc private func cmdFn(sender:NSMenuItem) {}\n"
            "\t@objc private func act(sender:NSMenuItem) {}\n"
            "\t@objc private func copy(sender:NSMenuItem) {}\n"
            "\t@objc private func orderFrontCharacterPalette(sender:NSMenuItem) {}\n"
            "\t@objc private func undo(sender:NSMenuItem) {}\n"
            "\t@objc private func startDictation(sender:NSMenuItem) {}\n"
            "\t@objc private func makeKeyAndOrderFront(sender:NSMenuItem) {}\n"
            "\t@objc private func bold(sender:NSMenuItem) {}\n"
            "}\n");
}

// Braces outside literals and comments balance; no raw control character
// but tab and line feed; every `let` name and method is declared once.
TEST(MenuCode, GeneratedTextIsWellFormed) {
  Tree tree;
  ConsoleCapture capture;
  debug_printCreateMenuCode(tree.main);
  debug_printCreateMenuCode_MenuActionClass(tree.main);
  const std::string text = capture.standardOutput();

  std::int64_t depth = 0;
  bool inLiteral = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    auto byte = static_cast<unsigned char>(c);
    ASSERT_TRUE(byte >= 0x20 || c == '\t' || c == '\n') << "raw control character at " << i;
    ASSERT_FALSE(byte == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0)
        << "raw C1 control character at " << i;
    if (inLiteral) {
      ASSERT_NE(c, '\n') << "literal runs past its line";
      if (c == '\\') {
        ++i;
      } else if (c == '"') {
        inLiteral = false;
      }
    } else if (c == '"') {
      inLiteral = true;
    } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
      i = text.find('\n', i);
    } else if (c == '{') {
      ++depth;
    } else if (c == '}') {
      ASSERT_GT(depth, 0) << "unbalanced at " << i;
      --depth;
    }
  }
  EXPECT_FALSE(inLiteral);
  EXPECT_EQ(depth, 0);

  for (const char* pattern : {"let (menu_[A-Za-z0-9_-]*):NSMenu", "func ([A-Za-z0-9_]+)\\("}) {
    std::regex re(pattern);
    std::set<std::string> seen;
    std::size_t count = 0;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it) {
      seen.insert((*it)[1]);
      ++count;
    }
    EXPECT_GT(count, 1u) << pattern;
    EXPECT_EQ(seen.size(), count) << pattern;
  }
}

TEST(MenuCode, LiteralEscapes) {
  struct Case {
    std::string title;
    std::string literal;
  };
  const std::vector<Case> cases = {
      {"plain \u00e9\u2026", "plain \u00e9\u2026"},
      {"q\"b\\", "q\\\"b\\\\"},
      {"l\nr\rt\t", "l\\nr\\rt\\t"},
      {std::string("nul\0x", 5), "nul\\u{00}x"},
      {"\x1b[0m\x1f\x7f", "\\u{1B}[0m\\u{1F}\\u{7F}"},
      {"c1\u0085\u009f\u00a0", "c1\\u{85}\\u{9F}\u00a0"},  // U+00A0 is no control character
      {"bad\xff", "bad\ufffd"},
  };
  for (const Case& c : cases) {
    auto menu = Menu::create("M");
    auto added = menu->addItemWithTitle(c.title, std::nullopt, c.title);
    ConsoleCapture capture;
    debug_printCreateMenuCode(menu);
    EXPECT_NE(capture.standardOutput().find("m.addItem(withTitle:\"" + c.literal + "\", action: nil, keyEquivalent: \"" +
                                            c.literal + "\")!\n"),
              std::string::npos)
        << capture.standardOutput();
  }
}

TEST(MenuCode, TargetCommentHasNoControlCharacters) {
  struct Noisy {
    std::string description() const { return "a\nb\r\x1b\u0085c"; }
  };
  auto noisy = std::make_shared<Noisy>();
  auto menu = Menu::create("M");
  menu->addItemWithTitle("T", std::nullopt, "")->setTarget(noisy);
  ConsoleCapture capture;
  debug_printCreateMenuCode(menu);
  EXPECT_NE(capture.standardOutput().find("keyEquivalent: \"\")! // target: a b   c\n"), std::string::npos)
      << capture.standardOutput();
}

TEST(MenuCode, VariableNames) {
  struct Case {
    std::string title;
    std::string name;
  };
  const std::vector<Case> cases = {
      {"Main Menu", "menu_Main_Menu"}, {"", "menu_"},           {"a-b_c9", "menu_a-b_c9"},
      {"\u00d6ffnen", "menu__ffnen"},  {"e\u0301", "menu_e_"}, {"\U0001F600 x", "menu___x"},
  };
  for (const Case& c : cases) {
    ConsoleCapture capture;
    EXPECT_EQ(debug_printCreateMenuCode(Menu::create(c.title)), c.name) << c.title;
  }
}

TEST(MenuCode, TakenNamesGetSuffixes) {
  auto tools = Menu::create("Tools");
  auto inner = Menu::create("Tools");
  addSubMenuItem(inner, Menu::create("Tools"));
  addSubMenuItem(tools, inner);
  addSubMenuItem(tools, Menu::create("X Y"));
  addSubMenuItem(tools, Menu::create("X.Y"));
  addSubMenuItem(tools, Menu::create("X_Y_2"));  // its plain name is taken by now

  ConsoleCapture capture;
  EXPECT_EQ(debug_printCreateMenuCode(tools), "menu_Tools");
  std::regex re("let (menu_[A-Za-z0-9_-]*):NSMenu");
  const std::string text = capture.standardOutput();
  std::vector<std::string> names;
  for (auto it = std::sregex_iterator(text.begin(), text.end(), re); it != std::sregex_iterator(); ++it) {
    names.push_back((*it)[1]);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"menu_Tools", "menu_Tools_2", "menu_Tools_3", "menu_X_Y",
                                             "menu_X_Y_2", "menu_X_Y_2_2"}));
  EXPECT_NE(text.find("\tm.addSubMenuItem(menu_Tools_3)\n"), std::string::npos);
}

TEST(MenuCode, EmptyMenu) {
  auto menu = Menu::create();
  ConsoleCapture capture;
  debug_PrintMenu(menu);
  EXPECT_EQ(debug_printCreateMenuCode(menu), "menu_");
  debug_printCreateMenuCode_MenuActionClass(menu);
  EXPECT_EQ(capture.standardOutput(),
            "#ItemArray with = 0 elements:\n"
            "#^\n"
            "\tlet menu_:NSMenu = {\n"
            "\t\tlet m = NSMenu(title:\"\")\n"
            "\t\treturn m\n"
            "\t}()\n"
            "private class MenuActionsClass {\n"
            "}\n");
}

std::string depthOutput(const Menu::Ptr& menu, std::int64_t depth) {
  ConsoleCapture capture;
  debug_PrintMenu(menu, depth);
  EXPECT_EQ(debug_printCreateMenuCode(menu, depth), "menu_Main");
  debug_printCreateMenuCode_MenuActionClass(menu, depth);
  return capture.standardOutput();
}

TEST(MenuCode, DepthZeroAndNegative) {
  auto menu = Menu::create("Main");
  item(menu, "A", "a:");
  auto sub = Menu::create("Sub");
  item(sub, "B", "b:");
  addSubMenuItem(menu, sub);
  item(menu, "C", "a:");

  const std::string expected =
      "ItemArray with = 3 elements:\n"
      " \"A\" Optional(a:)\n"
      " \"Sub\"\n"
      "#ItemArray with = 1 elements:\n"
      "# \"B\" Optional(b:)\n"
      "#^\n"
      " \"C\" Optional(a:)\n"
      "\n"
      "let menu_Main:NSMenu = {\n"
      "\tlet m = NSMenu(title:\"Main\")\n"
      "\tm.addItem(withTitle:\"A\", action: #selector(MenuActionsClass.a), keyEquivalent: \"\")!\n"
      "\tlet menu_Sub:NSMenu = {\n"
      "\t\tlet m = NSMenu(title:\"Sub\")\n"
      "\t\tm.addItem(withTitle:\"B\", action: #selector(MenuActionsClass.b), keyEquivalent: \"\")!\n"
      "\t\treturn m\n"
      "\t}()\n"
      "\tm.addSubMenuItem(menu_Sub)\n"
      "\tm.addItem(withTitle:\"C\", action: #selector(MenuActionsClass.a), keyEquivalent: \"\")!\n"
      "\treturn m\n"
      "}()\n"
      "\t@objc private func a(sender:NSMenuItem) {}\n"
      "private class MenuActionsClass {\n"
      "\t@objc private func b(sender:NSMenuItem) {}\n"
      "}\n";
  EXPECT_EQ(depthOutput(menu, 0), expected);
  EXPECT_EQ(depthOutput(menu, -3), expected);
}

}  // namespace
}  // namespace vantrel
