#include "grid/GridModel.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include <QDate>
#include <QFile>
#include <QSaveFile>

#include "base/WriteFaults.h"
#include "grid/GridFileFormat.h"
#include "grid/GridNumbers.h"

using namespace Qt::StringLiterals;

namespace helan {

namespace {

constexpr qint64 kLargestGridFile = qint64(1) << 30;

bool holdsText(ColumnKind kind)
{
    return kind != ColumnKind::Checkbox && kind != ColumnKind::Picture;
}

// An optional minus and at most 15 ASCII digits: exact as a double.
bool isPlainInteger(QStringView text)
{
    const qsizetype start = text.startsWith(u'-') ? 1 : 0;
    const qsizetype digits = text.size() - start;
    if (digits < 1 || digits > 15)
        return false;
    for (qsizetype i = start; i < text.size(); ++i)
        if (text[i] < u'0' || text[i] > u'9')
            return false;
    return true;
}

QString formatNumber(double value, int decimals)
{
    QString text = QString::number(value, 'f', decimals);
    // No "-0" for values that round to zero.
    if (text.startsWith(u'-') &&
        std::all_of(text.cbegin() + 1, text.cend(), [](QChar c) { return c == u'0' || c == u'.'; }))
        text.remove(0, 1);
    return text;
}

} // namespace

GridModel::GridModel(int columnCount, QObject* parent) : QObject(parent)
{
    m_content.columns.resize(size_t(std::max(columnCount, 1)));
    for (GridColumn& column : m_content.columns)
        column.width = kDefaultColumnWidth;
    m_content.rows.push_back(makeRow());
}

GridModel::~GridModel() = default;

bool GridModel::isCell(int row, int column) const
{
    return row >= 0 && row < rowCount() && column >= 0 && column < columnCount();
}

const QVariant* GridModel::valueAt(int row, int column) const
{
    return isCell(row, column) ? &m_content.rows[size_t(row)].values[size_t(column)] : nullptr;
}

const CellFormat* GridModel::formatAt(int row, int column) const
{
    static const CellFormat none;
    if (!isCell(row, column))
        return nullptr;
    const GridRow& r = m_content.rows[size_t(row)];
    return r.formats.empty() ? &none : &r.formats[size_t(column)];
}

GridRow GridModel::makeRow() const
{
    GridRow row;
    row.values.resize(m_content.columns.size());
    row.height = kDefaultRowHeight;
    return row;
}

// ---- Size

void GridModel::setRowCount(int rows)
{
    rows = std::max(rows, 1);
    const int old = rowCount();
    if (rows > old) {
        Q_EMIT rowsAboutToBeInserted(old, rows - 1);
        m_content.rows.reserve(size_t(rows));
        for (int r = old; r < rows; ++r)
            m_content.rows.push_back(makeRow());
        Q_EMIT rowsInserted(old, rows - 1);
    } else if (rows < old) {
        Q_EMIT rowsAboutToBeRemoved(rows, old - 1);
        m_content.rows.resize(size_t(rows));
        if (m_editing && m_editRow >= rows)
            m_editing = false;
        Q_EMIT rowsRemoved(rows, old - 1);
    }
    fixCursor();
}

void GridModel::setColumnCount(int columns)
{
    columns = std::max(columns, 1);
    while (columnCount() < columns)
        appendColumn();
    while (columnCount() > columns)
        removeColumn(columnCount() - 1);
}

// ---- Cells

QVariant GridModel::value(int row, int column) const
{
    const QVariant* v = valueAt(row, column);
    if (!v)
        return {};
    if (row > 0) {
        switch (m_content.columns[size_t(column)].kind) {
        case ColumnKind::Checkbox:
            if (v->typeId() != QMetaType::QString)
                return v->toBool();
            break;
        case ColumnKind::Picture:
            if (v->typeId() != QMetaType::QString)
                return v->toByteArray();
            break;
        default:
            break;
        }
    }
    return text(row, column);
}

QString GridModel::text(int row, int column) const
{
    const QVariant* cellValue = valueAt(row, column);
    if (!cellValue)
        return {};
    const QVariant& v = *cellValue;
    const GridColumn& col = m_content.columns[size_t(column)];
    if (row > 0 && col.kind == ColumnKind::Checkbox && v.isNull())
        return u"假"_s;
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? u"真"_s : u"假"_s;
    case QMetaType::QString:
        break;
    default:
        return {};
    }
    const QString raw = v.toString();
    if (row == 0 || raw.isEmpty())
        return raw;
    if (col.kind == ColumnKind::Number) {
        bool found = false;
        const double number = leadingNumber(raw, &found);
        return found ? formatNumber(number, col.decimals) : raw;
    }
    if (col.kind == ColumnKind::Date) {
        bool ok = false;
        const double days = dateValue(raw, &ok);
        return ok ? QDate::fromJulianDay(qint64(std::floor(days))).toString(u"yyyy-MM-dd"_s) : raw;
    }
    return raw;
}

