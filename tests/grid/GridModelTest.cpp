#include <QSignalSpy>
#include <QStringList>

#include <gtest/gtest.h>

#include "grid/GridModel.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

// A grid with one column of every kind and three data rows.
struct KindsGrid {
    enum { Text, Number, Date, List, Check, Picture, Columns };
    GridModel grid{Columns};
    KindsGrid()
    {
        grid.setColumnKind(Number, ColumnKind::Number);
        grid.setColumnKind(Date, ColumnKind::Date);
        grid.clearPendingItems();
        grid.appendPendingItem(u"甲"_s);
        grid.setColumnKind(List, ColumnKind::List);
        grid.setColumnKind(Check, ColumnKind::Checkbox);
        grid.setColumnKind(Picture, ColumnKind::Picture);
        grid.setRowCount(4);
    }
};

} // namespace

// ---- Write rules per kind

TEST(GridWrites, NumberCellsTakeOnlyEmptyZeroOrNonZeroNumbers)
{
    KindsGrid g;
    EXPECT_TRUE(g.grid.setText(1, KindsGrid::Number, u"12"_s));
    EXPECT_FALSE(g.grid.setText(1, KindsGrid::Number, u"abc"_s));
    EXPECT_EQ(g.grid.text(1, KindsGrid::Number), u"12"_s);
    EXPECT_TRUE(g.grid.setText(1, KindsGrid::Number, u"0"_s));
    EXPECT_EQ(g.grid.text(1, KindsGrid::Number), u"0"_s);
    EXPECT_TRUE(g.grid.setText(1, KindsGrid::Number, QString()));
    EXPECT_EQ(g.grid.text(1, KindsGrid::Number), QString());
    // Shown with the column's decimals; full-width digits read as digits.
    EXPECT_TRUE(g.grid.setText(2, KindsGrid::Number, u"３.25"_s));
    EXPECT_EQ(g.grid.text(2, KindsGrid::Number), u"3"_s);
    g.grid.setColumnDecimals(KindsGrid::Number, 2);
    EXPECT_EQ(g.grid.text(2, KindsGrid::Number), u"3.25"_s);
    EXPECT_EQ(g.grid.value(2, KindsGrid::Number), QVariant(u"3.25"_s));
}

TEST(GridWrites, NumbersAreStoredAsDecimalIntegers)
{
    KindsGrid g;
    EXPECT_TRUE(g.grid.setNumber(1, KindsGrid::Text, -42));
    EXPECT_EQ(g.grid.text(1, KindsGrid::Text), u"-42"_s);
    EXPECT_TRUE(g.grid.setNumber(1, KindsGrid::Number, 7));
    EXPECT_EQ(g.grid.text(1, KindsGrid::Number), u"7"_s);
    EXPECT_TRUE(g.grid.setNumber(1, KindsGrid::List, 3));
    EXPECT_EQ(g.grid.text(1, KindsGrid::List), u"3"_s);
    EXPECT_TRUE(g.grid.setValue(2, KindsGrid::Text, 2.6));
    EXPECT_EQ(g.grid.text(2, KindsGrid::Text), u"3"_s);
    EXPECT_FALSE(g.grid.setNumber(1, KindsGrid::Check, 1));
    EXPECT_FALSE(g.grid.setNumber(1, KindsGrid::Picture, 1));
}

TEST(GridWrites, CheckboxAndPictureCellsRefuseTextAndKeepTheirValue)
{
    KindsGrid g;
    ASSERT_TRUE(g.grid.setChecked(1, KindsGrid::Check, true));
    const QByteArray jpeg("\xFF\xD8\xFF\xE0", 4);
    ASSERT_TRUE(g.grid.setPicture(1, KindsGrid::Picture, jpeg));
    EXPECT_FALSE(g.grid.setText(1, KindsGrid::Check, u"假"_s));
    EXPECT_FALSE(g.grid.setText(1, KindsGrid::Picture, u"x"_s));
    EXPECT_EQ(g.grid.value(1, KindsGrid::Check), QVariant(true));
    EXPECT_EQ(g.grid.text(1, KindsGrid::Check), u"真"_s);
    EXPECT_EQ(g.grid.text(2, KindsGrid::Check), u"假"_s);
    EXPECT_EQ(g.grid.value(1, KindsGrid::Picture), QVariant(jpeg));
    // And the other way round: booleans and bytes only go where they belong.
    EXPECT_FALSE(g.grid.setChecked(1, KindsGrid::Text, true));
    EXPECT_FALSE(g.grid.setPicture(1, KindsGrid::Text, jpeg));
    EXPECT_EQ(g.grid.text(1, KindsGrid::Text), QString());
}

