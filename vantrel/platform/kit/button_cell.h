// File: vantrel/platform/kit/button_cell.h
//
// `ButtonCell`: the cell a view draws button faces with, without being a
// button itself (one cell may draw several faces of one view). It keeps a
// button type, title, alignment, state, enabled flag, bezel style, border
// flag, background colour and font. The headless kit draws no pixels:
// each `drawWithFrame` appends what the face would show to the cell's
// drawing log, which a test reads back.
//
//   auto cell = ButtonCell::create();
//   cell->setTitle("Record Shortcut");
//   cell->setAlignment(TextAlignment::center);
//   cell->drawWithFrame(Rect(0, 1, 150, 25), *view);
//   cell->drawings().back().description()
//       // (0.0, 1.0, 150.0, 25.0) "Record Shortcut" center off enabled
//       //   bezel=rounded bordered background=nil
//
// A new cell: momentary push-in, empty title, left-aligned, off, enabled,
// rounded bezel, bordered, no background colour, the 13-point system font.
// Main-thread objects: not thread-safe.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vantrel/platform/kit/button.h"
#include "vantrel/core/color.h"
#include "vantrel/core/font.h"
#include "vantrel/core/geometry.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class View;

// "rounded", "texturedRounded", "roundRect", …
[[nodiscard]] std::string_view description(BezelStyle style);

// One face as it was drawn.
struct ButtonCellDrawing {
  Rect frame;
  std::string title;
  TextAlignment alignment = TextAlignment::left;
  ControlStateValue state = ControlStateValue::off;
  bool enabled = true;
  BezelStyle bezelStyle = BezelStyle::rounded;
  bool bordered = true;
  Color::Ptr backgroundColor;  // null: none

  // The frame, the title in double quotes, the alignment, the state,
  // "enabled" or "disabled", "bezel=" and the style, "bordered" or
  // "borderless", "background=" and the colour's description (or "nil"),
  // separated by blanks.
  [[nodiscard]] std::string description() const;
};

class ButtonCell {
 public:
  using Ptr = std::shared_ptr<ButtonCell>;

  [[nodiscard]] static Ptr create() { return Ptr(new ButtonCell()); }

  ButtonCell(const ButtonCell&) = delete;
  ButtonCell& operator=(const ButtonCell&) = delete;

  [[nodiscard]] ButtonType buttonType() const { return type_; }
  void setButtonType(ButtonType type) { type_ = type; }
  [[nodiscard]] const std::string& title() const { return title_; }
  void setTitle(std::string title) { title_ = std::move(title); }
  [[nodiscard]] TextAlignment alignment() const { return alignment_; }
  void setAlignment(TextAlignment alignment) { alignment_ = alignment; }
  [[nodiscard]] ControlStateValue state() const { return state_; }
  void setState(ControlStateValue state) { state_ = state; }
  [[nodiscard]] bool isEnabled() const { return enabled_; }
  void setEnabled(bool enabled) { enabled_ = enabled; }
  [[nodiscard]] BezelStyle bezelStyle() const { return bezelStyle_; }
  void setBezelStyle(BezelStyle style) { bezelStyle_ = style; }
  [[nodiscard]] bool isBordered() const { return bordered_; }
  void setBordered(bool bordered) { bordered_ = bordered; }
  [[nodiscard]] const Color::Ptr& backgroundColor() const { return backgroundColor_; }
  void setBackgroundColor(Color::Ptr color) { backgroundColor_ = std::move(color); }
  // None only when set so.
  [[nodiscard]] const std::optional<Font>& font() const { return font_; }
  void setFont(std::optional<Font> font) { font_ = std::move(font); }

  // Draws the face in `frame` of `view` (in the view's coordinates): one
  // entry in the drawing log.
  void drawWithFrame(Rect frame, const View& view);
  [[nodiscard]] const std::vector<ButtonCellDrawing>& drawings() const { return drawings_; }
  void clearDrawings() { drawings_.clear(); }

 private:
  ButtonCell() = default;

  ButtonType type_ = ButtonType::momentaryPushIn;
  std::string title_;
  TextAlignment alignment_ = TextAlignment::left;
  ControlStateValue state_ = ControlStateValue::off;
  bool enabled_ = true;
  BezelStyle bezelStyle_ = BezelStyle::rounded;
  bool bordered_ = true;
  Color::Ptr backgroundColor_;
  std::optional<Font> font_ = Font::systemFont(13);
  std::vector<ButtonCellDrawing> drawings_;
};

}  // namespace vantrel
