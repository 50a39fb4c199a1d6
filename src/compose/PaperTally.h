#pragma once

#include <functional>
#include <vector>

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

namespace helan {

class GridModel;

// What the composition window keeps counting over its question grid: the score
// each question type brings to paper A, to paper B and to both, and the rows of
// each question group. Both follow the grid's own change signals, so a tick on a
// bank of 100,000 questions costs the rows it changed, not a pass over the bank;
// a change too large to follow row by row (a sort, a new load) is counted afresh
// when next asked.
class PaperTally : public QObject {
public:
    // What one row brings: its type and score, and for which papers it counts.
    struct Share {
        QString type;
        qint64 score = 0;
        bool a = false;
        bool b = false;
    };
    struct Sums {
        qint64 a = 0;
        qint64 b = 0;
        qint64 common = 0;
    };
    struct Columns {
        QList<int> share;      // the columns a row's share is read from
        int groupName = 0;
        int groupNumber = 0;
    };

    PaperTally(const GridModel& grid, Columns columns, std::function<Share(int row)> shareOf,
               std::function<bool(int row)> isTitle);

    // Score sums by type name over the rows that count.
    const QHash<QString, Sums>& sumsByType();
    // Every row of a named group, in row order; empty for no name.
    QList<int> groupRows(const QString& name);
    // The title row of a named group, or 0.
    int titleRow(const QString& name);
    // Forgets everything; counted afresh when next asked.
    void invalidate();

private:
    void cellsChanged(int top, int left, int bottom, int right);
    void rebuildSums();
    void rebuildGroups();
    void add(const Share& share, int sign);

    const GridModel& m_grid;
    Columns m_columns;
    std::function<Share(int)> m_shareOf;
    std::function<bool(int)> m_isTitle;

    bool m_sumsValid = false;
    std::vector<Share> m_shares; // by row
    QHash<QString, Sums> m_sums;

    bool m_groupsValid = false;
    QHash<QString, QList<int>> m_groupRows;
};

} // namespace helan
