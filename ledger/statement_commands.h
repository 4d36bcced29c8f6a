#pragma once
// The File menu's statement commands: Import Statement (an OFX, QFX or CSV file into the ledger,
// through the CSV mapping for a CSV file and the line preview for every file), Undo Last Import
// Payee Rules and Export to CSV. Each asks and tells the user through the prompts.

#include "core/result.h"

#include <QPointer>
#include <QString>
#include <QWidget>

namespace halvo {

// Whether the file's first bytes are those of an OFX or QFX statement (its SGML header, or XML
// holding an OFX element); anything else is read as CSV.
bool looksLikeOfx(const QByteArray& start);
// A statement file's bytes, read whole; never the database file the program has open.
Result<QByteArray> readStatementFile(const QString& path);

class StatementCommands {
public:
    StatementCommands(QWidget* parent, QString dataFolder)
        : parent(parent), folder(std::move(dataFolder))
    {
    }
    void ImportStatement();
    // Imports the file at `path` as ImportStatement does once the user has chosen it.
    void importFile(const QString& path);
    void UndoLastImport();
    void PayeeRules();
    void ExportToCsv();

private:
    QPointer<QWidget> parent;
    QString folder;
};

} // namespace halvo
