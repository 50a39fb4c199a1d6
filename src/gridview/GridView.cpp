#include "gridview/GridView.h"

#include <algorithm>

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMouseEvent>

#include "grid/GridModel.h"
#include "gridview/GridItemDelegate.h"
#include "gridview/GridTableAdapter.h"

namespace helan {

GridView::GridView(GridModel& grid, QWidget* parent)
    : QTableView(parent), m_grid(grid), m_adapter(new GridTableAdapter(grid, this)),
      m_delegate(new GridItemDelegate(grid, this))
{
    setModel(m_adapter);
    setItemDelegate(m_delegate);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::AnyKeyPressed);
    setWordWrap(false);
    setCornerButtonEnabled(false);

    QHeaderView* top = horizontalHeader();
    // Header cells raise headerClicked instead of selecting whole columns.
    top->setSectionsClickable(false);
    top->setHighlightSections(false);
    top->setMinimumSectionSize(1);
    top->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    top->viewport()->installEventFilter(this);

    // A narrow row handle without numbers, to drag row borders with.
    QHeaderView* side = verticalHeader();
    side->setMinimumSectionSize(1);
    side->setDefaultSectionSize(GridModel::kDefaultRowHeight);
    side->setSectionResizeMode(QHeaderView::Interactive);
    side->setFixedWidth(12);
    side->viewport()->installEventFilter(this);

    connectGrid();
    connectView();
    applyAllSizes();
    applyCursor(m_grid.cursorRow(), m_grid.cursorColumn());
}

GridView::~GridView() = default;

// ---- Model to view

void GridView::connectGrid()
{
    connect(&m_grid, &GridModel::cursorSet, this, [this](int row, int column) {
        if (!m_syncing)
            applyCursor(row, column);
    });
    connect(&m_grid.events(), &GridEvents::cursorMoved, this, [this] {
        if (!m_syncing)
            applyCursor(m_grid.cursorRow(), m_grid.cursorColumn());
    });
    connect(&m_grid, &GridModel::selectionChanged, this, [this] {
        if (!m_syncing)
            applySelection();
    });
    connect(&m_grid, &GridModel::columnWidthChanged, this, &GridView::applyColumnWidth);
    connect(&m_grid, &GridModel::rowHeightsChanged, this, &GridView::applyRowHeights);
    connect(&m_grid, &GridModel::rowsInserted, this, &GridView::applyRowHeights);
    connect(&m_grid, &GridModel::columnsInserted, this, &GridView::applyAllSizes);
    connect(&m_grid, &GridModel::columnsRemoved, this, &GridView::applyAllSizes);
    connect(&m_grid, &GridModel::resetDone, this, [this] {
        applyAllSizes();
        applyCursor(m_grid.cursorRow(), m_grid.cursorColumn());
    });
    connect(&m_grid, &GridModel::rowsRemoved, this, [this](int first) {
        if (first == 0)
            applyAllSizes(); // a new header row
    });

    // While rows or columns come and go, Qt moves its current index with the cells;
    // the grid keeps its cursor on the same row number instead. Take nothing from
    // the view meanwhile and put the grid's cursor back afterwards.
    const auto hold = [this] { m_syncing = true; };
    const auto release = [this] {
        m_syncing = false;
        const QModelIndex index = m_adapter->index(m_grid.cursorRow() - 1, m_grid.cursorColumn());
        if (index.isValid() && selectionModel()->currentIndex() != index) {
            m_syncing = true;
            selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
            m_syncing = false;
        }
        applySelection();
    };
    for (auto about : {&GridModel::rowsAboutToBeInserted, &GridModel::rowsAboutToBeRemoved,
                       &GridModel::columnsAboutToBeInserted, &GridModel::columnsAboutToBeRemoved})
        connect(&m_grid, about, this, hold);
    for (auto done : {&GridModel::rowsInserted, &GridModel::rowsRemoved, &GridModel::columnsInserted,
                      &GridModel::columnsRemoved})
        connect(&m_grid, done, this, release);
    connect(&m_grid, &GridModel::aboutToReset, this, hold);
    connect(&m_grid, &GridModel::resetDone, this, release);
}

void GridView::applyColumnWidth(int column)
{
    if (column < 0 || column >= m_grid.columnCount())
        return;
    m_applyingSizes = true;
    const int width = m_grid.columnWidth(column);
    setColumnHidden(column, width == 0);
    if (width > 0 && columnWidth(column) != width)
        setColumnWidth(column, width);
    m_applyingSizes = false;
}