double GridModel::numberValue(int row, int column) const
{
    const QVariant* v = valueAt(row, column);
    if (!v || v->typeId() != QMetaType::QString)
        return leadingNumber(text(row, column));
    // Read the stored text in place where it is what text() gives, or where it is
    // a plain integer, which reads the same before and after formatting.
    const QString& raw = *static_cast<const QString*>(v->constData());
    const ColumnKind kind = m_content.columns[size_t(column)].kind;
    if (row == 0 || kind == ColumnKind::Text || kind == ColumnKind::List)
        return leadingNumber(raw);
    if (kind == ColumnKind::Number && isPlainInteger(raw))
        return leadingNumber(raw);
    return leadingNumber(text(row, column));
}

bool GridModel::checked(int row, int column) const
{
    const QVariant* v = valueAt(row, column);
    return v && v->typeId() == QMetaType::Bool && v->toBool();
}

QByteArray GridModel::picture(int row, int column) const
{
    const QVariant* v = valueAt(row, column);
    return v && v->typeId() == QMetaType::QByteArray ? v->toByteArray() : QByteArray();
}

bool GridModel::store(int row, int column, QVariant value)
{
    m_content.rows[size_t(row)].values[size_t(column)] = std::move(value);
    Q_EMIT cellsChanged(row, column, row, column);
    return true;
}

bool GridModel::setText(int row, int column, const QString& text)
{
    if (!isCell(row, column))
        return false;
    if (row == 0)
        return store(row, column, text.isEmpty() ? QVariant() : QVariant(text));
    switch (m_content.columns[size_t(column)].kind) {
    case ColumnKind::Checkbox:
    case ColumnKind::Picture:
        return false;
    case ColumnKind::Number:
        if (!isNumberCellText(text))
            return false;
        break;
    case ColumnKind::Date: {
        bool ok = false;
        dateValue(text, &ok);
        if (!text.isEmpty() && !ok)
            return false;
        break;
    }
    default:
        break;
    }
    return store(row, column, text.isEmpty() ? QVariant() : QVariant(text));
}

bool GridModel::setNumber(int row, int column, qint64 number)
{
    if (!isCell(row, column))
        return false;
    if (row > 0 && !holdsText(m_content.columns[size_t(column)].kind))
        return false;
    if (row > 0 && m_content.columns[size_t(column)].kind == ColumnKind::Date)
        return false;
    return store(row, column, QString::number(number));
}

bool GridModel::setChecked(int row, int column, bool on)
{
    if (!isCell(row, column) || row == 0 || m_content.columns[size_t(column)].kind != ColumnKind::Checkbox)
        return false;
    return store(row, column, on);
}

bool GridModel::setPicture(int row, int column, const QByteArray& bytes)
{
    if (!isCell(row, column) || row == 0 || m_content.columns[size_t(column)].kind != ColumnKind::Picture)
        return false;
    return store(row, column, bytes.isEmpty() ? QVariant() : QVariant(bytes));
}

bool GridModel::setValue(int row, int column, const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
        return setChecked(row, column, value.toBool());
    case QMetaType::QByteArray:
        return setPicture(row, column, value.toByteArray());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return setNumber(row, column, value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        if (!std::isfinite(d) || std::abs(d) > 9.0e18)
            return false;
        return setNumber(row, column, std::llround(d));
    }
    default:
        return setText(row, column, value.toString());
    }
}

