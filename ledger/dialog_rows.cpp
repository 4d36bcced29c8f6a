#include "dialog_rows.h"

#include "data/connection_string.h"

#include <QGridLayout>
#include <QLabel>

namespace halvo {

QLabel* addRow(QGridLayout* grid, const QString& label, QWidget* field)
{
    const int row = grid->rowCount();
    auto* caption = new QLabel(label, field->parentWidget());
    caption->setBuddy(field);
    field->setAccessibleName(QString(label).remove(QLatin1Char('&')));
    grid->addWidget(caption, row, 0);
    grid->addWidget(field, row, 1);
    return caption;
}

Result<Connection> openDataFolder(const QString& dataFolder)
{
    return Connection::open(standardConnectionString(dataFolder));
}

// Table and column are the program's own names, never the user's.
QStringList listOf(const Connection& connection, const QString& table, const QString& column)
{
    QStringList values;
    static_cast<void>(connection.eachRow(
        QStringLiteral("SELECT DISTINCT %2 FROM %1 WHERE %2 IS NOT NULL AND %2 <> '' ORDER BY %2")
            .arg(table, column),
        {}, [&values](const QStringList&, QVariantList row) {
            values.append(row[0].toString());
            return true;
        }));
    return values;
}

} // namespace halvo