TEST(GridWrites, DatesListsAndTheHeaderRow)
{
    KindsGrid g;
    EXPECT_TRUE(g.grid.setText(1, KindsGrid::Date, u"2024/3/5"_s));
    EXPECT_EQ(g.grid.text(1, KindsGrid::Date), u"2024-03-05"_s);
    EXPECT_FALSE(g.grid.setText(1, KindsGrid::Date, u"next week"_s));
    EXPECT_FALSE(g.grid.setText(1, KindsGrid::Date, u"2024-02-30"_s));
    EXPECT_EQ(g.grid.text(1, KindsGrid::Date), u"2024-03-05"_s);
    // A List cell takes texts outside its items (typed into the drop-down).
    EXPECT_TRUE(g.grid.setText(1, KindsGrid::List, u"乙"_s));
    // The header reads as text in every column.
    for (int c = 0; c < KindsGrid::Columns; ++c) {
        EXPECT_TRUE(g.grid.setText(0, c, u"标题"_s)) << c;
        EXPECT_EQ(g.grid.value(0, c), QVariant(u"标题"_s)) << c;
    }
    EXPECT_FALSE(g.grid.setChecked(0, KindsGrid::Check, true));
}

TEST(GridWrites, CellsOutsideTheGridAreRefused)
{
    KindsGrid g;
    EXPECT_FALSE(g.grid.setText(4, 0, u"x"_s));
    EXPECT_FALSE(g.grid.setText(-1, 0, u"x"_s));
    EXPECT_FALSE(g.grid.setText(1, KindsGrid::Columns, u"x"_s));
    EXPECT_FALSE(g.grid.value(4, 0).isValid());
    EXPECT_EQ(g.grid.text(1, 99), QString());
}

TEST(GridWrites, ChangingAColumnKindKeepsWhatTheNewKindHolds)
{
    KindsGrid g;
    g.grid.setText(1, KindsGrid::Number, u"12"_s);
    g.grid.setColumnKind(KindsGrid::Number, ColumnKind::Text);
    g.grid.setColumnKind(KindsGrid::Number, ColumnKind::Number);
    EXPECT_EQ(g.grid.text(1, KindsGrid::Number), u"12"_s);
    g.grid.setChecked(1, KindsGrid::Check, true);
    g.grid.setColumnKind(KindsGrid::Check, ColumnKind::Text);
    EXPECT_EQ(g.grid.text(1, KindsGrid::Check), u"真"_s);
    g.grid.setColumnKind(KindsGrid::Check, ColumnKind::Checkbox);
    EXPECT_TRUE(g.grid.checked(1, KindsGrid::Check));
    EXPECT_FALSE(g.grid.setColumnKind(0, 7));
    EXPECT_FALSE(g.grid.setColumnKind(0, 0));
}

// ---- Rows, cursor, selection

TEST(GridRows, RowCountOneLeavesOnlyTheHeaderWhichNeverTakesTheCursor)
{
    GridModel grid(3);
    grid.setText(0, 0, u"标题"_s);
    grid.setRowCount(5);
    grid.setCursor(3, 1);
    grid.setRowCount(1);
    EXPECT_EQ(grid.rowCount(), 1);
    EXPECT_EQ(grid.text(0, 0), u"标题"_s);
    EXPECT_EQ(grid.cursorRow(), 0);
    grid.setRowCount(0);
    EXPECT_EQ(grid.rowCount(), 1);
    grid.setRowCount(3);
    grid.setCursor(0, 0);
    EXPECT_EQ(grid.cursorRow(), 1);
    grid.setCursor(99, 99);
    EXPECT_EQ(grid.cursorRow(), 2);
    EXPECT_EQ(grid.cursorColumn(), 2);
}

