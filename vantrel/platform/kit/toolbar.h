// File: vantrel/platform/kit/toolbar.h
//
// `Toolbar` and `ToolbarItem`: a window's row of items, each known by its
// item identifier (several items may share one).
//
//   auto toolbar = Toolbar::create("main");
//   toolbar->insertItem(ToolbarItem::create("search"), 0);
//   toolbar->items().front()->itemIdentifier()      // "search"
//
// Stops (`fatal`): a null item, an index outside 0...items().size() for an
// insertion or 0..<items().size() for a removal. Main-thread objects: not
// thread-safe.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class ToolbarItem {
 public:
  using Ptr = std::shared_ptr<ToolbarItem>;

  [[nodiscard]] static Ptr create(std::string itemIdentifier) { return Ptr(new ToolbarItem(std::move(itemIdentifier))); }

  ToolbarItem(const ToolbarItem&) = delete;
  ToolbarItem& operator=(const ToolbarItem&) = delete;

  [[nodiscard]] const std::string& itemIdentifier() const { return itemIdentifier_; }
  // Empty until set.
  [[nodiscard]] const std::string& label() const { return label_; }
  void setLabel(std::string label) { label_ = std::move(label); }

 private:
  explicit ToolbarItem(std::string itemIdentifier) : itemIdentifier_(std::move(itemIdentifier)) {}
  std::string itemIdentifier_;
  std::string label_;
};

class Toolbar {
 public:
  using Ptr = std::shared_ptr<Toolbar>;

  [[nodiscard]] static Ptr create(std::string identifier) { return Ptr(new Toolbar(std::move(identifier))); }

  Toolbar(const Toolbar&) = delete;
  Toolbar& operator=(const Toolbar&) = delete;

  [[nodiscard]] const std::string& identifier() const { return identifier_; }
  // In display order.
  [[nodiscard]] const std::vector<ToolbarItem::Ptr>& items() const { return items_; }
  void insertItem(ToolbarItem::Ptr item, std::int64_t index);
  void removeItemAtIndex(std::int64_t index);

 private:
  explicit Toolbar(std::string identifier) : identifier_(std::move(identifier)) {}
  std::string identifier_;
  std::vector<ToolbarItem::Ptr> items_;
};

}  // namespace vantrel
