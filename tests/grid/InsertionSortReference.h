#pragma once

#include <vector>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "base/Gbk.h"
#include "grid/GridModel.h"
#include "grid/GridNumbers.h"
#include "grid/GridTypes.h"

namespace helan::test {

// The row sort as first written: keys found a place by linear scan, every number
// comparison converting the stored texts again, then the rows copied cell by cell
// below the block and the old rows deleted one by one. Quadratic on purpose; the
// fast sort must give exactly the same order.
class InsertionSortReference {
public:
    static void sortRows(GridModel& grid, int column, int firstRow, int lastRow, SortKind kind,
                         bool caseSensitive = true, bool ascending = true)
    {
        if (firstRow >= lastRow)
            return;
        if (int(kind) < 0 || int(kind) > 3)
            return;
        const bool numberColumn0 = grid.columnKind(0) == ColumnKind::Number;
        if (numberColumn0)
            grid.setColumnKind(0, ColumnKind::Text);

        std::vector<Key> keys;
        std::vector<int> order;
        for (int r = firstRow; r <= lastRow; ++r) {
            const QString t = grid.text(r, column);
            if (kind == SortKind::Checkbox) {
                if (t == QStringLiteral("假"))
                    order.insert(order.begin(), r);
                else
                    order.push_back(r);
                continue;
            }
            const Key key{t, kind == SortKind::Text ? bytes(t, caseSensitive) : QByteArray()};
            const int p = findInsertPosition(keys, key, kind, ascending);
            keys.insert(keys.begin() + (p - 1), key);
            order.insert(order.begin() + (p - 1), r);
        }

        const int m = lastRow - firstRow + 1;
        for (int i = 1; i <= m; ++i) {
            grid.insertRow(lastRow + i);
            const int s = ascending ? order[size_t(i - 1)] : order[size_t(m - i)];
            for (int c = 0; c < grid.columnCount(); ++c) {
                switch (grid.columnKind(c)) {
                case ColumnKind::Checkbox:
                    grid.setChecked(lastRow + i, c, grid.checked(s, c));
                    break;
                case ColumnKind::Picture:
                    grid.setPicture(lastRow + i, c, grid.picture(s, c));
                    break;
                default:
                    grid.setText(lastRow + i, c, grid.text(s, c));
                    break;
                }
            }
        }
        for (int i = 1; i <= m; ++i)
            grid.removeRow(firstRow);

        if (numberColumn0)
            grid.setColumnKind(0, ColumnKind::Number);
    }

private:
    static constexpr double kTolerance = 0.0000001;

    static QByteArray bytes(const QString& text, bool caseSensitive)
    {
        QByteArray b = toGbk(text);
        if (!caseSensitive)
            for (char& c : b)
                if (c >= 'A' && c <= 'Z')
                    c = char(c - 'A' + 'a');
        return b;
    }

    static double numeric(const QString& text, SortKind kind)
    {
        return kind == SortKind::Number ? leadingNumber(text) : dateValue(text);
    }

    // A stored key: its text, and for the text kind its bytes, encoded once.
    struct Key {
        QString text;
        QByteArray bytes;
    };

    // t ≥ e (ascending) or t ≤ e (descending) under the kind's comparison.
    static bool atLeast(const Key& t, const Key& e, SortKind kind)
    {
        if (kind == SortKind::Text)
            return t.bytes >= e.bytes;
        return numeric(t.text, kind) - numeric(e.text, kind) >= -kTolerance;
    }
    static bool atMost(const Key& t, const Key& e, SortKind kind)
    {
        if (kind == SortKind::Text)
            return t.bytes <= e.bytes;
        return numeric(t.text, kind) - numeric(e.text, kind) <= kTolerance;
    }

    // 1-based, as written.
    static int findInsertPosition(const std::vector<Key>& keys, const Key& t, SortKind kind, bool ascending)
    {
        const int n = int(keys.size());
        if (n == 0)
            return 1;
        if (ascending) {
            for (int e = n; e >= 1; --e)
                if (atLeast(t, keys[size_t(e - 1)], kind))
                    return e + 1;
            return 1;
        }
        for (int e = 1; e <= n; ++e)
            if (atMost(t, keys[size_t(e - 1)], kind))
                return e;
        return n + 1;
    }
};

} // namespace helan::test
