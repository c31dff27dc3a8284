#include "vantrel/text/text_table.h"

#include <algorithm>

#include "vantrel/core/number_text.h"
#include "vantrel/text/characters.h"

namespace vantrel {

namespace {

using Alignment = TextTable::Column::Alignment;

std::string spaces(std::int64_t count) {
  return std::string(static_cast<std::size_t>(std::max<std::int64_t>(count, 0)), ' ');
}

std::string withPadding(std::string_view text, std::int64_t width, Alignment align) {
  const std::int64_t padding = width - characterCount(text);
  if (padding < 1) return std::string(text);
  switch (align) {
    case Alignment::left: return std::string(text) + spaces(padding);
    case Alignment::right: return spaces(padding) + std::string(text);
    case Alignment::center: return spaces(padding / 2) + std::string(text) + spaces(padding - padding / 2);
  }
  return std::string(text);
}

std::string repeated(std::string_view text, std::int64_t count) {
  std::string out;
  for (std::int64_t i = 0; i < count; ++i) out.append(text);
  return out;
}

}  // namespace

std::int64_t TextTable::Column::width() const {
  std::int64_t width = characterCount(header);
  for (const std::string& value : values_) width = std::max(width, characterCount(value));
  return width;
}

TextTable::TextTable(std::vector<Column> columns, std::optional<std::string> header)
    : header(std::move(header)), columns_(std::move(columns)) {}

TextTable::TextTable(const std::vector<std::string>& headings, std::optional<std::string> header)
    : header(std::move(header)) {
  for (const std::string& heading : headings) columns_.emplace_back(heading);
}

void TextTable::addRow(const std::vector<std::string>& values) {
  for (std::size_t i = 0; i < columns_.size(); ++i) {
    columns_[i].values_.push_back(i < values.size() ? values[i] : std::string());
  }
}

void TextTable::removeAllRows() {
  for (Column& column : columns_) column.values_.clear();
}

std::string TextTable::render(bool hideCount) const {
  std::vector<std::int64_t> widths;
  std::int64_t total = 1;
  for (const Column& column : columns_) {
    widths.push_back(column.width());
    total += widths.back() + 3;
  }
  const std::string rule = cornerFence + repeated(rowFence, total - 2) + cornerFence;
  const std::size_t rows = columns_.empty() ? 0 : columns_.front().values_.size();

  std::vector<std::string> lines;
  lines.push_back(rule);
  if (header) {
    const std::int64_t room = characterCount(rule) - 4 - characterCount(*header);
    lines.push_back(columnFence + " " + *header + spaces(room) + " " + columnFence);
    lines.push_back(rule);
  }
  const auto row = [&](auto cell) {
    std::string line = columnFence;
    for (std::size_t i = 0; i < columns_.size(); ++i) {
      if (i > 0) line += columnFence;
      line += " " + cell(i) + " ";
    }
    return line + columnFence;
  };
  lines.push_back(row([&](std::size_t i) { return withPadding(columns_[i].header, widths[i], Alignment::left); }));
  lines.push_back(rule);
  if (rows > 0) {
    for (std::size_t r = 0; r < rows; ++r) {
      lines.push_back(
          row([&](std::size_t i) { return withPadding(columns_[i].values_[r], widths[i], columns_[i].align_); }));
    }
  } else if (!columns_.empty()) {
    lines.push_back(columnFence + withPadding("<no entries>", total - 2, Alignment::center) + columnFence);
  }
  lines.push_back(hideCount ? rule : rule + unsignedText(rows));

  std::string out;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i > 0) out += '\n';
    out += lines[i];
  }
  return out;
}

}  // namespace vantrel
