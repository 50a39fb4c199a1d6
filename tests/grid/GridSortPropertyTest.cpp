#include <algorithm>
#include <random>
#include <string>

#include <QStringList>

#include <gtest/gtest.h>

#include "InsertionSortReference.h"
#include "ScriptedPrompter.h"
#include "grid/GridModel.h"
#include "grid/GridSort.h"

using namespace Qt::StringLiterals;
using namespace helan;

namespace {

// Texts with many ties, near-ties within and just beyond the tolerance, chains of
// near neighbours, full-width digits and signs, odd signs and exponents, letters
// of both cases, Chinese, empty texts, dates and non-dates.
const QStringList kTexts = {
    QString(), u"0"_s, u"1"_s, u"2"_s, u"9"_s, u"10"_s, u"-3"_s, u"2.0000000001"_s, u"1.99999999"_s,
    u"0.00000006"_s, u"0.00000012"_s, u"0.00000018"_s, u"0.0000001"_s, u"0.00000021"_s, u"３"_s, u"－５"_s,
    u"＋2"_s, u"1e3"_s, u"1e"_s, u"-"_s, u"+.5"_s, u"5."_s, u"1e400"_s, u"-1e400"_s, u"1e-400"_s, u"abc"_s,
    u"ABC"_s, u"a"_s, u"B"_s, u"b"_s, u"中"_s, u"啊"_s, u"中文"_s, u"假"_s, u"真"_s, u" 7"_s, u"7 "_s,
    u"2024-03-05"_s, u"2024/3/5"_s, u"2024-03-05 12:00"_s, u"1999-12-31"_s, u"2024-02-30"_s, u"\u3000"_s,
    QString::fromUcs4(U"\U00020000"), u"€"_s};

enum Column { Key0, TextCol, NumberCol, CheckCol, DateCol, ListCol, Id, Columns };

// The same seed gives the same grid, so each round sorts two equal grids.
class RandomGrid : public GridModel {
public:
    RandomGrid(unsigned seed, int rows) : GridModel(Columns)
    {
        std::mt19937 rng(seed);
        if (rng() % 2)
            setColumnKind(Key0, ColumnKind::Number);
        setColumnKind(NumberCol, ColumnKind::Number);
        setColumnKind(CheckCol, ColumnKind::Checkbox);
        setColumnKind(DateCol, ColumnKind::Date);
        clearPendingItems();
        appendPendingItem(u"1"_s);
        setColumnKind(ListCol, ColumnKind::List);
        // A small pool per grid makes ties frequent.
        QStringList pool;
        const int poolSize = 1 + int(rng() % 8);
        for (int i = 0; i < poolSize; ++i)
            pool << kTexts[int(rng() % kTexts.size())];
        setRowCount(rows);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < Id; ++c) {
                if (c == CheckCol && r > 0)
                    setChecked(r, c, rng() % 2);
                else
                    setText(r, c, pool[int(rng() % pool.size())]); // refused texts leave it empty
            }
            setText(r, Id, u"row"_s + QString::number(r));
        }
    }
};

// A column's texts, top to bottom, as one printable line.
std::string column(const GridModel& grid, int c)
{
    QStringList out;
    for (int r = 0; r < grid.rowCount(); ++r)
        out << grid.text(r, c);
    return out.join(u'|').toStdString();
}

} // namespace

TEST(SortRowsProperty, GivesTheOrderOfTheInsertionAlgorithmOnRandomGrids)
{
    std::mt19937 rng(20240305);
    test::ScriptedPrompter prompter;
    for (int round = 0; round < 4000; ++round) {
        const int rows = 2 + int(rng() % 30);
        const unsigned seed = unsigned(rng());
        RandomGrid fast(seed, rows);
        RandomGrid twin(seed, rows);
        const int keyColumn = int(rng() % Id);
        const SortKind kind = SortKind(rng() % 4);
        const bool ascending = rng() % 2;
        const bool caseSensitive = rng() % 4 != 0;
        const int firstRow = int(rng() % 3);
        const int lastRow = std::min(rows - 1, firstRow + int(rng() % rows));

        const std::string before = column(fast, keyColumn);
        sortRows(fast, keyColumn, firstRow, lastRow, kind, prompter, caseSensitive, ascending);
        test::InsertionSortReference::sortRows(twin, keyColumn, firstRow, lastRow, kind, caseSensitive,
                                               ascending);
        const std::string after = column(fast, Id);
        ASSERT_EQ(after, column(twin, Id))
            << "round " << round << " column " << keyColumn << " kind " << int(kind) << " rows " << firstRow
            << "-" << lastRow << (ascending ? " up" : " down") << " keys before " << before;
        EXPECT_EQ(fast.columnKind(Key0), twin.columnKind(Key0));
        if (firstRow > 0) {
            // Below the header the copies hold what the moved rows held.
            for (int c = 0; c < Columns; ++c)
                ASSERT_EQ(column(fast, c), column(twin, c)) << "round " << round << " column " << c;
        }
    }
    EXPECT_TRUE(prompter.messages().isEmpty());
}
