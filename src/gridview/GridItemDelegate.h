#pragma once

#include <QStyledItemDelegate>

namespace helan {

class GridModel;

// Paints and edits the cells of a GridView by their column's kind: a line edit for
// text and numbers, an editable drop-down with the column's items for List columns,
// a check box for Checkbox cells, the picture scaled into the cell for Picture cells.
// Opening an editor starts the grid's edit (editRequested, editBegins); committing
// it finishes the edit (the value is written, then editEnded).
class GridItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    GridItemDelegate(GridModel& grid, QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;

private:
    void paintCheckbox(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;
    void paintPicture(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;

    GridModel& m_grid;
};

} // namespace helan
