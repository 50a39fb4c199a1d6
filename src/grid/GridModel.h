#pragma once

#include <vector>

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include "grid/GridContent.h"
#include "grid/GridEvents.h"
#include "grid/GridTypes.h"

namespace helan {

// The content and state of one grid, without any widget: cells in rows and columns
// (row 0 is the fixed header), typed columns, the cursor and the selection, display
// attributes, sizes, the editing switch and the grid's events. Window logic owns a
// GridModel and subscribes to events(); a GridView shows it on screen.
//
// Rows and columns count from 0. Writes report failure for a cell outside the grid
// or a value the column does not take, and then change nothing.
class GridModel : public QObject {
    Q_OBJECT
public:
    static constexpr int kDefaultRowHeight = 24;
    static constexpr int kDefaultColumnWidth = 64;

    explicit GridModel(int columnCount = 1, QObject* parent = nullptr);
    ~GridModel() override;

    GridEvents& events() { return m_events; }

    // ---- Size
    int rowCount() const { return int(m_content.rows.size()); }
    // At least 1 (the header). New rows are empty.
    void setRowCount(int rows);
    int columnCount() const { return int(m_content.columns.size()); }
    void setColumnCount(int columns);
    bool isCell(int row, int column) const;

    // ---- Cells
    // Header cells and Text, Number, Date and List cells read as text (QString),
    // Checkbox cells as bool, Picture cells as QByteArray. Invalid outside the grid.
    QVariant value(int row, int column) const;
    // Every cell as text: check boxes "真" / "假", pictures empty, numbers formatted
    // with the column's decimals, dates as yyyy-MM-dd.
    QString text(int row, int column) const;
    // The leading number of the cell's text (see leadingNumber), as the number sort
    // compares it; 0 for a text without one.
    double numberValue(int row, int column) const;
    bool checked(int row, int column) const;
    QByteArray picture(int row, int column) const;

    bool setText(int row, int column, const QString& text);
    // Stored as its decimal text; refused by Date, Checkbox and Picture cells.
    bool setNumber(int row, int column, qint64 number);
    bool setChecked(int row, int column, bool on);
    bool setPicture(int row, int column, const QByteArray& bytes);
    // Dispatches on the value's type: bool, QByteArray, integers and doubles
    // (rounded), anything else as text.
    bool setValue(int row, int column, const QVariant& value);

    // ---- Columns
    ColumnKind columnKind(int column) const;
    // Data cells keep what the new kind can hold. A List column takes its items
    // from the pending item list.
    bool setColumnKind(int column, ColumnKind kind);
    bool setColumnKind(int column, int kind);
    int columnDecimals(int column) const;
    bool setColumnDecimals(int column, int decimals);

    void clearPendingItems() { m_pendingItems.clear(); }
    void appendPendingItem(const QString& item) { m_pendingItems.append(item); }
    const QStringList& pendingItems() const { return m_pendingItems; }
    // Only for a List column.
    bool appendListItem(int column, const QString& item);
    QStringList listItems(int column) const;

    // ---- Cursor and selection
    // The cursor is always on a data row; 0 only while the grid has none.
    int cursorRow() const { return m_cursorRow; }
    int cursorColumn() const { return m_cursorColumn; }
    // Moves the cursor (clamped into the data rows) and collapses the selection
    // onto it. Views scroll the cell into view.
    void setCursor(int row, int column);

    int selectionStartRow() const { return m_selTop; }
    int selectionStartColumn() const { return m_selLeft; }
    int selectionEndRow() const { return m_selBottom; }
    int selectionEndColumn() const { return m_selRight; }
    // Selects from a start cell to an end cell (default: the start cell); the end is
    // clamped to the grid. A start outside the grid changes nothing.
    void selectRange(int row, int column, int endRow = -1, int endColumn = -1);

    // ---- Display attributes over ranges (ends clamped; empty ranges do nothing)
    void setAlignment(const CellRange& range, CellAlignment alignment);
    CellAlignment alignment(int row, int column) const;
    void setWordWrap(const CellRange& range, bool on);
    bool wordWrap(int row, int column) const;
    // In pixels; 0 returns to the grid's font.
    void setFontHeight(const CellRange& range, int height);
    int fontHeight(int row, int column) const;
    void setReadOnly(const CellRange& range, bool on);
    bool isReadOnly(int row, int column) const;
    // Background colour, 0xRRGGBB. Unset cells read the default colour.
    void setColour(const CellRange& range, RgbColour colour);
    RgbColour colour(int row, int column) const;
    RgbColour defaultColour() const { return m_content.defaultColour; }
    void setDefaultColour(RgbColour colour);

