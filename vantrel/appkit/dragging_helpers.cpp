#include "vantrel/appkit/dragging_helpers.h"

#include <limits>

#include "vantrel/core/console.h"
#include "vantrel/core/number_text.h"
#include "vantrel/core/sort.h"
#include "vantrel/text/comparison.h"

namespace vantrel {

std::vector<std::string> vtRender(const DraggingInfo& self) {
  std::vector<std::string> lines;
  const auto source = self.draggingSource();
  lines.push_back("📮 draggingSource() = " + (source ? source->description() : std::string("nil")));
  lines.push_back("📮 draggingSequenceNumber() = " + integerText(self.draggingSequenceNumber()));
  lines.push_back("📮 draggingPasteboard() = " + self.draggingPasteboard().description());
  lines.push_back("📮 numberOfValidItemsForDrop = " + integerText(self.numberOfValidItemsForDrop()));
  self.enumerateDraggingItems(DraggingItemEnumerationOptions(), nullptr, {PasteboardReadableClass::url}, {},
                              [&lines](DraggingItem& item, std::int64_t index, bool& /*stop*/) {
                                const std::string di = "di[" + integerText(index) + "]";
                                const PasteboardObject& object = item.item();
                                lines.push_back("📮 " + di + " = " + item.description());
                                lines.push_back("📮 type(of:" + di + ".item) = " +
                                                std::string(object.url() != nullptr ? "URL" : "String"));
                                lines.push_back("📮 " + di + ".item = " + object.description());
                                if (const URL* url = object.url(); url != nullptr && url->isFileURL()) {
                                  lines.push_back("📮 fileUrl = " + url->description());
                                }
                              });
  std::string closing;
  for (int i = 0; i < 30; ++i) closing += "📮";
  lines.push_back(std::move(closing));
  return lines;
}

std::vector<std::string> vtRender(DragOperation self) {
  static constexpr struct {
    DragOperation flag;
    const char* name;
  } kNames[] = {
      {DragOperation::copy, ".copy"}, {DragOperation::link, ".link"},     {DragOperation::generic, ".generic"},
      {DragOperation::private_, ".private"}, {DragOperation::move, ".move"}, {DragOperation::delete_, ".delete"},
  };
  std::vector<std::string> names;
  for (const auto& entry : kNames) {
    if (self.contains(entry.flag)) names.emplace_back(entry.name);
  }
  if (self.rawValue() == std::numeric_limits<std::uint64_t>::max()) names.emplace_back(".every");
  if (names.empty()) names.emplace_back(".none");
  return names;
}

std::vector<std::string> asLines(DragOperation self) { return vtRender(self); }

void vtDebugPrint(DragOperation self) {
  auto names = vtRender(self);
  stableSort(names, TextLess());
  std::string line = "[";
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) line += ",";
    line += names[i];
  }
  line += "]";
  consolePrint(line);
}

DraggingImageComponent::Ptr draggingImageComponentWithKey(std::string key, Image::Ptr image, Rect frame) {
  auto component = DraggingImageComponent::create(std::move(key));
  component->setContents(std::move(image));
  component->setFrame(frame);
  return component;
}

}  // namespace vantrel
