#pragma once

#include "grid/GridTypes.h"

namespace helan {

class GridModel;
class Prompter;

// The one row sort of the program: puts rows firstRow … lastRow (inclusive) of a grid
// into the order of the texts of one column. Stable in both directions (equal keys
// keep their order), except for the checkbox kind: ascending gives the "假" rows in
// reverse order, then the others in order; descending is the reverse of that.
// Number keys closer than 0.0000001 count as equal, date keys likewise in days;
// text keys compare as GBK bytes. firstRow may be 0: the header row then takes part.
// The rows of the block lose their cell attributes and heights. A kind outside
// 0 … 3 shows "排序列类型错误！" and changes nothing; so does nothing a block of
// fewer than two rows.
void sortRows(GridModel& grid, int column, int firstRow, int lastRow, SortKind kind, Prompter& prompter,
              bool caseSensitive = true, bool ascending = true);

// Sorts, by keyColumn as numbers, every run of consecutive rows that share the
// same non-empty text in groupColumn. Row 0 takes part only with includeHeader.
void sortWithinGroups(GridModel& grid, int groupColumn, int keyColumn, bool includeHeader = false,
                      bool ascending = true);

} // namespace helan
