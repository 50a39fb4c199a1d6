#include "grid/GridSort.h"

#include <algorithm>
#include <numeric>
#include <vector>

#include <QStringEncoder>

#include "base/Prompter.h"
#include "grid/GridModel.h"
#include "grid/GridNumbers.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

// Two number (or date) keys closer than this are equal.
constexpr double kTolerance = 0.0000001;

// GBK bytes of a key. ASCII texts, the common case, skip the encoder.
QByteArray gbkKey(const QString& text, bool caseSensitive)
{
    const bool ascii =
        std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
    QByteArray bytes;
    if (ascii) {
        bytes = text.toLatin1();
    } else {
        static thread_local QStringEncoder encoder("GB18030");
        encoder.resetState();
        bytes = encoder.encode(text);
    }
    if (!caseSensitive) {
        for (char& b : bytes)
            if (b >= 'A' && b <= 'Z')
                b = char(b - 'A' + 'a');
    }
    return bytes;
}

// The order a linear insertion of the keys (in block order) into a list kept
// ascending would give, for a set of keys that are pairwise within reach of the
// tolerance only through chains. Only such rare clusters take this path.
void insertChain(const std::vector<double>& values, const std::vector<int>& members, bool ascending,
                 std::vector<int>& list)
{
    std::vector<int> keys;
    keys.reserve(members.size());
    for (int row : members) {
        const double t = values[size_t(row)];
        size_t position = 0;
        if (ascending) {
            position = 0;
            for (size_t e = keys.size(); e > 0; --e) {
                if (t - values[size_t(keys[e - 1])] >= -kTolerance) {
                    position = e;
                    break;
                }
            }
        } else {
            position = keys.size();
            for (size_t e = 0; e < keys.size(); ++e) {
                if (t - values[size_t(keys[e])] <= kTolerance) {
                    position = e;
                    break;
                }
            }
        }
        keys.insert(keys.begin() + qsizetype(position), row);
    }
    list.insert(list.end(), keys.begin(), keys.end());
}

// Block positions in sorted order for number and date keys.
//
// Keys that lie more than the tolerance apart compare strictly, so the rows fall
// into clusters (runs of the exactly sorted keys with neighbours within the
// tolerance) that keep their places relative to one another. Inside a cluster
// whose keys are all within the tolerance of each other every key is equal to
// every other, so the rows keep their block order in both directions. A cluster
// that is only a chain of near neighbours is ordered by replaying the insertion.
std::vector<int> numberOrder(const std::vector<double>& values, bool ascending)
{
    const int m = int(values.size());
    std::vector<int> sorted(static_cast<size_t>(m));
    std::iota(sorted.begin(), sorted.end(), 0);
    std::stable_sort(sorted.begin(), sorted.end(),
                     [&](int a, int b) { return values[size_t(a)] < values[size_t(b)]; });

    // The list the insertion keeps in ascending order; descending reads it backwards.
    std::vector<int> list;
    list.reserve(static_cast<size_t>(m));
    int i = 0;
    while (i < m) {
        int j = i;
        while (j + 1 < m && values[size_t(sorted[size_t(j + 1)])] - values[size_t(sorted[size_t(j)])] <= kTolerance)
            ++j;
        if (i == j) {
            list.push_back(sorted[size_t(i)]);
        } else {
            std::vector<int> members(sorted.begin() + i, sorted.begin() + j + 1);
            std::sort(members.begin(), members.end());
            const bool allEqual =
                values[size_t(sorted[size_t(j)])] - values[size_t(sorted[size_t(i)])] <= kTolerance;
            if (allEqual) {
                // Ascending appends each equal key after the others; descending puts
                // each in front, so that reading backwards restores block order.
                if (!ascending)
                    std::reverse(members.begin(), members.end());
                list.insert(list.end(), members.begin(), members.end());
            } else {
                insertChain(values, members, ascending, list);
            }
        }
        i = j + 1;
    }
    if (!ascending)
        std::reverse(list.begin(), list.end());
    return list;
}

