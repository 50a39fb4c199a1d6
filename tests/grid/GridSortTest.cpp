#include <QStringList>

#include <gtest/gtest.h>

#include "ScriptedPrompter.h"
#include "grid/GridModel.h"
#include "grid/GridSort.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

// Column 0 names each row, column 1 holds the key. Rows 1 … n.
class Keyed : public GridModel {
public:
    explicit Keyed(const QList<QPair<QString, QString>>& rows, ColumnKind keyKind = ColumnKind::Text)
        : GridModel(2)
    {
        setColumnKind(1, keyKind);
        setText(0, 0, u"name"_s);
        setText(0, 1, u"key"_s);
        for (const auto& [name, key] : rows) {
            const int r = appendRow();
            setText(r, 0, name);
            if (keyKind == ColumnKind::Checkbox)
                setChecked(r, 1, key == u"真"_s);
            else
                setText(r, 1, key);
        }
    }
};

QStringList names(const GridModel& grid, int column = 0)
{
    QStringList out;
    for (int r = 1; r < grid.rowCount(); ++r)
        out << grid.text(r, column);
    return out;
}

void sortAll(GridModel& grid, SortKind kind, bool ascending = true, bool caseSensitive = true)
{
    test::ScriptedPrompter prompter;
    sortRows(grid, 1, 1, grid.rowCount() - 1, kind, prompter, caseSensitive, ascending);
    EXPECT_TRUE(prompter.messages().isEmpty());
}

} // namespace

TEST(SortRows, EqualKeysKeepTheirOrderInBothDirections)
{
    for (SortKind kind : {SortKind::Number, SortKind::Text}) {
        Keyed grid({{u"a1"_s, u"1"_s}, {u"b2"_s, u"2"_s}, {u"a2"_s, u"1"_s}, {u"b1"_s, u"2"_s},
                                {u"a3"_s, u"1"_s}});
        sortAll(grid, kind, true);
        EXPECT_EQ(names(grid), (QStringList{u"a1"_s, u"a2"_s, u"a3"_s, u"b2"_s, u"b1"_s}));
        sortAll(grid, kind, false);
        EXPECT_EQ(names(grid), (QStringList{u"b2"_s, u"b1"_s, u"a1"_s, u"a2"_s, u"a3"_s}));
    }
}

TEST(SortRows, NumberKindReadsLeadingNumbersWithinTolerance)
{
    Keyed grid({{u"ten"_s, u"10"_s},
                            {u"nine"_s, u"9"_s},
                            {u"letters"_s, u"abc"_s},
                            {u"nearly2"_s, u"2.0000000001"_s},
                            {u"wide3"_s, u"３"_s},
                            {u"two"_s, u"2"_s},
                            {u"minus"_s, u"－1"_s}});
    sortAll(grid, SortKind::Number);
    EXPECT_EQ(names(grid), (QStringList{u"minus"_s, u"letters"_s, u"nearly2"_s, u"two"_s, u"wide3"_s,
                                        u"nine"_s, u"ten"_s}));
    sortAll(grid, SortKind::Number, false);
    EXPECT_EQ(names(grid), (QStringList{u"ten"_s, u"nine"_s, u"wide3"_s, u"nearly2"_s, u"two"_s,
                                        u"letters"_s, u"minus"_s}));
}

TEST(SortRows, TextKindComparesGbkBytes)
{
    Keyed grid({{u"a"_s, u"a"_s},
                            {u"B"_s, u"B"_s},
                            {u"9"_s, u"9"_s},
                            {u"10"_s, u"10"_s},
                            {u"empty"_s, QString()},
                            {u"啊"_s, u"啊"_s}, // B0A1
                            {u"中"_s, u"中"_s}}); // D6D0
    sortAll(grid, SortKind::Text);
    EXPECT_EQ(names(grid), (QStringList{u"empty"_s, u"10"_s, u"9"_s, u"B"_s, u"a"_s, u"啊"_s, u"中"_s}));
    // Without case, B and b meet between a and c.
    Keyed folded({{u"c"_s, u"c"_s}, {u"B"_s, u"B"_s}, {u"a"_s, u"a"_s}});
    sortAll(folded, SortKind::Text, true, false);
    EXPECT_EQ(names(folded), (QStringList{u"a"_s, u"B"_s, u"c"_s}));
}

TEST(SortRows, CheckboxKindPutsFalseRowsFirstInReverse)
{
    const QList<QPair<QString, QString>> rows = {
        {u"true1"_s, u"真"_s}, {u"false1"_s, u"假"_s}, {u"true2"_s, u"真"_s}, {u"false2"_s, u"假"_s}};
    Keyed grid(rows, ColumnKind::Checkbox);
    sortAll(grid, SortKind::Checkbox);
    EXPECT_EQ(names(grid), (QStringList{u"false2"_s, u"false1"_s, u"true1"_s, u"true2"_s}));
    Keyed down(rows, ColumnKind::Checkbox);
    sortAll(down, SortKind::Checkbox, false);
    EXPECT_EQ(names(down), (QStringList{u"true2"_s, u"true1"_s, u"false1"_s, u"false2"_s}));
}

TEST(SortRows, DateKindOrdersPointsInTimeAndTreatsNonDatesAlike)
{
    Keyed grid({{u"late"_s, u"2024-03-05 10:00"_s},
                            {u"x"_s, u"soon"_s},
                            {u"early"_s, u"2023/12/31"_s},
                            {u"y"_s, u"later"_s},
                            {u"morning"_s, u"2024-03-05 08:00"_s}});
    sortAll(grid, SortKind::Date);
    EXPECT_EQ(names(grid), (QStringList{u"x"_s, u"y"_s, u"early"_s, u"morning"_s, u"late"_s}));
}

