#include "table_width.h"

#include <QHeaderView>
#include <QLayout>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <algorithm>

namespace halvo {

int tableWidthForColumns(const QTableView* view)
{
    int width = 2 * view->frameWidth() + view->verticalScrollBar()->sizeHint().width();
    if (!view->verticalHeader()->isHidden())
        width += view->verticalHeader()->sizeHint().width();
    const QHeaderView* header = view->horizontalHeader();
    // What the cells ask for, through the view's public face (QTableView hides it). Only a
    // column sized by its contents is measured: the others have the width they were given, and
    // measuring a long text (a note) would cost what its grid saves by showing a line of it.
    const QAbstractItemView* cells = view;
    for (int c = 0; view->model() && c < view->model()->columnCount(); ++c) {
        if (view->isColumnHidden(c))
            continue;
        const bool byContents = header->sectionResizeMode(c) == QHeaderView::ResizeToContents;
        width += std::max({view->columnWidth(c), header->sectionSizeHint(c),
                           byContents ? cells->sizeHintForColumn(c) : 0});
    }
    return width;
}

void widenForTable(QWidget* window, const QTableView* table)
{
    if (QLayout* layout = window->layout())
        layout->activate();
    // What stands beside the table and around it keeps its room.
    const int around = std::max(0, window->sizeHint().width() - table->sizeHint().width());
    int wanted = std::max(window->width(), tableWidthForColumns(table) + around);
    if (const QScreen* screen = window->screen())
        wanted = std::min(wanted, screen->availableGeometry().width());
    if (wanted > window->width())
        window->resize(wanted, window->height());
}

} // namespace halvo
