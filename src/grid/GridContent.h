#pragma once

#include <vector>

#include <QList>
#include <QStringList>
#include <QVariant>

#include "grid/GridTypes.h"

namespace helan {

// Display attributes of one cell. A freshly made cell has all of them unset.
struct CellFormat {
    quint8 alignment = 0; // 0: unset (shown left-aligned), else a CellAlignment value
    bool wordWrap = false;
    bool readOnly = false;
    bool hasColour = false;
    quint16 fontHeight = 0; // 0: the grid's font
    RgbColour colour = 0;

    bool operator==(const CellFormat&) const = default;
};

// A cell's value is null (empty), a QString, a bool (check boxes) or a QByteArray
// (pictures). The column's kind decides which of them a write may store.
struct GridRow {
    std::vector<QVariant> values;
    // Empty while every cell of the row has default attributes, which is most rows;
    // sorting resets whole blocks of rows without touching their cells. Rows
    // formatted alike share one list (copied on write), so formatting a hundred
    // thousand rows the same way costs one list, not one per row.
    QList<CellFormat> formats;
    int height = 0;
};

struct GridColumn {
    ColumnKind kind = ColumnKind::Text;
    int decimals = 0;
    int width = 0;
    QStringList items; // drop-down items of a List column
};

// Everything a grid file keeps.
struct GridContent {
    std::vector<GridColumn> columns;
    std::vector<GridRow> rows; // row 0 is the header
    RgbColour defaultColour = 0xFFFFFF;
};

} // namespace helan