std::vector<int> textOrder(const std::vector<QByteArray>& keys, bool ascending)
{
    std::vector<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    if (ascending)
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return keys[size_t(a)] < keys[size_t(b)]; });
    else
        std::stable_sort(order.begin(), order.end(),
                         [&](int a, int b) { return keys[size_t(b)] < keys[size_t(a)]; });
    return order;
}

// Ascending: the "假" rows, each put in front of the list as it comes (so in reverse
// order), then the others in order. Descending reads that list backwards.
std::vector<int> checkboxOrder(const std::vector<bool>& on, bool ascending)
{
    const int m = int(on.size());
    std::vector<int> list;
    list.reserve(static_cast<size_t>(m));
    for (int i = m - 1; i >= 0; --i)
        if (!on[size_t(i)])
            list.push_back(i);
    for (int i = 0; i < m; ++i)
        if (on[size_t(i)])
            list.push_back(i);
    if (!ascending)
        std::reverse(list.begin(), list.end());
    return list;
}

// The sort itself, once the guards have passed.
void sortBlock(GridModel& grid, int column, int firstRow, int lastRow, SortKind kind, bool caseSensitive,
               bool ascending)
{
    lastRow = std::min(lastRow, grid.rowCount() - 1);
    if (firstRow < 0 || firstRow >= lastRow || column < 0 || column >= grid.columnCount())
        return;
    // Column 0 is read (and left) as text while sorting, so that a Number column 0
    // gives its texts as stored and keeps its header text; it gets its kind back.
    const bool numberColumn0 = grid.columnKind(0) == ColumnKind::Number;
    if (numberColumn0)
        grid.setColumnKind(0, ColumnKind::Text);

    const int m = lastRow - firstRow + 1;
    std::vector<int> order;
    switch (kind) {
    case SortKind::Number:
    case SortKind::Date: {
        std::vector<double> values(static_cast<size_t>(m));
        for (int i = 0; i < m; ++i) {
            values[size_t(i)] = kind == SortKind::Number ? grid.numberValue(firstRow + i, column)
                                                         : dateValue(grid.text(firstRow + i, column));
        }
        order = numberOrder(values, ascending);
        break;
    }
    case SortKind::Text: {
        std::vector<QByteArray> keys(static_cast<size_t>(m));
        for (int i = 0; i < m; ++i)
            keys[size_t(i)] = gbkKey(grid.text(firstRow + i, column), caseSensitive);
        order = textOrder(keys, ascending);
        break;
    }
    case SortKind::Checkbox: {
        std::vector<bool> on(static_cast<size_t>(m));
        for (int i = 0; i < m; ++i)
            on[size_t(i)] = grid.text(firstRow + i, column) != u"假"_s;
        order = checkboxOrder(on, ascending);
        break;
    }
    }
    for (int& position : order)
        position += firstRow;
    grid.reorderRows(firstRow, order);
    if (numberColumn0)
        grid.setColumnKind(0, ColumnKind::Number);
}

} // namespace

void sortRows(GridModel& grid, int column, int firstRow, int lastRow, SortKind kind, Prompter& prompter,
              bool caseSensitive, bool ascending)
{
    if (firstRow >= lastRow)
        return;
    const int k = int(kind);
    if (k < 0 || k > 3) {
        prompter.message(u"排序列类型错误！"_s);
        return;
    }
    sortBlock(grid, column, firstRow, lastRow, kind, caseSensitive, ascending);
}

void sortWithinGroups(GridModel& grid, int groupColumn, int keyColumn, bool includeHeader, bool ascending)
{
    int i = includeHeader ? 0 : 1;
    const int last = grid.rowCount() - 1;
    while (i <= last) {
        const QString name = grid.text(i, groupColumn);
        if (name.isEmpty()) {
            ++i;
            continue;
        }
        int e = i;
        while (e + 1 <= last && grid.text(e + 1, groupColumn) == name)
            ++e;
        sortBlock(grid, keyColumn, i, e, SortKind::Number, true, ascending);
        i = e + 1;
    }
}

} // namespace helan
