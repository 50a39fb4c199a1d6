#include "compose/PaperTally.h"

#include <utility>

#include "grid/GridModel.h"

namespace helan {

namespace {

// Past this many rows a change is counted afresh rather than row by row.
constexpr int kFollowedRows = 4096;

bool touches(int left, int right, int column) {
    return column >= left && column <= right;
}

} // namespace

PaperTally::PaperTally(const GridModel& grid, Columns columns, std::function<Share(int)> shareOf,
                       std::function<bool(int)> isTitle)
    : m_grid(grid), m_columns(std::move(columns)), m_shareOf(std::move(shareOf)), m_isTitle(std::move(isTitle)) {
    connect(&grid, &GridModel::cellsChanged, this, &PaperTally::cellsChanged);
    connect(&grid, &GridModel::rowsInserted, this, &PaperTally::invalidate);
    connect(&grid, &GridModel::rowsRemoved, this, &PaperTally::invalidate);
}

void PaperTally::invalidate() {
    m_sumsValid = false;
    m_groupsValid = false;
    m_shares.clear();
    m_sums.clear();
    m_groupRows.clear();
}

void PaperTally::cellsChanged(int top, int left, int bottom, int right) {
    if (!m_sumsValid && !m_groupsValid)
        return;
    top = std::max(top, 1);
    if (bottom < top)
        return;
    const bool large = bottom - top + 1 > kFollowedRows;
    if (m_groupsValid && (touches(left, right, m_columns.groupName) || touches(left, right, m_columns.groupNumber))) {
        m_groupsValid = false;
        m_groupRows.clear();
    }
    if (!m_sumsValid)
        return;
    bool shareTouched = false;
    for (const int c : std::as_const(m_columns.share))
        shareTouched = shareTouched || touches(left, right, c);
    if (!shareTouched)
        return;
    if (large || bottom >= int(m_shares.size())) {
        m_sumsValid = false;
        m_shares.clear();
        m_sums.clear();
        return;
    }
    for (int r = top; r <= bottom; ++r) {
        add(m_shares[size_t(r)], -1);
        m_shares[size_t(r)] = m_shareOf(r);
        add(m_shares[size_t(r)], +1);
    }
}

void PaperTally::add(const Share& share, int sign) {
    if (!share.a && !share.b)
        return;
    Sums& sums = m_sums[share.type];
    const qint64 score = sign * share.score;
    if (share.a)
        sums.a += score;
    if (share.a && share.b)
        sums.common += score;
    if (share.b)
        sums.b += score;
}

void PaperTally::rebuildSums() {
    m_sums.clear();
    m_shares.assign(size_t(std::max(m_grid.rowCount(), 1)), Share());
    for (int r = 1; r < m_grid.rowCount(); ++r) {
        m_shares[size_t(r)] = m_shareOf(r);
        add(m_shares[size_t(r)], +1);
    }
    m_sumsValid = true;
}

const QHash<QString, PaperTally::Sums>& PaperTally::sumsByType() {
    if (!m_sumsValid)
        rebuildSums();
    return m_sums;
}

void PaperTally::rebuildGroups() {
    m_groupRows.clear();
    for (int r = 1; r < m_grid.rowCount(); ++r) {
        const QString name = m_grid.text(r, m_columns.groupName);
        if (!name.isEmpty())
            m_groupRows[name].append(r);
    }
    m_groupsValid = true;
}

QList<int> PaperTally::groupRows(const QString& name) {
    if (name.isEmpty())
        return {};
    if (!m_groupsValid)
        rebuildGroups();
    return m_groupRows.value(name);
}

int PaperTally::titleRow(const QString& name) {
    for (const int r : groupRows(name)) {
        if (m_isTitle(r))
            return r;
    }
    return 0;
}

} // namespace helan
