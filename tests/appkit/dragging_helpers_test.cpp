// The dragging-information dump, drag-operation names and the dragging
// image component.
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "vantrel/appkit/dragging_helpers.h"
#include "vantrel/core/console.h"

namespace vantrel {
namespace {

class NamedSource : public DraggingSource {
 public:
  std::string description() const override { return "<ListView: rows>"; }
};

// A drag over a drag pasteboard holding the given items.
class StandInDrag : public DraggingInfo {
 public:
  explicit StandInDrag(std::vector<PasteboardItem> items, std::shared_ptr<const DraggingSource> source = nullptr)
      : source_(std::move(source)), board_(PasteboardName::drag()) {
    board_.writeItems(std::move(items));
  }

  std::shared_ptr<const DraggingSource> draggingSource() const override { return source_; }
  std::int64_t draggingSequenceNumber() const override { return 17; }
  const Pasteboard& draggingPasteboard() const override { return board_; }
  std::int64_t numberOfValidItemsForDrop() const override { return 2; }
  void enumerateDraggingItems(DraggingItemEnumerationOptions options, const View* view,
                              const std::vector<PasteboardReadableClass>& classes,
                              const PasteboardReadingOptions& searchOptions,
                              const EnumerationBlock& block) const override {
    asked.push_back({options.rawValue(), view == nullptr, classes, searchOptions.empty()});
    const auto objects = board_.readObjectsForClasses(classes);
    if (!objects) return;
    bool stop = false;
    std::int64_t index = 0;
    for (const auto& object : *objects) {
      DraggingItem item(object, Rect(1, 2, 3, 4));
      block(item, index++, stop);
      if (stop) break;
    }
  }

  struct Request {
    std::uint64_t options;
    bool noView;
    std::vector<PasteboardReadableClass> classes;
    bool noSearchOptions;
    bool operator==(const Request&) const = default;
  };
  mutable std::vector<Request> asked;

 private:
  std::shared_ptr<const DraggingSource> source_;
  Pasteboard board_;
};

PasteboardItem urlItem(const URL& url) {
  PasteboardItem item;
  item.setURL(url);
  return item;
}

PasteboardItem textItem(const std::string& text) {
  PasteboardItem item;
  item.setString(text, PasteboardType::string());
  return item;
}

const std::string kHead[] = {
    "📮 draggingSequenceNumber() = 17",
    "📮 draggingPasteboard() = <Pasteboard: org.vantrel.pasteboard-name.drag>",
    "📮 numberOfValidItemsForDrop = 2",
};

std::vector<std::string> dump(const std::string& sourceLine, const std::vector<std::string>& itemLines) {
  std::vector<std::string> lines{sourceLine};
  lines.insert(lines.end(), std::begin(kHead), std::end(kHead));
  lines.insert(lines.end(), itemLines.begin(), itemLines.end());
  std::string closing;
  for (int i = 0; i < 30; ++i) closing += "📮";
  lines.push_back(closing);
  return lines;
}

TEST(DraggingInfoDump, LinesPerUrlItem) {
  const auto source = std::make_shared<NamedSource>();
  const auto web = *URL::fromString("https://example.org/a?b=1");
  const auto file = URL::fileURLWithPath("/tmp/a b.txt");
  struct Case {
    const char* name;
    std::vector<PasteboardItem> items;
    std::shared_ptr<const DraggingSource> source;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {"no URL item", {textItem("plain")}, source, dump("📮 draggingSource() = <ListView: rows>", {})},
      {"one web URL",
       {urlItem(web)},
       source,
       dump("📮 draggingSource() = <ListView: rows>",
            {"📮 di[0] = <DraggingItem: item = https://example.org/a?b=1, draggingFrame = (1.0, 2.0, 3.0, 4.0)>",
             "📮 type(of:di[0].item) = URL", "📮 di[0].item = https://example.org/a?b=1"})},
      {"one file URL after a text",
       {textItem("plain"), urlItem(file)},
       nullptr,
       dump("📮 draggingSource() = nil",
            {"📮 di[0] = <DraggingItem: item = file:///tmp/a%20b.txt, draggingFrame = (1.0, 2.0, 3.0, 4.0)>",
             "📮 type(of:di[0].item) = URL", "📮 di[0].item = file:///tmp/a%20b.txt",
             "📮 fileUrl = file:///tmp/a%20b.txt"})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    StandInDrag drag(c.items, c.source);
    ConsoleCapture console;
    EXPECT_EQ(vtRender(drag), c.expected);
    EXPECT_EQ(console.standardOutput(), "");
    // One walk, over URL objects only, without options, view or search options.
    EXPECT_EQ(drag.asked, (std::vector<StandInDrag::Request>{{0, true, {PasteboardReadableClass::url}, true}}));
  }
}

TEST(DragOperationNames, InBitOrderAndPrintedSorted) {
  struct Case {
    DragOperation mask;
    std::vector<std::string> names;
    std::string printed;
  };
  const Case cases[] = {
      {DragOperation(), {".none"}, "[.none]\n"},
      {DragOperation{DragOperation::copy, DragOperation::move}, {".copy", ".move"}, "[.copy,.move]\n"},
      {DragOperation{DragOperation::link, DragOperation::generic}, {".link", ".generic"}, "[.generic,.link]\n"},
      {DragOperation{DragOperation::private_, DragOperation::delete_}, {".private", ".delete"}, "[.delete,.private]\n"},
      {DragOperation::every,
       {".copy", ".link", ".generic", ".private", ".move", ".delete", ".every"},
       "[.copy,.delete,.every,.generic,.link,.move,.private]\n"},
      {DragOperation(64u | (1ull << 40)), {".none"}, "[.none]\n"},
      {DragOperation(~std::uint64_t{1}), {".link", ".generic", ".private", ".move", ".delete"},
       "[.delete,.generic,.link,.move,.private]\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.printed);
    EXPECT_EQ(vtRender(c.mask), c.names);
    EXPECT_EQ(asLines(c.mask), c.names);
    ConsoleCapture console;
    vtDebugPrint(c.mask);
    EXPECT_EQ(console.standardOutput(), c.printed);
  }
}

TEST(DraggingImageComponent, KeyContentsAndFrameReadBack) {
  const auto image = Image::create(Size(16, 8));
  const auto component = draggingImageComponentWithKey("icon", image, Rect(1, 2, 16, 8));
  EXPECT_EQ(component->key(), DraggingImageComponent::iconKey);
  EXPECT_EQ(component->contents(), image);
  EXPECT_EQ(component->frame(), Rect(1, 2, 16, 8));
  EXPECT_EQ(draggingImageComponentWithKey("", nullptr, Rect())->key(), "");
}

}  // namespace
}  // namespace vantrel