    // ---- Sizes in pixels; a column of width 0 is hidden
    int rowHeight(int row) const;
    bool setRowHeight(int row, int height);
    // Heights set while one of these is alive are announced together when the
    // last goes, so a view lays its rows out once rather than once per row.
    class RowHeightBatch {
    public:
        explicit RowHeightBatch(GridModel& grid) : m_grid(grid) { ++m_grid.m_heightBatches; }
        ~RowHeightBatch();
        RowHeightBatch(const RowHeightBatch&) = delete;
        RowHeightBatch& operator=(const RowHeightBatch&) = delete;

    private:
        GridModel& m_grid;
    };
    int columnWidth(int column) const;
    bool setColumnWidth(int column, int width);

    bool editingAllowed() const { return m_editingAllowed; }
    void setEditingAllowed(bool on);

    // ---- Rows and columns
    // Returns the new row's number.
    int appendRow();
    // before: 1 … rowCount (rowCount appends).
    bool insertRow(int before);
    // Any row while another is left; removing row 0 makes row 1 the header.
    bool removeRow(int row);
    int appendColumn();
    bool insertColumn(int before);
    bool removeColumn(int column);

    // Puts rows firstRow … firstRow + order.size() - 1 into the order given (each
    // entry is a row number of that block before the call). The rows of the block
    // are laid down afresh: their cell attributes and heights return to the defaults.
    void reorderRows(int firstRow, const std::vector<int>& order);

    // ---- In-place editing
    // Whether the user may edit the cell in place now.
    bool canEditInPlace(int row, int column) const;
    // Starts an edit of the cell: moves the cursor there, asks editRequested and
    // raises editBegins. False when the cell cannot be edited or a handler refused.
    bool beginEdit(int row, int column);
    bool isEditing() const { return m_editing; }
    // Writes the new value (the cell's write rules apply) and raises editEnded.
    void finishEdit(const QVariant& newValue);
    // Ends the edit with the cell unchanged; editEnded is still raised.
    void cancelEdit();
    // One whole in-place edit, as the user makes it.
    bool editInPlace(int row, int column, const QVariant& newValue);

    // ---- Files
    // Written atomically: the old file stays whole if writing fails.
    bool save(const QString& path) const;
    // On failure (missing, unreadable, truncated or foreign file) nothing changes.
    bool load(const QString& path);

Q_SIGNALS:
    // For views. Rows and columns are this model's numbers (row 0 is the header).
    void cellsChanged(int firstRow, int firstColumn, int lastRow, int lastColumn);
    void rowsAboutToBeInserted(int first, int last);
    void rowsInserted(int first, int last);
    void rowsAboutToBeRemoved(int first, int last);
    void rowsRemoved(int first, int last);
    void columnsAboutToBeInserted(int first, int last);
    void columnsInserted(int first, int last);
    void columnsAboutToBeRemoved(int first, int last);
    void columnsRemoved(int first, int last);
    void aboutToReset();
    void resetDone();
    void rowHeightsChanged(int first, int last);
    void columnWidthChanged(int column);
    void columnKindChanged(int column);
    void selectionChanged();
    // Every setCursor, moved or not: views bring the cell into view.
    void cursorSet(int row, int column);
    void editingAllowedChanged(bool on);

private:
    struct Span {
        int top, left, bottom, right;
    };
    bool clampRange(const CellRange& range, Span& span) const;
    template <typename Apply> void applyFormat(const CellRange& range, Apply apply);
    const QVariant* valueAt(int row, int column) const;
    // The cell's attributes; nullptr outside the grid.
    const CellFormat* formatAt(int row, int column) const;
    bool store(int row, int column, QVariant value);
    GridRow makeRow() const;
    void fixCursor();
    void convertColumn(int column, ColumnKind from, ColumnKind to);

    GridEvents m_events;
    GridContent m_content;
    int m_heightBatches = 0;
    int m_heldFirst = -1; // rows whose heights changed inside a batch
    int m_heldLast = -1;
    QStringList m_pendingItems;
    int m_cursorRow = 0;
    int m_cursorColumn = 0;
    int m_selTop = 0, m_selLeft = 0, m_selBottom = 0, m_selRight = 0;
    bool m_editingAllowed = true;
    bool m_editing = false;
    int m_editRow = 0;
    int m_editColumn = 0;
};

} // namespace helan
