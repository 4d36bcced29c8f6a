#pragma once
// Tables that open wide enough to show every column whole: the width a table needs, and a window
// of its own made that wide, as far as its screen allows (beyond it, the table scrolls).

class QTableView;
class QWidget;

namespace halvo {

// The width `view` needs to show each of its visible columns whole (at the larger of its width
// and what its heading asks for, and its cells where the column is sized by them), with its row
// headers, frame and a vertical scroll bar.
int tableWidthForColumns(const QTableView* view);

// Widens `window` (a window of its own: a dialog) so that `table` in it shows every column whole,
// as far as the screen allows; a window already wide enough keeps its width.
void widenForTable(QWidget* window, const QTableView* table);

} // namespace halvo
