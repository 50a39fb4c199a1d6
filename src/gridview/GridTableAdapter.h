#pragma once

#include <QAbstractTableModel>

namespace helan {

class GridModel;

// Presents the data rows of a GridModel to Qt's item views: adapter row i is grid
// row i + 1; grid row 0 is the horizontal header. Holds no data of its own, so a
// view of any size paints only the rows it shows.
class GridTableAdapter : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit GridTableAdapter(GridModel& grid, QObject* parent = nullptr);

    GridModel& grid() const { return m_grid; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    QVariant cellRole(int row, int column, int role) const;
    void connectGrid();

    GridModel& m_grid;
    bool m_resetting = false;
};

} // namespace helan