TEST(SortRows, OnlyTheBlockMovesAndItsRowsLoseTheirAttributes)
{
    Keyed grid({{u"r1"_s, u"5"_s}, {u"r2"_s, u"4"_s}, {u"r3"_s, u"3"_s}, {u"r4"_s, u"2"_s},
                            {u"r5"_s, u"1"_s}});
    grid.setColour(CellRange(1, 0, 5, 1), 0xFF0000);
    grid.setReadOnly(CellRange(1, 0, 5, 1), true);
    grid.setFontHeight(CellRange(1, 0, 5, 1), 18);
    grid.setRowHeight(3, 50);
    test::ScriptedPrompter prompter;
    sortRows(grid, 1, 2, 4, SortKind::Number, prompter);
    EXPECT_EQ(names(grid), (QStringList{u"r1"_s, u"r4"_s, u"r3"_s, u"r2"_s, u"r5"_s}));
    for (int r : {1, 5}) {
        EXPECT_EQ(grid.colour(r, 0), 0xFF0000u);
        EXPECT_TRUE(grid.isReadOnly(r, 1));
    }
    for (int r : {2, 3, 4}) {
        EXPECT_EQ(grid.colour(r, 0), grid.defaultColour()) << r;
        EXPECT_FALSE(grid.isReadOnly(r, 1)) << r;
        EXPECT_EQ(grid.fontHeight(r, 1), 0) << r;
        EXPECT_EQ(grid.rowHeight(r), GridModel::kDefaultRowHeight) << r;
    }
}

TEST(SortRows, TypeOrderTableSortedFromRowZeroKeepsItsHeaderAndNumberColumn)
{
    GridModel grid(3);
    grid.setColumnKind(0, ColumnKind::Number);
    grid.setColumnKind(2, ColumnKind::Number);
    grid.setText(0, 0, u"排序"_s);
    grid.setText(0, 1, u"题型"_s);
    grid.setText(0, 2, u"分值"_s);
    const QStringList types = {u"单选"_s, u"填空"_s, u"问答"_s};
    const QList<int> order = {3, 1, 2};
    for (int i = 0; i < 3; ++i) {
        const int r = grid.appendRow();
        grid.setNumber(r, 0, order[i]);
        grid.setText(r, 1, types[i]);
        grid.setNumber(r, 2, 5);
    }
    test::ScriptedPrompter prompter;
    sortRows(grid, 0, 0, grid.rowCount() - 1, SortKind::Number, prompter);
    EXPECT_EQ(grid.text(0, 0), u"排序"_s);
    EXPECT_EQ(grid.text(0, 2), u"分值"_s);
    EXPECT_EQ(names(grid, 1), (QStringList{u"填空"_s, u"问答"_s, u"单选"_s}));
    EXPECT_EQ(grid.columnKind(0), ColumnKind::Number);
    EXPECT_FALSE(grid.setText(1, 0, u"x"_s));

    // An order value below 0 sorts above the header row.
    grid.setText(3, 0, u"-1"_s);
    sortRows(grid, 0, 0, grid.rowCount() - 1, SortKind::Number, prompter);
    EXPECT_EQ(grid.text(0, 1), u"单选"_s);
    EXPECT_EQ(grid.text(1, 1), u"题型"_s);
}

TEST(SortRows, BadKindAndShortBlocks)
{
    Keyed grid({{u"b"_s, u"2"_s}, {u"a"_s, u"1"_s}});
    test::ScriptedPrompter prompter;
    prompter.expectMessage(u"排序列类型错误！"_s);
    sortRows(grid, 1, 1, 2, SortKind(4), prompter);
    EXPECT_EQ(prompter.messages(), QStringList{u"排序列类型错误！"_s});
    EXPECT_TRUE(prompter.done());
    EXPECT_EQ(names(grid), (QStringList{u"b"_s, u"a"_s}));

    test::ScriptedPrompter quiet;
    sortRows(grid, 1, 2, 2, SortKind::Number, quiet);
    sortRows(grid, 1, 2, 1, SortKind(9), quiet); // the range is checked first
    EXPECT_TRUE(quiet.messages().isEmpty());
    EXPECT_EQ(names(grid), (QStringList{u"b"_s, u"a"_s}));
}

TEST(SortWithinGroups, EveryRunOfAGroupNameIsSortedByNumber)
{
    GridModel grid(3);
    const QList<QStringList> rows = {{u"x"_s, u"2"_s, u"x2"_s}, {u"x"_s, u"0"_s, u"x0"_s},
                                     {QString(), QString(), u"single"_s}, {u"y"_s, u"3"_s, u"y3"_s},
                                     {u"y"_s, u"0"_s, u"y0"_s}, {u"y"_s, u"1"_s, u"y1"_s}};
    for (const QStringList& row : rows) {
        const int r = grid.appendRow();
        for (int c = 0; c < 3; ++c)
            grid.setText(r, c, row[c]);
    }
    sortWithinGroups(grid, 0, 1);
    EXPECT_EQ(names(grid, 2), (QStringList{u"x0"_s, u"x2"_s, u"single"_s, u"y0"_s, u"y1"_s, u"y3"_s}));
    sortWithinGroups(grid, 0, 1, false, false);
    EXPECT_EQ(names(grid, 2), (QStringList{u"x2"_s, u"x0"_s, u"single"_s, u"y3"_s, u"y1"_s, u"y0"_s}));
}