// ---- Columns

ColumnKind GridModel::columnKind(int column) const
{
    return column >= 0 && column < columnCount() ? m_content.columns[size_t(column)].kind : ColumnKind::Text;
}

bool GridModel::setColumnKind(int column, int kind)
{
    if (kind < 1 || kind > 6)
        return false;
    return setColumnKind(column, ColumnKind(kind));
}

bool GridModel::setColumnKind(int column, ColumnKind kind)
{
    if (column < 0 || column >= columnCount() || int(kind) < 1 || int(kind) > 6)
        return false;
    GridColumn& col = m_content.columns[size_t(column)];
    const ColumnKind old = col.kind;
    col.kind = kind;
    if (kind == ColumnKind::List)
        col.items = m_pendingItems;
    convertColumn(column, old, kind);
    Q_EMIT columnKindChanged(column);
    if (rowCount() > 1)
        Q_EMIT cellsChanged(1, column, rowCount() - 1, column);
    return true;
}

// Values a column of the new kind cannot hold are dropped; check boxes turn into
// "真" / "假" and back.
void GridModel::convertColumn(int column, ColumnKind from, ColumnKind to)
{
    if (from == to)
        return;
    for (size_t r = 1; r < m_content.rows.size(); ++r) {
        QVariant& v = m_content.rows[r].values[size_t(column)];
        if (v.isNull())
            continue;
        const int type = v.typeId();
        if (to == ColumnKind::Checkbox) {
            if (type != QMetaType::Bool)
                v = type == QMetaType::QString && v.toString() == u"真"_s ? QVariant(true) : QVariant();
        } else if (to == ColumnKind::Picture) {
            if (type != QMetaType::QByteArray)
                v = QVariant();
        } else if (type == QMetaType::Bool) {
            v = v.toBool() ? u"真"_s : u"假"_s;
        } else if (type == QMetaType::QByteArray) {
            v = QVariant();
        }
    }
}

int GridModel::columnDecimals(int column) const
{
    return column >= 0 && column < columnCount() ? m_content.columns[size_t(column)].decimals : 0;
}

bool GridModel::setColumnDecimals(int column, int decimals)
{
    if (column < 0 || column >= columnCount() || decimals < 0 || decimals > 15)
        return false;
    m_content.columns[size_t(column)].decimals = decimals;
    if (rowCount() > 1)
        Q_EMIT cellsChanged(1, column, rowCount() - 1, column);
    return true;
}

bool GridModel::appendListItem(int column, const QString& item)
{
    if (columnKind(column) != ColumnKind::List || column < 0 || column >= columnCount())
        return false;
    m_content.columns[size_t(column)].items.append(item);
    return true;
}

QStringList GridModel::listItems(int column) const
{
    return columnKind(column) == ColumnKind::List ? m_content.columns[size_t(column)].items : QStringList();
}

// ---- Cursor and selection

void GridModel::setCursor(int row, int column)
{
    const int oldRow = m_cursorRow;
    const int oldColumn = m_cursorColumn;
    if (rowCount() > 1) {
        m_cursorRow = std::clamp(row, 1, rowCount() - 1);
        m_cursorColumn = std::clamp(column, 0, columnCount() - 1);
    }
    selectRange(m_cursorRow, m_cursorColumn);
    if (oldRow != m_cursorRow || oldColumn != m_cursorColumn)
        Q_EMIT m_events.cursorMoved();
    Q_EMIT cursorSet(m_cursorRow, m_cursorColumn);
}

void GridModel::selectRange(int row, int column, int endRow, int endColumn)
{
    if (!isCell(row, column))
        return;
    if (endRow == -1)
        endRow = row;
    if (endColumn == -1)
        endColumn = column;
    endRow = std::clamp(endRow, 0, rowCount() - 1);
    endColumn = std::clamp(endColumn, 0, columnCount() - 1);
    const Span span{std::min(row, endRow), std::min(column, endColumn), std::max(row, endRow),
                    std::max(column, endColumn)};
    if (span.top == m_selTop && span.left == m_selLeft && span.bottom == m_selBottom &&
        span.right == m_selRight)
        return;
    m_selTop = span.top;
    m_selLeft = span.left;
    m_selBottom = span.bottom;
    m_selRight = span.right;
    Q_EMIT selectionChanged();
}

