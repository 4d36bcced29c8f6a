#pragma once
// A CSV file as rows of fields, for the mapping window and the import: the file's text decoded
// from the encoding the user chose, split by libcsv, each row with the line of the file it
// begins on so that every message can point the user at it.

#include "core/result.h"

#include <QByteArray>
#include <QChar>
#include <QList>
#include <QString>
#include <QStringList>

namespace halvo {

struct CsvRow {
    int line = 0; // 1-based physical line of the file where the row begins
    QStringList fields;
};

// The encodings the mapping window offers, by the names it shows: "UTF-8", "Windows-1252",
// "ISO-8859-1", "UTF-16".
QStringList csvEncodings();

// Reads the rows of a CSV file. The delimiter is a comma, a semicolon or a tab. A byte order
// mark is skipped and rows with nothing in them are left out. Quotes are taken off a quoted
// field, doubled quotes inside it undone, and the delimiters and line breaks it holds kept;
// blanks around an unquoted field are dropped. A quote out of place, a quote never closed and
// text that is not in the chosen encoding are errors naming their line.
Result<QList<CsvRow>> readCsv(const QByteArray& bytes, const QString& encoding, QChar delimiter);

} // namespace halvo
