#include "vantrel/text/text_table.h"

#include <gtest/gtest.h>

namespace vantrel {
namespace {

using Align = TextTable::Column::Alignment;

TextTable fruit() {
  TextTable table({TextTable::Column("Name"), TextTable::Column("Qty", Align::right)});
  table.addRow("apple", 3);
  table.addRow("kiwi", 12);
  return table;
}

TEST(TextTable, WorkedExample) {
  TextTable table = fruit();
  EXPECT_EQ(table.render(),
            "+-------------+\n"
            "| Name  | Qty |\n"
            "+-------------+\n"
            "| apple |   3 |\n"
            "| kiwi  |  12 |\n"
            "+-------------+2");
  EXPECT_EQ(table.render(true),
            "+-------------+\n"
            "| Name  | Qty |\n"
            "+-------------+\n"
            "| apple |   3 |\n"
            "| kiwi  |  12 |\n"
            "+-------------+");
  table.header = "Fruit";
  EXPECT_EQ(table.render(),
            "+-------------+\n"
            "| Fruit       |\n"
            "+-------------+\n"
            "| Name  | Qty |\n"
            "+-------------+\n"
            "| apple |   3 |\n"
            "| kiwi  |  12 |\n"
            "+-------------+2");
  table.header.reset();
  table.removeAllRows();
  EXPECT_EQ(table.render(true),
            "+------------+\n"
            "| Name | Qty |\n"
            "+------------+\n"
            "|<no entries>|\n"
            "+------------+");
  EXPECT_EQ(table.render(),
            "+------------+\n"
            "| Name | Qty |\n"
            "+------------+\n"
            "|<no entries>|\n"
            "+------------+0");
  EXPECT_EQ(table.columns().size(), 2u);
  EXPECT_EQ(table.columns()[1].header, "Qty");
}

TEST(TextTable, RowsAreFittedToTheColumns) {
  TextTable table(std::vector<std::string>{"A", "B"});
  table.addRow("x");
  table.addRow("1", "2", "3");
  table.addRow(std::vector<std::string>{});
  EXPECT_EQ(table.render(true),
            "+-------+\n"
            "| A | B |\n"
            "+-------+\n"
            "| x |   |\n"
            "| 1 | 2 |\n"
            "|   |   |\n"
            "+-------+");
}

TEST(TextTable, AlignmentAndWidthInCharacters) {
  TextTable table({TextTable::Column("Head", Align::center), TextTable::Column("R", Align::right),
                   TextTable::Column("W")});
  table.addRow("A", "e\u0301", "\U0001F1E9\U0001F1EA");  // one character each
  table.addRow("AB", 1.5, true);
  // Odd centre padding puts the extra space on the right; headings are
  // always padded on the right.
  EXPECT_EQ(table.render(),
            "+-------------------+\n"
            "| Head | R   | W    |\n"
            "+-------------------+\n"
            "|  A   |   e\u0301 | \U0001F1E9\U0001F1EA    |\n"
            "|  AB  | 1.5 | true |\n"
            "+-------------------+2");
}

TEST(TextTable, NoColumns) {
  TextTable table(std::vector<TextTable::Column>{});
  table.addRow("ignored");
  EXPECT_EQ(table.render(), "++\n||\n++\n++0");
  EXPECT_EQ(table.render(true), "++\n||\n++\n++");
  table.header = "T";
  EXPECT_EQ(table.render(true), "++\n| T |\n++\n||\n++\n++");
}

TEST(TextTable, FencesAndTitles) {
  TextTable table(std::vector<std::string>{"A"});
  table.addRow("x");
  table.columnFence = "";
  table.cornerFence = "";
  table.rowFence = "=~";
  EXPECT_EQ(table.render(true),
            "=~=~=~\n"
            " A \n"
            "=~=~=~\n"
            " x \n"
            "=~=~=~");
  TextTable titled(std::vector<std::string>{"A"}, "");
  EXPECT_EQ(titled.render(true),
            "+---+\n"
            "|   |\n"  // the empty title: bar, space, one space of room, space, bar
            "+---+\n"
            "| A |\n"
            "+---+\n"
            "|<no entries>|\n"
            "+---+");
  TextTable longTitle(std::vector<std::string>{"A"}, "A long title");
  longTitle.addRow("x");
  EXPECT_EQ(longTitle.render(true),
            "+---+\n"
            "| A long title |\n"
            "+---+\n"
            "| A |\n"
            "+---+\n"
            "| x |\n"
            "+---+");
}

TEST(TextTable, CopiesAreIndependentAndValuesArePlacedUnchanged) {
  TextTable a(std::vector<std::string>{"K"});
  a.addRow("one\ntwo");
  TextTable b = a;
  b.removeAllRows();
  EXPECT_EQ(a.render(), "+---------+\n| K       |\n+---------+\n| one\ntwo |\n+---------+1");
  EXPECT_EQ(b.render(), "+---+\n| K |\n+---+\n|<no entries>|\n+---+0");
}

}  // namespace
}  // namespace vantrel
