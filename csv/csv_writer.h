#pragma once
// Tables out as CSV files (RFC 4180, UTF-8 without a byte order mark), written so that the
// program's own CSV import reads them back with the same amounts, dates and texts.

#include "core/result.h"
#include "data/connection.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <functional>

namespace halvo {

// A value as a CSV field: nothing for NULL; money plainly with two decimals, or up to four where
// it has them ("1250.00", "-50.00", "12.3456"); dates as 2026-03-31, times as 14:05:00; other
// numbers in their shortest form ("3", "6.5"); text as it is.
QString csvValue(const QVariant& value);

// One line of a CSV file, ended by CR LF. A field holding a comma, a quote or a line break, or
// beginning or ending with a blank, is put in quotes, its own quotes doubled.
QByteArray csvLine(const QStringList& fields);

// Writes the rows of a statement to a CSV file at `path`: a line of the column names, then one
// line for each row, read from the database one at a time so that memory stays flat however
// many there are. `progress` is told how many rows are written now and then, and at the end.
// The file appears whole or not at all: when anything fails, the file that was at `path` (if
// any) stays as it was.
Status exportCsv(const Connection& connection, const QString& sql, const QVariantList& params,
                 const QString& path, const std::function<void(qint64 rows)>& progress = {});

// Writes a table the program holds to a CSV file at `path`, a line for each row and its values
// as csvValue gives them; whole or not at all, as above.
Status writeCsv(const QString& path, const QList<QVariantList>& rows);

} // namespace halvo
