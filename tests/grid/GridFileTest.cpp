#include <QFile>

#include <gtest/gtest.h>

#include "TempFolder.h"
#include "grid/GridModel.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

// The numbering table as the composition window first builds it, plus one column of
// every other kind, colours, sizes and attributes.
void fill(GridModel& grid)
{
    grid.setColumnCount(7);
    grid.setRowCount(10);
    grid.setText(0, 1, u"大写"_s);
    grid.setText(0, 2, u"罗马"_s);
    const QString upper = u"一二三四五六七八九"_s;
    const QString roman = u"ⅠⅡⅢⅣⅤⅥⅦⅧⅨ"_s;
    for (int r = 1; r <= 9; ++r) {
        grid.setNumber(r, 0, r);
        grid.setText(r, 1, upper.mid(r - 1, 1));
        grid.setText(r, 2, roman.mid(r - 1, 1));
    }
    grid.setColumnKind(3, ColumnKind::Checkbox);
    grid.setChecked(2, 3, true);
    grid.setColumnKind(4, ColumnKind::Picture);
    grid.setPicture(1, 4, QByteArray("\x00\xFF\x10picture", 10));
    grid.clearPendingItems();
    grid.appendPendingItem(u"1"_s);
    grid.appendPendingItem(u"2"_s);
    grid.setColumnKind(5, ColumnKind::List);
    grid.setText(3, 5, u"2"_s);
    grid.setColumnKind(6, ColumnKind::Number);
    grid.setColumnDecimals(6, 1);
    grid.setText(4, 6, u"2.5"_s);
    grid.setColour(CellRange(1, 0), 0xFF8040);
    grid.setColour(CellRange(3, 0), 0x00A0FF);
    grid.setDefaultColour(0xF0F0F0);
    grid.setAlignment(CellRange(0, 0, 9, 2), CellAlignment::Centre);
    grid.setWordWrap(CellRange(0, 1, 9, 1), true);
    grid.setFontHeight(CellRange(2, 2), 18);
    grid.setReadOnly(CellRange(1, 0, 9, 2), true);
    for (int c = 0; c < 3; ++c)
        grid.setColumnWidth(c, 60);
    grid.setColumnWidth(6, 0);
    grid.setRowHeight(5, 40);
}

void expectSameContent(const GridModel& a, const GridModel& b)
{
    ASSERT_EQ(a.rowCount(), b.rowCount());
    ASSERT_EQ(a.columnCount(), b.columnCount());
    for (int c = 0; c < a.columnCount(); ++c) {
        EXPECT_EQ(a.columnKind(c), b.columnKind(c)) << c;
        EXPECT_EQ(a.columnWidth(c), b.columnWidth(c)) << c;
        EXPECT_EQ(a.columnDecimals(c), b.columnDecimals(c)) << c;
        EXPECT_EQ(a.listItems(c), b.listItems(c)) << c;
    }
    for (int r = 0; r < a.rowCount(); ++r) {
        EXPECT_EQ(a.rowHeight(r), b.rowHeight(r)) << r;
        for (int c = 0; c < a.columnCount(); ++c) {
            EXPECT_EQ(a.value(r, c), b.value(r, c)) << r << "," << c;
            EXPECT_EQ(a.colour(r, c), b.colour(r, c)) << r << "," << c;
            EXPECT_EQ(a.alignment(r, c), b.alignment(r, c));
            EXPECT_EQ(a.wordWrap(r, c), b.wordWrap(r, c));
            EXPECT_EQ(a.fontHeight(r, c), b.fontHeight(r, c));
            EXPECT_EQ(a.isReadOnly(r, c), b.isReadOnly(r, c));
        }
    }
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

} // namespace

TEST(GridFile, SavedGridLoadsBackWithEverythingItHeld)
{
    test::TempFolder folder;
    GridModel saved;
    fill(saved);
    ASSERT_TRUE(saved.save(folder.file(u"大题编号类型"_s)));

    GridModel loaded(2);
    loaded.setRowCount(3);
    ASSERT_TRUE(loaded.load(folder.file(u"大题编号类型"_s)));
    expectSameContent(saved, loaded);
    EXPECT_EQ(loaded.text(4, 6), u"2.5"_s);
    EXPECT_EQ(loaded.cursorRow(), 1);
    EXPECT_EQ(loaded.defaultColour(), 0xF0F0F0u);

    // Saving over an existing file replaces it whole.
    loaded.setRowCount(2);
    ASSERT_TRUE(loaded.save(folder.file(u"大题编号类型"_s)));
    GridModel again;
    ASSERT_TRUE(again.load(folder.file(u"大题编号类型"_s)));
    EXPECT_EQ(again.rowCount(), 2);
}

TEST(GridFile, MissingTruncatedDamagedOrForeignFilesAreRefusedAndChangeNothing)
{
    test::TempFolder folder;
    GridModel saved;
    fill(saved);
    const QString good = folder.file(u"good"_s);
    ASSERT_TRUE(saved.save(good));
    const QByteArray bytes = readAll(good);
    ASSERT_GT(bytes.size(), 100);

    GridModel target(3);
    target.setRowCount(2);
    target.setText(1, 1, u"keep"_s);
    auto refused = [&](const QByteArray& content, const char* what) {
        const QString path = folder.file(u"bad"_s);
        writeAll(path, content);
        EXPECT_FALSE(target.load(path)) << what;
        EXPECT_EQ(target.rowCount(), 2) << what;
        EXPECT_EQ(target.text(1, 1), u"keep"_s) << what;
    };

    EXPECT_FALSE(target.load(folder.file(u"nothing here"_s)));
    refused(QByteArray(), "empty");
    for (qsizetype cut : {qsizetype(4), qsizetype(16), bytes.size() / 2, bytes.size() - 1})
        refused(bytes.left(cut), "truncated");
    refused(bytes + "x", "trailing byte");
    QByteArray flipped = bytes;
    flipped[flipped.size() / 2] = char(flipped[flipped.size() / 2] ^ 0x20);
    refused(flipped, "flipped bit");
    QByteArray newer = bytes;
    newer[9] = char(9); // an unknown format version
    refused(newer, "version");
    refused("1\t一\tⅠ\n2\t二\tⅡ\n", "foreign text");
    refused(QByteArray(4096, '\xFF'), "foreign binary");
}

TEST(GridFile, SavingIntoAMissingFolderFails)
{
    test::TempFolder folder;
    GridModel grid;
    EXPECT_FALSE(grid.save(folder.file(u"no/such/folder/题型排列颜色"_s)));
}