TEST(GridRows, CursorAfterDeletionStaysOnItsRowNumberOrMovesUpFromTheLast)
{
    GridModel grid(2);
    grid.setRowCount(5);
    QSignalSpy moved(&grid.events(), &GridEvents::cursorMoved);
    grid.setCursor(2, 1);
    EXPECT_EQ(moved.count(), 1);
    grid.removeRow(2);
    EXPECT_EQ(grid.cursorRow(), 2);
    EXPECT_EQ(moved.count(), 1);
    grid.setCursor(3, 1);
    grid.removeRow(3); // the last row, with the cursor on it
    EXPECT_EQ(grid.cursorRow(), 2);
    EXPECT_EQ(grid.cursorColumn(), 1);
    grid.removeRow(1); // another row
    EXPECT_EQ(grid.cursorRow(), 1);
    grid.removeRow(1);
    EXPECT_EQ(grid.cursorRow(), 0);
    EXPECT_FALSE(grid.removeRow(0)); // the header alone stays
}

TEST(GridRows, InsertingAndRemovingRowsAndColumnsMovesTheCells)
{
    GridModel grid(2);
    grid.appendRow();
    grid.appendRow();
    grid.setText(1, 0, u"a"_s);
    grid.setText(2, 0, u"b"_s);
    EXPECT_TRUE(grid.insertRow(2));
    EXPECT_EQ(grid.text(3, 0), u"b"_s);
    EXPECT_FALSE(grid.insertRow(0));
    EXPECT_FALSE(grid.insertRow(5));
    EXPECT_TRUE(grid.insertColumn(0));
    EXPECT_EQ(grid.columnCount(), 3);
    EXPECT_EQ(grid.text(1, 1), u"a"_s);
    grid.setColumnKind(2, ColumnKind::Checkbox);
    EXPECT_TRUE(grid.removeColumn(0));
    EXPECT_EQ(grid.columnKind(1), ColumnKind::Checkbox);
    EXPECT_EQ(grid.text(1, 0), u"a"_s);
}

TEST(GridRows, SelectionBoundsClampAndFollowTheCursor)
{
    GridModel grid(4);
    grid.setRowCount(6);
    grid.setCursor(2, 1);
    EXPECT_EQ(grid.selectionStartRow(), 2);
    EXPECT_EQ(grid.selectionEndRow(), 2);
    EXPECT_EQ(grid.selectionEndColumn(), 1);
    grid.selectRange(3, 2, 50, 50);
    EXPECT_EQ(grid.selectionStartRow(), 3);
    EXPECT_EQ(grid.selectionStartColumn(), 2);
    EXPECT_EQ(grid.selectionEndRow(), 5);
    EXPECT_EQ(grid.selectionEndColumn(), 3);
    grid.selectRange(9, 0, 10, 0); // start outside: nothing
    EXPECT_EQ(grid.selectionStartRow(), 3);
    grid.setRowCount(4);
    EXPECT_EQ(grid.selectionEndRow(), 3);
    grid.setCursor(1, 0);
    EXPECT_EQ(grid.selectionEndRow(), 1);
    EXPECT_EQ(grid.selectionEndColumn(), 0);
}

TEST(GridRows, PendingItemsBecomeTheListOfTheColumnSetToList)
{
    GridModel grid(3);
    grid.clearPendingItems();
    grid.appendPendingItem(u"单选"_s);
    grid.appendPendingItem(u"多选"_s);
    grid.appendPendingItem(u"填空"_s);
    grid.setColumnKind(1, ColumnKind::List);
    EXPECT_EQ(grid.listItems(1), (QStringList{u"单选"_s, u"多选"_s, u"填空"_s}));
    grid.clearPendingItems();
    EXPECT_EQ(grid.listItems(1).size(), 3);
    EXPECT_TRUE(grid.appendListItem(1, u"判断"_s));
    EXPECT_EQ(grid.listItems(1).last(), u"判断"_s);
    EXPECT_FALSE(grid.appendListItem(0, u"x"_s)); // not a List column
    grid.setColumnKind(2, ColumnKind::List);
    EXPECT_TRUE(grid.listItems(2).isEmpty());
}

