#pragma once

#include <QTableView>

namespace helan {

class GridItemDelegate;
class GridModel;
class GridTableAdapter;

// The grid control every table window shows: a view of a GridModel that the window
// logic owns. Grid row 0 is the fixed header; data rows are painted on demand. The
// view keeps the model's cursor and selection in step with its own, applies the
// model's attributes and sizes, edits cells in place through GridItemDelegate and
// raises the grid's events (GridModel::events()) for what the user does.
class GridView : public QTableView {
    Q_OBJECT
public:
    explicit GridView(GridModel& grid, QWidget* parent = nullptr);
    ~GridView() override;
    // Tells the grid which rows are in sight (GridEvents::rowsShown).
    void announceShownRows();

    GridModel& grid() const { return m_grid; }
    GridTableAdapter& adapter() const { return *m_adapter; }

protected:
    void scrollContentsBy(int dx, int dy) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

private:
    void connectGrid();
    void connectView();
    void applyColumnWidth(int column);
    void applyRowHeights(int first, int last);
    void applyAllSizes();
    void applyCursor(int row, int column);
    void applySelection();
    void takeCursorFromView(const QModelIndex& current);
    void takeSelectionFromView();
    void userResizedColumn(int column, int width);
    void userResizedRow(int row, int height);
    bool toggleCheckbox(const QModelIndex& index);
    QPoint gridPoint(const QPointF& viewportPos) const;

    GridModel& m_grid;
    GridTableAdapter* m_adapter;
    GridItemDelegate* m_delegate;
    // Set while one side is being brought in line with the other, so that the
    // change does not echo back.
    bool m_syncing = false;
    bool m_applyingSizes = false;
    bool m_announcing = false;
    QPersistentModelIndex m_pressedIndex;
    // A header press in progress, and the section the user resized during it.
    bool m_headerPressed = false;
    int m_resizedColumn = -1;
    bool m_rowHeaderPressed = false;
    int m_resizedRow = -1;
};

} // namespace helan