void GridModel::fixCursor()
{
    const int oldRow = m_cursorRow;
    const int oldColumn = m_cursorColumn;
    const bool selectionOnCursor = m_selTop == m_selBottom && m_selLeft == m_selRight &&
                                   m_selTop == oldRow && m_selLeft == oldColumn;
    m_cursorRow = rowCount() > 1 ? std::clamp(m_cursorRow, 1, rowCount() - 1) : 0;
    m_cursorColumn = std::clamp(m_cursorColumn, 0, columnCount() - 1);

    const int lastRow = rowCount() - 1;
    const int lastColumn = columnCount() - 1;
    if (selectionOnCursor || m_selTop > lastRow || m_selLeft > lastColumn) {
        // A selection that was only the cursor cell follows the cursor.
        selectRange(m_cursorRow, m_cursorColumn);
    } else if (m_selBottom > lastRow || m_selRight > lastColumn) {
        m_selBottom = std::min(m_selBottom, lastRow);
        m_selRight = std::min(m_selRight, lastColumn);
        Q_EMIT selectionChanged();
    }
    if (oldRow != m_cursorRow || oldColumn != m_cursorColumn)
        Q_EMIT m_events.cursorMoved();
}

// ---- Attributes

bool GridModel::clampRange(const CellRange& range, Span& span) const
{
    if (!isCell(range.startRow, range.startColumn))
        return false;
    const int endRow = range.endRow == -1 ? range.startRow : std::min(range.endRow, rowCount() - 1);
    const int endColumn =
        range.endColumn == -1 ? range.startColumn : std::min(range.endColumn, columnCount() - 1);
    if (endRow < range.startRow || endColumn < range.startColumn)
        return false;
    span = {range.startRow, range.startColumn, endRow, endColumn};
    return true;
}

template <typename Apply> void GridModel::applyFormat(const CellRange& range, Apply apply)
{
    Span span{};
    if (!clampRange(range, span))
        return;
    // Rows that had the same attributes get the same new ones: they share the result.
    QList<CellFormat> lastBefore;
    QList<CellFormat> lastAfter;
    bool haveLast = false;
    for (int r = span.top; r <= span.bottom; ++r) {
        QList<CellFormat>& formats = m_content.rows[size_t(r)].formats;
        if (haveLast && formats == lastBefore) {
            formats = lastAfter;
            continue;
        }
        lastBefore = formats;
        formats.resize(m_content.columns.size());
        for (int c = span.left; c <= span.right; ++c)
            apply(formats[c]);
        lastAfter = formats;
        haveLast = true;
    }
    Q_EMIT cellsChanged(span.top, span.left, span.bottom, span.right);
}

void GridModel::setAlignment(const CellRange& range, CellAlignment alignment)
{
    const int a = int(alignment);
    if (a < 1 || a > 3)
        return;
    applyFormat(range, [a](CellFormat& f) { f.alignment = quint8(a); });
}

CellAlignment GridModel::alignment(int row, int column) const
{
    const CellFormat* f = formatAt(row, column);
    return f && f->alignment ? CellAlignment(f->alignment) : CellAlignment::Left;
}

void GridModel::setWordWrap(const CellRange& range, bool on)
{
    applyFormat(range, [on](CellFormat& f) { f.wordWrap = on; });
}

bool GridModel::wordWrap(int row, int column) const
{
    const CellFormat* f = formatAt(row, column);
    return f && f->wordWrap;
}

void GridModel::setFontHeight(const CellRange& range, int height)
{
    if (height < 0 || height > 0xFFFF)
        return;
    applyFormat(range, [height](CellFormat& f) { f.fontHeight = quint16(height); });
}

int GridModel::fontHeight(int row, int column) const
{
    const CellFormat* f = formatAt(row, column);
    return f ? f->fontHeight : 0;
}

