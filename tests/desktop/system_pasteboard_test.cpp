#include "vantrel/platform/desktop/system_pasteboard.h"
#include "vantrel/platform/desktop/internal/selection_data.h"

#include <string>

#include <gtest/gtest.h>

#include "tests/foundation/files_test_support.h"

namespace vantrel {
namespace {

using desktop_internal::pasteboardTypeForSelectionTarget;
using testing::ScopedEnv;

TEST(SystemPasteboard, SelectionTargetsMapToTheLibrarysTypes) {
  struct Case {
    std::string_view target;
    std::string_view type;
  };
  const Case kCases[] = {
      {"UTF8_STRING", "text/plain;charset=utf-8"},
      {"text/plain;charset=utf-8", "text/plain;charset=utf-8"},
      {"text/plain;charset=UTF-8", "text/plain;charset=utf-8"},
      {"text/plain; charset=utf-8", "text/plain;charset=utf-8"},
      {"text/uri-list", "text/uri-list"},
      {"image/png", "image/png"},
      {"text/html", "text/html"},
      {"x-special/gnome-copied-files", "x-special/gnome-copied-files"},
      {"text/plain", "text/plain"},
      // Atoms about the selection, and older text forms: no type.
      {"TARGETS", ""},
      {"TIMESTAMP", ""},
      {"MULTIPLE", ""},
      {"SAVE_TARGETS", ""},
      {"STRING", ""},
      {"TEXT", ""},
      {"COMPOUND_TEXT", ""},
      {"", ""},
      {"/", ""},
      {"text/", ""},
      {"/plain", ""},
      {"text/pl\nain", ""},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.target);
    EXPECT_EQ(pasteboardTypeForSelectionTarget(c.target), c.type);
  }
}

TEST(SystemPasteboard, WithoutADisplayItIsTheInMemoryModel) {
  ScopedEnv noDisplay("DISPLAY", std::nullopt);
  SystemPasteboard board;
  EXPECT_EQ(board.types(), std::optional(std::vector<PasteboardType>{}));
  PasteboardItem item;
  item.setString("Hello", PasteboardType::string());
  item.setData(Data{1, 2}, PasteboardType::png());
  board.writeItems({item});
  EXPECT_EQ(board.types(), std::optional(std::vector<PasteboardType>{PasteboardType::string(), PasteboardType::png()}));
  EXPECT_EQ(board.stringForType(PasteboardType::string()), "Hello");
  EXPECT_EQ(board.dataForType(PasteboardType::png()), Data({1, 2}));
  EXPECT_EQ(&Pasteboard::general(), &Pasteboard::general());
  EXPECT_EQ(Pasteboard::general().name(), PasteboardName::general());
}

}  // namespace
}  // namespace vantrel
