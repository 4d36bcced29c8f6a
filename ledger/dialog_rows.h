#pragma once
// What the statement windows share: a labelled row of a form (the label is the field's buddy, so
// its mnemonic reaches the field and a screen reader reads it as the field's name), the lists of
// properties, payees and categories the pickers offer, and a connection to the data folder's file.

#include "data/connection.h"

#include <QString>
#include <QStringList>

class QGridLayout;
class QLabel;
class QWidget;

namespace halvo {

QLabel* addRow(QGridLayout* grid, const QString& label, QWidget* field);

// The database of the data folder, opened with the program's connection text.
Result<Connection> openDataFolder(const QString& dataFolder);

// One column's values, in ascending order, empty and missing ones left out: the property
// nicknames, the vendors' companies, a kind's category names.
QStringList listOf(const Connection& connection, const QString& table, const QString& column);

} // namespace halvo