void GridView::applyRowHeights(int first, int last)
{
    m_applyingSizes = true;
    if (first == 0)
        horizontalHeader()->setFixedHeight(std::max(m_grid.rowHeight(0), 1));
    // A header that draws after every section it resizes works out the place of
    // every row each time, which on a large bank is one pass over all rows per
    // row. With its drawing held, each height is only noted, and the view lays
    // the rows out once.
    QHeaderView* side = verticalHeader();
    const bool drawing = side->updatesEnabled();
    const bool many = last - first > 1;
    if (many)
        side->setUpdatesEnabled(false);
    for (int row = std::max(first, 1); row <= last && row < m_grid.rowCount(); ++row) {
        const int height = m_grid.rowHeight(row);
        if (rowHeight(row - 1) != height)
            setRowHeight(row - 1, height);
    }
    // The view's own deferred relayout (one per turn of the event loop, however
    // many sections changed) places the rows; a sort calls this once per group.
    if (many && drawing) {
        side->setUpdatesEnabled(true);
        viewport()->update();
    }
    m_applyingSizes = false;
    if (many)
        announceShownRows();
}

void GridView::announceShownRows()
{
    if (m_announcing || m_grid.rowCount() < 2)
        return;
    // Heights the logic sets for these rows move the rows below, which may
    // bring others into sight: told again while that changes anything.
    m_announcing = true;
    int shownFirst = -1;
    int shownLast = -1;
    for (int round = 0; round < 64; ++round) {
        const int first = rowAt(0);
        int last = rowAt(std::max(viewport()->height() - 1, 0));
        if (first < 0)
            break;
        if (last < 0)
            last = m_grid.rowCount() - 2;
        if (first == shownFirst && last == shownLast)
            break;
        shownFirst = first;
        shownLast = last;
        Q_EMIT m_grid.events().rowsShown(first + 1, last + 1);
    }
    m_announcing = false;
}

void GridView::scrollContentsBy(int dx, int dy)
{
    QTableView::scrollContentsBy(dx, dy);
    if (dy != 0)
        announceShownRows();
}

void GridView::resizeEvent(QResizeEvent* event)
{
    QTableView::resizeEvent(event);
    announceShownRows();
}

void GridView::applyAllSizes()
{
    for (int c = 0; c < m_grid.columnCount(); ++c)
        applyColumnWidth(c);
    applyRowHeights(0, m_grid.rowCount() - 1);
}

void GridView::applyCursor(int row, int column)
{
    if (row < 1)
        return;
    const QModelIndex index = m_adapter->index(row - 1, column);
    if (!index.isValid())
        return;
    m_syncing = true;
    if (selectionModel()->currentIndex() != index)
        selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    m_syncing = false;
    applySelection();
    scrollTo(index);
}

void GridView::applySelection()
{
    const int top = std::max(m_grid.selectionStartRow(), 1) - 1;
    const int bottom = m_grid.selectionEndRow() - 1;
    if (bottom < top)
        return;
    const QItemSelection selection(m_adapter->index(top, m_grid.selectionStartColumn()),
                                   m_adapter->index(bottom, m_grid.selectionEndColumn()));
    m_syncing = true;
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    m_syncing = false;
}

// ---- View to model

void GridView::connectView()
{
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { takeCursorFromView(current); });
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { takeSelectionFromView(); });
    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int column, int, int width) { userResizedColumn(column, width); });
    connect(verticalHeader(), &QHeaderView::sectionResized, this,
            [this](int row, int, int height) { userResizedRow(row + 1, height); });
}

void GridView::takeCursorFromView(const QModelIndex& current)
{
    if (m_syncing || !current.isValid())
        return;
    m_syncing = true;
    m_grid.setCursor(current.row() + 1, current.column());
    m_syncing = false;
}

void GridView::takeSelectionFromView()
{
    if (m_syncing)
        return;
    const QItemSelection selection = selectionModel()->selection();
    if (selection.isEmpty())
        return;
    int top = INT_MAX, left = INT_MAX, bottom = -1, right = -1;
    for (const QItemSelectionRange& range : selection) {
        top = std::min(top, range.top());
        left = std::min(left, range.left());
        bottom = std::max(bottom, range.bottom());
        right = std::max(right, range.right());
    }
    m_syncing = true;
    m_grid.selectRange(top + 1, left, bottom + 1, right);
    m_syncing = false;
}

void GridView::userResizedColumn(int column, int width)
{
    if (m_applyingSizes || width == 0) // hiding is the model's doing
        return;
    m_grid.setColumnWidth(column, width);
    if (m_headerPressed)
        m_resizedColumn = column; // reported when the button goes up
    else
        Q_EMIT m_grid.events().columnResized(column);
}

void GridView::userResizedRow(int row, int height)
{
    if (m_applyingSizes)
        return;
    m_grid.setRowHeight(row, height);
    if (m_rowHeaderPressed)
        m_resizedRow = row;
    else
        Q_EMIT m_grid.events().rowResized(row);
}

// ---- Mouse and keys

QPoint GridView::gridPoint(const QPointF& viewportPos) const
{
    return viewport()->mapTo(this, viewportPos.toPoint());
}