// ---- Attributes and sizes

TEST(GridAttributes, RangesAreClampedAndEmptyRangesChangeNothing)
{
    GridModel grid(3);
    grid.setRowCount(4);
    grid.setDefaultColour(0xFFFFFF);
    grid.setColour(CellRange(1, 1, 99, 99), 0x123456);
    EXPECT_EQ(grid.colour(3, 2), 0x123456u);
    EXPECT_EQ(grid.colour(1, 0), 0xFFFFFFu);
    EXPECT_EQ(grid.colour(0, 1), 0xFFFFFFu);
    grid.setColour(CellRange(2, 2, 1, 2), 0xFF0000); // end before start
    grid.setColour(CellRange(7, 0), 0xFF0000);       // start outside
    EXPECT_EQ(grid.colour(2, 2), 0x123456u);

    grid.setAlignment(CellRange(0, 0, 3, 0), CellAlignment::Centre);
    grid.setAlignment(CellRange(1, 0), CellAlignment::Right); // end defaults to the start
    EXPECT_EQ(grid.alignment(1, 0), CellAlignment::Right);
    EXPECT_EQ(grid.alignment(2, 0), CellAlignment::Centre);
    EXPECT_EQ(grid.alignment(2, 1), CellAlignment::Left);
    grid.setWordWrap(CellRange(0, 0, 3, 0), true);
    grid.setWordWrap(CellRange(2, 0), false);
    EXPECT_TRUE(grid.wordWrap(1, 0));
    EXPECT_FALSE(grid.wordWrap(2, 0));
    EXPECT_EQ(grid.alignment(2, 0), CellAlignment::Centre); // wrap keeps alignment
    grid.setFontHeight(CellRange(1, 0, 3, 2), 18);
    EXPECT_EQ(grid.fontHeight(3, 2), 18);
    EXPECT_EQ(grid.fontHeight(0, 0), 0);
    grid.setReadOnly(CellRange(1, 0, 3, 1), true);
    EXPECT_TRUE(grid.isReadOnly(2, 1));
    EXPECT_FALSE(grid.isReadOnly(2, 2));
}

TEST(GridAttributes, HiddenColumnsKeepTheirValuesAndSizesAreKept)
{
    GridModel grid(2);
    grid.setRowCount(3);
    grid.setText(1, 1, u"42"_s);
    EXPECT_EQ(grid.columnWidth(1), GridModel::kDefaultColumnWidth);
    EXPECT_TRUE(grid.setColumnWidth(1, 0));
    EXPECT_EQ(grid.columnWidth(1), 0);
    EXPECT_EQ(grid.text(1, 1), u"42"_s);
    EXPECT_TRUE(grid.setRowHeight(2, 60));
    EXPECT_EQ(grid.rowHeight(2), 60);
    EXPECT_FALSE(grid.setRowHeight(3, 10));
    EXPECT_FALSE(grid.setColumnWidth(1, -1));
}

// ---- In-place editing

TEST(GridEditing, AnEditRaisesBeginsWithTheOldValueThenEndedWithTheNew)
{
    GridModel grid(2);
    grid.setRowCount(3);
    grid.setText(2, 1, u"old"_s);
    QStringList seen;
    QObject::connect(&grid.events(), &GridEvents::editRequested,
                     [&](bool&) { seen << u"requested:"_s + grid.text(2, 1); });
    QObject::connect(&grid.events(), &GridEvents::editBegins,
                     [&] { seen << u"begins:"_s + grid.text(2, 1); });
    QObject::connect(&grid.events(), &GridEvents::editEnded, [&] { seen << u"ended:"_s + grid.text(2, 1); });
    EXPECT_TRUE(grid.editInPlace(2, 1, u"new"_s));
    EXPECT_EQ(seen, (QStringList{u"requested:old"_s, u"begins:old"_s, u"ended:new"_s}));
    EXPECT_EQ(grid.cursorRow(), 2);
    EXPECT_EQ(grid.cursorColumn(), 1);
}

