#pragma once

#include <QtGlobal>

namespace helan {

// What the data cells of a column hold. The numbers are the ones the windows use.
enum class ColumnKind { Text = 1, Number = 2, Date = 3, List = 4, Checkbox = 5, Picture = 6 };

// How sortRows compares two cell texts.
enum class SortKind { Number = 0, Text = 1, Date = 2, Checkbox = 3 };

// Horizontal alignment of a cell's content; cells are always centred vertically.
enum class CellAlignment { Left = 1, Centre = 2, Right = 3 };

// A rectangle of cells. An end of -1 means "the same as the start".
struct CellRange {
    int startRow = 0;
    int startColumn = 0;
    int endRow = -1;
    int endColumn = -1;

    CellRange() = default;
    CellRange(int row, int column) : startRow(row), startColumn(column) {}
    CellRange(int row0, int column0, int row1, int column1)
        : startRow(row0), startColumn(column0), endRow(row1), endColumn(column1)
    {
    }
};

// Colours are plain 0xRRGGBB values, as the colour chooser hands them out.
using RgbColour = quint32;

} // namespace helan