void GridView::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = gridPoint(event->position());
    if (event->button() == Qt::LeftButton)
        Q_EMIT m_grid.events().leftButtonDown(p.x(), p.y(), event->modifiers());
    m_pressedIndex = indexAt(event->position().toPoint());
    // A right click inside a selection of several cells keeps it, so that the
    // menu it opens acts on every selected row, not on the clicked one alone.
    if (event->button() == Qt::RightButton && m_pressedIndex.isValid()) {
        const int row = m_pressedIndex.row() + 1;
        const int column = m_pressedIndex.column();
        const bool several = m_grid.selectionStartRow() != m_grid.selectionEndRow() ||
                             m_grid.selectionStartColumn() != m_grid.selectionEndColumn();
        if (several && row >= m_grid.selectionStartRow() && row <= m_grid.selectionEndRow() &&
            column >= m_grid.selectionStartColumn() && column <= m_grid.selectionEndColumn()) {
            event->accept();
            return;
        }
    }
    QTableView::mousePressEvent(event);
}

void GridView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint p = gridPoint(event->position());
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton) {
        // The window decides on editing here, before a check box is toggled.
        Q_EMIT m_grid.events().leftButtonUp(p.x(), p.y(), event->modifiers());
        QTableView::mouseReleaseEvent(event);
        if (index.isValid() && index == m_pressedIndex && index == currentIndex())
            toggleCheckbox(index);
        Q_EMIT m_grid.events().clicked(p.x(), p.y());
    } else {
        QTableView::mouseReleaseEvent(event);
        if (event->button() == Qt::RightButton)
            Q_EMIT m_grid.events().rightButtonUp(p.x(), p.y(), event->modifiers());
    }
    m_pressedIndex = QModelIndex();
}

void GridView::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QPoint p = gridPoint(event->position());
    // Raised first: the window may switch editing on or off for the edit that the
    // double click opens.
    Q_EMIT m_grid.events().doubleClick(p.x(), p.y(), event->modifiers());
    m_pressedIndex = indexAt(event->position().toPoint());
    QTableView::mouseDoubleClickEvent(event);
}

void GridView::keyPressEvent(QKeyEvent* event)
{
    if (m_grid.events().offerKey(event->key(), event->modifiers())) {
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier &&
        toggleCheckbox(currentIndex())) {
        event->accept();
        return;
    }
    const int fromRow = m_grid.cursorRow();
    const int fromColumn = m_grid.cursorColumn();
    QTableView::keyPressEvent(event);
    if (state() != QAbstractItemView::EditingState &&
        (m_grid.cursorRow() != fromRow || m_grid.cursorColumn() != fromColumn))
        Q_EMIT m_grid.events().cursorKeyMoved(fromRow, fromColumn);
}

bool GridView::toggleCheckbox(const QModelIndex& index)
{
    if (!index.isValid() || m_grid.columnKind(index.column()) != ColumnKind::Checkbox)
        return false;
    const int row = index.row() + 1;
    return m_grid.editInPlace(row, index.column(), !m_grid.checked(row, index.column()));
}

bool GridView::eventFilter(QObject* watched, QEvent* event)
{
    const bool top = watched == horizontalHeader()->viewport();
    const bool side = watched == verticalHeader()->viewport();
    if (!top && !side)
        return QTableView::eventFilter(watched, event);
    const auto* mouse = dynamic_cast<QMouseEvent*>(event);
    if (!mouse || mouse->button() != Qt::LeftButton)
        return false;
    const int x = int(mouse->position().x());
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        if (top) {
            m_headerPressed = true;
            m_resizedColumn = -1;
        } else {
            m_rowHeaderPressed = true;
            m_resizedRow = -1;
        }
        break;
    case QEvent::MouseButtonRelease:
        if (top) {
            m_headerPressed = false;
            if (m_resizedColumn >= 0) {
                Q_EMIT m_grid.events().columnResized(m_resizedColumn);
            } else {
                const int column = horizontalHeader()->logicalIndexAt(x);
                if (column >= 0)
                    Q_EMIT m_grid.events().headerClicked(0, column);
            }
            m_resizedColumn = -1;
        } else {
            m_rowHeaderPressed = false;
            if (m_resizedRow >= 0)
                Q_EMIT m_grid.events().rowResized(m_resizedRow);
            m_resizedRow = -1;
        }
        break;
    case QEvent::MouseButtonDblClick:
        if (top) {
            const int column = horizontalHeader()->logicalIndexAt(x);
            if (column >= 0)
                Q_EMIT m_grid.events().headerDoubleClicked(0, column);
        }
        break;
    default:
        break;
    }
    return false;
}

void GridView::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint)
{
    QTableView::closeEditor(editor, hint);
    // Closed without committing (Escape, or the editor went away): the edit still ends.
    if (m_grid.isEditing())
        m_grid.cancelEdit();
}

} // namespace helan
