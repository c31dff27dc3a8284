// File: vantrel/text/text_table.h
//
// `TextTable`: rows of values laid out as a framed plain-text table.
//
//   TextTable table({TextTable::Column("Name"), TextTable::Column("Qty", TextTable::Column::Alignment::right)});
//   table.addRow("apple", 3);
//   table.addRow("kiwi", 12);
//   table.render()
//     +-------------+
//     | Name  | Qty |
//     +-------------+
//     | apple |   3 |
//     | kiwi  |  12 |
//     +-------------+2
//
// With a title, the first rule becomes three lines: rule, "| <title> |"
// padded to the rule's length, rule. A table without rows shows
// "<no entries>" centred between the fences; `render(true)` leaves the row
// count off the closing rule. Widths count characters (grapheme clusters),
// never bytes or terminal columns; nothing is cut, so a long value widens its
// column and a long title or "<no entries>" makes its line longer than the
// rules. Lines are joined by "\n", with none after the last.
//
// A value type: copies are independent. Values become text through
// `describe`. No locks; one thread at a time per table.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "vantrel/core/describe.h"

#include "vantrel/api.h"
namespace vantrel VANTREL_API {

class TextTable {
 public:
  class Column {
   public:
    enum class Alignment { left, center, right };

    explicit Column(std::string header, Alignment align = Alignment::left)
        : header(std::move(header)), align_(align) {}

    // The heading; the host may change it.
    std::string header;

    [[nodiscard]] Alignment align() const { return align_; }
    [[nodiscard]] const std::vector<std::string>& values() const { return values_; }
    // The largest character count of the heading and the cells.
    [[nodiscard]] std::int64_t width() const;

   private:
    friend class TextTable;
    Alignment align_;
    std::vector<std::string> values_;
  };

  explicit TextTable(std::vector<Column> columns, std::optional<std::string> header = std::nullopt);
  // One left-aligned column per heading.
  explicit TextTable(const std::vector<std::string>& headings, std::optional<std::string> header = std::nullopt);

  std::string columnFence = "|";
  std::string rowFence = "-";
  std::string cornerFence = "+";
  // The title.
  std::optional<std::string> header;

  [[nodiscard]] const std::vector<Column>& columns() const { return columns_; }

  // One row: missing values are empty cells, values beyond the last column
  // are dropped.
  void addRow(const std::vector<std::string>& values);
  template <class... Values>
    requires(sizeof...(Values) > 0)
  void addRow(const Values&... values) {
    addRow(std::vector<std::string>{describe(values)...});
  }
  void removeAllRows();

  [[nodiscard]] std::string render(bool hideCount = false) const;

 private:
  std::vector<Column> columns_;
};

}  // namespace vantrel
