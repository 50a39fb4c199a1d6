#include "gridview/GridTableAdapter.h"

#include <algorithm>

#include <QBrush>
#include <QColor>
#include <QFont>

#include "grid/GridModel.h"

namespace helan {

GridTableAdapter::GridTableAdapter(GridModel& grid, QObject* parent) : QAbstractTableModel(parent), m_grid(grid)
{
    connectGrid();
}

void GridTableAdapter::connectGrid()
{
    connect(&m_grid, &GridModel::cellsChanged, this, [this](int r0, int c0, int r1, int c1) {
        if (m_resetting)
            return;
        if (r0 == 0)
            Q_EMIT headerDataChanged(Qt::Horizontal, c0, c1);
        const int first = std::max(r0, 1);
        if (first <= r1)
            Q_EMIT dataChanged(index(first - 1, c0), index(r1 - 1, c1));
    });
    connect(&m_grid, &GridModel::rowsAboutToBeInserted, this,
            [this](int first, int last) { beginInsertRows({}, first - 1, last - 1); });
    connect(&m_grid, &GridModel::rowsInserted, this, [this] { endInsertRows(); });
    connect(&m_grid, &GridModel::rowsAboutToBeRemoved, this, [this](int first, int last) {
        if (first == 0) {
            // The next row becomes the header: everything moves.
            m_resetting = true;
            beginResetModel();
        } else {
            beginRemoveRows({}, first - 1, last - 1);
        }
    });
    connect(&m_grid, &GridModel::rowsRemoved, this, [this] {
        if (m_resetting) {
            m_resetting = false;
            endResetModel();
        } else {
            endRemoveRows();
        }
    });
    connect(&m_grid, &GridModel::columnsAboutToBeInserted, this,
            [this](int first, int last) { beginInsertColumns({}, first, last); });
    connect(&m_grid, &GridModel::columnsInserted, this, [this] { endInsertColumns(); });
    connect(&m_grid, &GridModel::columnsAboutToBeRemoved, this,
            [this](int first, int last) { beginRemoveColumns({}, first, last); });
    connect(&m_grid, &GridModel::columnsRemoved, this, [this] { endRemoveColumns(); });
    connect(&m_grid, &GridModel::aboutToReset, this, [this] {
        m_resetting = true;
        beginResetModel();
    });
    connect(&m_grid, &GridModel::resetDone, this, [this] {
        m_resetting = false;
        endResetModel();
    });
}

int GridTableAdapter::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_grid.rowCount() - 1;
}

int GridTableAdapter::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_grid.columnCount();
}

QVariant GridTableAdapter::cellRole(int row, int column, int role) const
{
    switch (role) {
    case Qt::TextAlignmentRole: {
        Qt::Alignment a = Qt::AlignVCenter;
        switch (m_grid.alignment(row, column)) {
        case CellAlignment::Centre:
            a |= Qt::AlignHCenter;
            break;
        case CellAlignment::Right:
            a |= Qt::AlignRight;
            break;
        default:
            a |= Qt::AlignLeft;
            break;
        }
        int flags = int(a);
        // Header texts wrap through their alignment flags; data cells through the delegate.
        if (row == 0 && m_grid.wordWrap(row, column))
            flags |= Qt::TextWordWrap;
        return flags;
    }
    case Qt::FontRole: {
        const int height = m_grid.fontHeight(row, column);
        if (height <= 0)
            return {};
        QFont font;
        font.setPixelSize(height);
        return font;
    }
    case Qt::BackgroundRole:
        return QBrush(QColor::fromRgb(m_grid.colour(row, column)));
    default:
        return {};
    }
}

QVariant GridTableAdapter::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int row = index.row() + 1;
    const int column = index.column();
    const ColumnKind kind = m_grid.columnKind(column);
    switch (role) {
    case Qt::DisplayRole:
        if (kind == ColumnKind::Checkbox || kind == ColumnKind::Picture)
            return {};
        return m_grid.text(row, column);
    case Qt::EditRole:
        return m_grid.value(row, column);
    case Qt::CheckStateRole:
        if (kind != ColumnKind::Checkbox)
            return {};
        return m_grid.checked(row, column) ? Qt::Checked : Qt::Unchecked;
    default:
        return cellRole(row, column, role);
    }
}

QVariant GridTableAdapter::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_grid.columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return m_grid.text(0, section);
    return cellRole(0, section, role);
}

Qt::ItemFlags GridTableAdapter::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    const int row = index.row() + 1;
    const ColumnKind kind = m_grid.columnKind(index.column());
    // Check boxes are toggled by the view, not by an editor.
    if (kind != ColumnKind::Checkbox && m_grid.canEditInPlace(row, index.column()))
        f |= Qt::ItemIsEditable;
    return f;
}

} // namespace helan
