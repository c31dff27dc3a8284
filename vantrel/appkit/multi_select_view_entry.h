// File: vantrel/appkit/multi_select_view_entry.h
//
// `MultiSelectViewEntry`: one row of a `MultiSelectView`: the host's code
// for it, whether its box is checked, the title shown beside the box and
// whether the box can be clicked.
//
//   MultiSelectViewEntry apples("a", true, AttributedString("Apples"));
//   apples.description()            // "MultiSelectViewEntry(a, true)"
//   apples.setSelected(false);
//
// A value type; only `selected` can change after construction. The list
// never interprets the code.
#pragma once

#include <string>

#include "vantrel/platform/kit/attributed_string.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class MultiSelectViewEntry {
 public:
  MultiSelectViewEntry(std::string code, bool selected, AttributedString title, bool disabled = false)
      : code_(std::move(code)), selected_(selected), title_(std::move(title)), disabled_(disabled) {}

  [[nodiscard]] const std::string& code() const { return code_; }
  [[nodiscard]] bool selected() const { return selected_; }
  void setSelected(bool selected) { selected_ = selected; }
  [[nodiscard]] const AttributedString& title() const { return title_; }
  // Shown but not clickable; an option-click leaves it as it is.
  [[nodiscard]] bool disabled() const { return disabled_; }

  // "MultiSelectViewEntry(" + code + ", " + "true"/"false" + ")"; the title
  // and the disabled flag are not shown.
  [[nodiscard]] std::string description() const;

  friend bool operator==(const MultiSelectViewEntry&, const MultiSelectViewEntry&) = default;

 private:
  std::string code_;
  bool selected_;
  AttributedString title_;
  bool disabled_;
};

}  // namespace vantrel