void GridModel::setReadOnly(const CellRange& range, bool on)
{
    applyFormat(range, [on](CellFormat& f) { f.readOnly = on; });
}

bool GridModel::isReadOnly(int row, int column) const
{
    const CellFormat* f = formatAt(row, column);
    return f && f->readOnly;
}

void GridModel::setColour(const CellRange& range, RgbColour colour)
{
    colour &= 0xFFFFFF;
    applyFormat(range, [colour](CellFormat& f) {
        f.hasColour = true;
        f.colour = colour;
    });
}

RgbColour GridModel::colour(int row, int column) const
{
    const CellFormat* f = formatAt(row, column);
    return f && f->hasColour ? f->colour : m_content.defaultColour;
}

void GridModel::setDefaultColour(RgbColour colour)
{
    m_content.defaultColour = colour & 0xFFFFFF;
    Q_EMIT cellsChanged(0, 0, rowCount() - 1, columnCount() - 1);
}

// ---- Sizes

int GridModel::rowHeight(int row) const
{
    return row >= 0 && row < rowCount() ? m_content.rows[size_t(row)].height : 0;
}

bool GridModel::setRowHeight(int row, int height)
{
    if (row < 0 || row >= rowCount() || height < 0)
        return false;
    if (m_content.rows[size_t(row)].height != height) {
        m_content.rows[size_t(row)].height = height;
        if (m_heightBatches > 0) {
            m_heldFirst = m_heldFirst < 0 ? row : std::min(m_heldFirst, row);
            m_heldLast = std::max(m_heldLast, row);
        } else {
            Q_EMIT rowHeightsChanged(row, row);
        }
    }
    return true;
}

GridModel::RowHeightBatch::~RowHeightBatch()
{
    if (--m_grid.m_heightBatches > 0 || m_grid.m_heldFirst < 0)
        return;
    const int first = std::exchange(m_grid.m_heldFirst, -1);
    const int last = std::exchange(m_grid.m_heldLast, -1);
    Q_EMIT m_grid.rowHeightsChanged(first, std::min(last, m_grid.rowCount() - 1));
}

int GridModel::columnWidth(int column) const
{
    return column >= 0 && column < columnCount() ? m_content.columns[size_t(column)].width : 0;
}

bool GridModel::setColumnWidth(int column, int width)
{
    if (column < 0 || column >= columnCount() || width < 0)
        return false;
    if (m_content.columns[size_t(column)].width != width) {
        m_content.columns[size_t(column)].width = width;
        Q_EMIT columnWidthChanged(column);
    }
    return true;
}

void GridModel::setEditingAllowed(bool on)
{
    if (m_editingAllowed == on)
        return;
    m_editingAllowed = on;
    Q_EMIT editingAllowedChanged(on);
}

// ---- Rows and columns

int GridModel::appendRow()
{
    insertRow(rowCount());
    return rowCount() - 1;
}

bool GridModel::insertRow(int before)
{
    if (before < 1 || before > rowCount())
        return false;
    Q_EMIT rowsAboutToBeInserted(before, before);
    m_content.rows.insert(m_content.rows.begin() + before, makeRow());
    if (m_editing && before <= m_editRow)
        ++m_editRow;
    Q_EMIT rowsInserted(before, before);
    fixCursor();
    return true;
}

bool GridModel::removeRow(int row)
{
    if (rowCount() < 2 || row < 0 || row >= rowCount())
        return false;
    Q_EMIT rowsAboutToBeRemoved(row, row);
    m_content.rows.erase(m_content.rows.begin() + row);
    if (m_editing && row < m_editRow)
        --m_editRow;
    else if (m_editing && row == m_editRow)
        m_editing = false; // the edited cell is gone; its editor closes with it
    Q_EMIT rowsRemoved(row, row);
    fixCursor();
    return true;
}

int GridModel::appendColumn()
{
    insertColumn(columnCount());
    return columnCount() - 1;
}

