#include "gridview/GridItemDelegate.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QStyle>

#include "grid/GridModel.h"

namespace helan {

GridItemDelegate::GridItemDelegate(GridModel& grid, QObject* parent) : QStyledItemDelegate(parent), m_grid(grid)
{
}

QWidget* GridItemDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                        const QModelIndex& index) const
{
    const int row = index.row() + 1;
    const int column = index.column();
    const ColumnKind kind = m_grid.columnKind(column);
    if (kind == ColumnKind::Checkbox || kind == ColumnKind::Picture)
        return nullptr;
    // The window logic may refuse here; the cell still holds its old value.
    if (!m_grid.beginEdit(row, column))
        return nullptr;
    QWidget* editor = nullptr;
    if (kind == ColumnKind::List) {
        auto* combo = new QComboBox(parent);
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->addItems(m_grid.listItems(column));
        editor = combo;
    } else {
        auto* line = new QLineEdit(parent);
        line->setFrame(false);
        editor = line;
    }
    editor->setFont(option.font);
    const QVariant font = index.data(Qt::FontRole);
    if (font.isValid())
        editor->setFont(font.value<QFont>());
    return editor;
}

void GridItemDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    const QString text = m_grid.text(index.row() + 1, index.column());
    if (auto* combo = qobject_cast<QComboBox*>(editor)) {
        const int item = combo->findText(text);
        combo->setCurrentIndex(item);
        combo->setEditText(text);
        // What is typed replaces the old value, as in a spreadsheet.
        if (QLineEdit* line = combo->lineEdit())
            line->selectAll();
    } else if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        line->setText(text);
        line->selectAll();
    }
}

void GridItemDelegate::setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex&) const
{
    QString text;
    if (auto* combo = qobject_cast<QComboBox*>(editor))
        text = combo->currentText();
    else if (auto* line = qobject_cast<QLineEdit*>(editor))
        text = line->text();
    m_grid.finishEdit(text);
}

void GridItemDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (m_grid.wordWrap(index.row() + 1, index.column()))
        option->features |= QStyleOptionViewItem::WrapText;
    else
        option->features &= ~QStyleOptionViewItem::WrapText;
}

void GridItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    switch (m_grid.columnKind(index.column())) {
    case ColumnKind::Checkbox:
        paintCheckbox(painter, option, index);
        break;
    case ColumnKind::Picture:
        paintPicture(painter, option, index);
        break;
    default:
        QStyledItemDelegate::paint(painter, option, index);
        break;
    }
}

// The cell as usual but without its check mark, then the check box placed by the
// cell's alignment.
void GridItemDelegate::paintCheckbox(QPainter* painter, const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const Qt::CheckState state = cell.checkState;
    cell.features &= ~QStyleOptionViewItem::HasCheckIndicator;
    cell.text.clear();
    QStyle* style = cell.widget ? cell.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget);

    QStyleOptionViewItem box = cell;
    const int w = style->pixelMetric(QStyle::PM_IndicatorWidth, &cell, cell.widget);
    const int h = style->pixelMetric(QStyle::PM_IndicatorHeight, &cell, cell.widget);
    box.rect = QStyle::alignedRect(cell.direction, cell.displayAlignment & Qt::AlignHorizontal_Mask,
                                   QSize(w, h), cell.rect.adjusted(2, 0, -2, 0));
    box.rect.moveTop(cell.rect.top() + (cell.rect.height() - h) / 2);
    box.state &= ~(QStyle::State_On | QStyle::State_Off);
    box.state |= state == Qt::Checked ? QStyle::State_On : QStyle::State_Off;
    style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &box, painter, cell.widget);
}

// Pictures are decoded once and kept in the pixmap cache under a hash of their bytes.
void GridItemDelegate::paintPicture(QPainter* painter, const QStyleOptionViewItem& option,
                                    const QModelIndex& index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    QStyle* style = cell.widget ? cell.widget->style() : QApplication::style();
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, cell.widget);

    const QByteArray bytes = m_grid.picture(index.row() + 1, index.column());
    if (bytes.isEmpty())
        return;
    const QString key = QStringLiteral("helan-grid-%1-%2").arg(qHash(bytes)).arg(bytes.size());
    QPixmap pixmap;
    if (!QPixmapCache::find(key, &pixmap)) {
        if (!pixmap.loadFromData(bytes))
            return;
        QPixmapCache::insert(key, pixmap);
    }
    const QRect area = cell.rect.adjusted(1, 1, -1, -1);
    if (area.isEmpty())
        return;
    const QSize size = pixmap.size().scaled(area.size(), Qt::KeepAspectRatio);
    const QRect target = QStyle::alignedRect(cell.direction, Qt::AlignCenter, size, area);
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawPixmap(target, pixmap);
    painter->restore();
}

} // namespace helan