TEST(GridEditing, RefusalsSwitchAndReadOnlyCellsKeepTheValue)
{
    GridModel grid(3);
    grid.setRowCount(2);
    grid.setColumnKind(2, ColumnKind::Number);
    grid.setText(1, 2, u"5"_s);
    int begun = 0;
    int ended = 0;
    QObject::connect(&grid.events(), &GridEvents::editBegins, [&] { ++begun; });
    QObject::connect(&grid.events(), &GridEvents::editEnded, [&] { ++ended; });

    bool refuse = true;
    auto connection = QObject::connect(&grid.events(), &GridEvents::editRequested,
                                       [&](bool& allowed) { allowed = !refuse; });
    EXPECT_FALSE(grid.editInPlace(1, 0, u"x"_s));
    EXPECT_EQ(grid.text(1, 0), QString());
    refuse = false;
    grid.setEditingAllowed(false);
    EXPECT_FALSE(grid.editInPlace(1, 0, u"x"_s));
    grid.setEditingAllowed(true);
    grid.setReadOnly(CellRange(1, 1), true);
    EXPECT_FALSE(grid.editInPlace(1, 1, u"x"_s));
    EXPECT_FALSE(grid.editInPlace(0, 0, u"x"_s)); // the header
    EXPECT_EQ(begun, 0);
    // A typed value the cell refuses ends the edit with the old value in place.
    EXPECT_TRUE(grid.editInPlace(1, 2, u"abc"_s));
    EXPECT_EQ(grid.text(1, 2), u"5"_s);
    EXPECT_EQ(begun, 1);
    EXPECT_EQ(ended, 1);
    // A cancelled edit still ends.
    EXPECT_TRUE(grid.beginEdit(1, 0));
    grid.cancelEdit();
    EXPECT_EQ(ended, 2);
    QObject::disconnect(connection);
}

TEST(GridEditing, KeyDownCanBeSwallowed)
{
    GridModel grid;
    EXPECT_FALSE(grid.events().offerKey(Qt::Key_Delete, Qt::NoModifier));
    QObject::connect(&grid.events(), &GridEvents::keyDown, [](int key, Qt::KeyboardModifiers, bool& swallow) {
        swallow = key == Qt::Key_Delete;
    });
    EXPECT_TRUE(grid.events().offerKey(Qt::Key_Delete, Qt::NoModifier));
    EXPECT_FALSE(grid.events().offerKey(Qt::Key_5, Qt::NoModifier));
}

// Heights set inside a batch are announced once, covering exactly the rows that
// changed; without a batch, each is announced alone; nested batches wait for
// the outermost.
TEST(GridSizes, RowHeightsSetInABatchAreAnnouncedTogether)
{
    helan::GridModel grid(2);
    grid.setRowCount(10);
    QSignalSpy spy(&grid, &helan::GridModel::rowHeightsChanged);
    {
        const helan::GridModel::RowHeightBatch outer(grid);
        {
            const helan::GridModel::RowHeightBatch inner(grid);
            grid.setRowHeight(7, 40);
            grid.setRowHeight(3, 50);
        }
        grid.setRowHeight(5, grid.rowHeight(5)); // unchanged: not counted
        EXPECT_EQ(spy.count(), 0);
    }
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 3);
    EXPECT_EQ(spy.at(0).at(1).toInt(), 7);
    EXPECT_EQ(grid.rowHeight(3), 50);
    EXPECT_EQ(grid.rowHeight(7), 40);
    { const helan::GridModel::RowHeightBatch nothing(grid); }
    EXPECT_EQ(spy.count(), 1);
    grid.setRowHeight(2, 30);
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(1).at(0).toInt(), 2);
}
