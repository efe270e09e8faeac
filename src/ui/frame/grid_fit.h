// The column fitters of the program's grids: a column becomes as wide as its widest text.
#pragma once

class QTableView;

namespace zev7 {

enum class GridFit {
    HeaderLines,  // every line of a multi-line header counts on its own; 3 pixels of margin
    WholeCells,   // every cell as a whole; 15 pixels of margin
};

// The widest text of the column (at least the grid's default column width) plus twice the grid
// line width and the margin of the form.
void FitGridColumn(QTableView* grid, int column, GridFit form);

}  // namespace zev7