bool GridModel::insertColumn(int before)
{
    if (before < 0 || before > columnCount())
        return false;
    Q_EMIT columnsAboutToBeInserted(before, before);
    GridColumn column;
    column.width = kDefaultColumnWidth;
    m_content.columns.insert(m_content.columns.begin() + before, column);
    if (m_editing && before <= m_editColumn)
        ++m_editColumn;
    for (GridRow& row : m_content.rows) {
        row.values.insert(row.values.begin() + before, QVariant());
        if (!row.formats.empty())
            row.formats.insert(row.formats.begin() + before, CellFormat());
    }
    Q_EMIT columnsInserted(before, before);
    fixCursor();
    return true;
}

bool GridModel::removeColumn(int column)
{
    if (columnCount() < 2 || column < 0 || column >= columnCount())
        return false;
    Q_EMIT columnsAboutToBeRemoved(column, column);
    m_content.columns.erase(m_content.columns.begin() + column);
    if (m_editing && column < m_editColumn)
        --m_editColumn;
    else if (m_editing && column == m_editColumn)
        m_editing = false;
    for (GridRow& row : m_content.rows) {
        row.values.erase(row.values.begin() + column);
        if (!row.formats.empty())
            row.formats.erase(row.formats.begin() + column);
    }
    Q_EMIT columnsRemoved(column, column);
    fixCursor();
    return true;
}

void GridModel::reorderRows(int firstRow, const std::vector<int>& order)
{
    const int count = int(order.size());
    if (firstRow < 0 || count == 0 || firstRow + count > rowCount())
        return;
    std::vector<GridRow> block;
    block.reserve(order.size());
    std::vector<bool> taken(order.size(), false);
    for (int source : order) {
        const int k = source - firstRow;
        if (k < 0 || k >= count || taken[size_t(k)])
            return; // not a permutation of the block
        taken[size_t(k)] = true;
    }
    for (int source : order)
        block.push_back(std::move(m_content.rows[size_t(source)]));
    for (int i = 0; i < count; ++i) {
        GridRow& row = block[size_t(i)];
        row.formats = {};
        row.height = kDefaultRowHeight;
        m_content.rows[size_t(firstRow + i)] = std::move(row);
    }
    const int lastRow = firstRow + count - 1;
    Q_EMIT cellsChanged(firstRow, 0, lastRow, columnCount() - 1);
    Q_EMIT rowHeightsChanged(firstRow, lastRow);
}

// ---- In-place editing

bool GridModel::canEditInPlace(int row, int column) const
{
    return m_editingAllowed && isCell(row, column) && row > 0 && !isReadOnly(row, column) &&
           columnKind(column) != ColumnKind::Picture;
}

bool GridModel::beginEdit(int row, int column)
{
    if (m_editing || !canEditInPlace(row, column))
        return false;
    if (row != m_cursorRow || column != m_cursorColumn)
        setCursor(row, column);
    // A handler may refuse, or change the grid so that the cell is no longer editable.
    if (!m_events.requestEdit() || !canEditInPlace(row, column))
        return false;
    m_editing = true;
    m_editRow = row;
    m_editColumn = column;
    Q_EMIT m_events.editBegins();
    return true;
}

void GridModel::finishEdit(const QVariant& newValue)
{
    if (!m_editing)
        return;
    m_editing = false;
    setValue(m_editRow, m_editColumn, newValue);
    Q_EMIT m_events.editEnded();
}

void GridModel::cancelEdit()
{
    if (!m_editing)
        return;
    m_editing = false;
    Q_EMIT m_events.editEnded();
}

bool GridModel::editInPlace(int row, int column, const QVariant& newValue)
{
    if (!beginEdit(row, column))
        return false;
    finishEdit(newValue);
    return true;
}

// ---- Files

bool GridModel::save(const QString& path) const
{
    if (WriteFaults::fail(WriteFaults::Kind::FileWrite))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray bytes = GridFileFormat::encode(m_content);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

bool GridModel::load(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kLargestGridFile)
        return false;
    std::optional<GridContent> content = GridFileFormat::decode(file.readAll());
    if (!content)
        return false;
    Q_EMIT aboutToReset();
    m_content = std::move(*content);
    m_editing = false;
    Q_EMIT resetDone();
    fixCursor();
    if (m_cursorRow > 0)
        selectRange(m_cursorRow, m_cursorColumn);
    return true;
}

} // namespace helan
