#include "statement_commands.h"

#include "data/connection.h"
#include "csv_mapping_window.h"
#include "dialog_rows.h"
#include "export_window.h"
#include "import_window.h"
#include "payee_rules_window.h"
#include "statement_account_window.h"
#include "platform/prompts.h"
#include "statements/ofx_reader.h"
#include "statements/statement_accounts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace halvo {

namespace {

const QString ImportTitle = QStringLiteral("Import Statement");
const QString UndoTitle = QStringLiteral("Undo Last Import");

// A statement file is read whole: bank statements are small, and a file of a hundred megabytes
// is no statement.
constexpr qint64 LargestStatement = 100 * 1024 * 1024;

} // namespace

Result<QByteArray> readStatementFile(const QString& path)
{
    if (Status free = notHeldByEngine(path); !free)
        return free.error();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Error{QStringLiteral("\"%1\" cannot be read: %2").arg(path, file.errorString())};
    if (file.size() > LargestStatement)
        return Error{QStringLiteral("\"%1\" is too large to be a bank statement.").arg(path)};
    return file.readAll();
}

bool looksLikeOfx(const QByteArray& start)
{
    const QByteArray head = start.left(4096).trimmed().toUpper();
    return head.startsWith("OFXHEADER") || (head.startsWith("<?XML") && head.contains("<OFX"))
           || head.startsWith("<OFX");
}

void StatementCommands::ImportStatement()
{
    const QString path = prompts().openFileName(
        parent, ImportTitle, QDir::homePath(),
        QStringLiteral("Bank statements (*.ofx *.qfx *.csv *.txt);;All files (*)"));
    if (!path.isEmpty())
        importFile(path);
}

void StatementCommands::importFile(const QString& path)
{
    auto fail = [this](const QString& text) {
        prompts().message(parent, text, ImportTitle, Prompts::Buttons::Ok, Prompts::Icon::Warning);
    };
    Result<Connection> connection = openDataFolder(folder);
    Result<QByteArray> bytes = readStatementFile(path);
    if (!connection || !bytes)
        return fail(!connection ? connection.error().description : bytes.error().description);
    Result<Statement> statement = Error{};
    if (looksLikeOfx(bytes.value())) {
        // libofx writes its working copy of the statement into a folder of the program's own.
        statement = readOfxFile(path, folder);
    } else {
        frmCsvMapping mapping(connection.value(), bytes.value(), parent);
        if (mapping.exec() != QDialog::Accepted)
            return;
        statement = mapping.statement();
    }
    if (!statement)
        return fail(statement.error().description);
    // An account the program has not imported from is named first: the duplicate check compares
    // the lines of one named account, whichever files they came from. The names are kept only
    // with the import.
    Result<QList<FileAccount>> unnamed = unnamedAccounts(connection.value(), statement.value());
    if (!unnamed)
        return fail(unnamed.error().description);
    QHash<QString, QString> names;
    if (!unnamed.value().isEmpty()) {
        frmStatementAccounts naming(connection.value(), unnamed.value(), parent);
        if (naming.exec() != QDialog::Accepted)
            return;
        names = naming.names();
    }
    Result<QList<ImportLine>> planned = planImport(connection.value(), statement.value(), names);
    if (!planned)
        return fail(planned.error().description);
    frmImport preview(connection.value(), planned.value(), QFileInfo(path).fileName(), parent);
    preview.setTradesLeftOut(statement.value().tradesLeftOut);
    preview.exec();
}

void StatementCommands::UndoLastImport()
{
    Result<Connection> connection = openDataFolder(folder);
    Result<std::optional<ImportBatch>> last =
        connection ? lastImport(connection.value()) : Result<std::optional<ImportBatch>>(connection.error());
    if (!last) {
        prompts().message(parent, last.error().description, UndoTitle, Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
        return;
    }
    if (!last.value()) {
        prompts().message(parent, QStringLiteral("No import is left to undo."), UndoTitle);
        return;
    }
    const ImportBatch& batch = *last.value();
    const QString question =
        QStringLiteral("Remove the %1 ledger %2 imported from \"%3\" on %4? Changes made to them "
                       "since go with them.")
            .arg(batch.lines)
            .arg(batch.lines == 1 ? QStringLiteral("line") : QStringLiteral("lines"))
            .arg(batch.source, QLocale(QLocale::English).toString(batch.importedAt, QStringLiteral("M/d/yyyy h:mm AP")));
    if (prompts().message(parent, question, UndoTitle, Prompts::Buttons::YesNo,
                          Prompts::Icon::Question)
        != Prompts::Answer::Yes)
        return;
    Result<int> removed = undoImport(connection.value(), batch.id);
    if (!removed) {
        prompts().message(parent, removed.error().description, UndoTitle, Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
        return;
    }
    prompts().message(parent,
                      QStringLiteral("%1 %2 removed from the ledger.")
                          .arg(removed.value())
                          .arg(removed.value() == 1 ? QStringLiteral("line was")
                                                    : QStringLiteral("lines were")),
                      UndoTitle);
}

// A window of its own over the data folder's file, or why the file cannot be opened.
template <typename Window>
static void showOverDataFolder(QWidget* parent, const QString& folder, const QString& title)
{
    Result<Connection> connection = openDataFolder(folder);
    if (!connection) {
        prompts().message(parent, connection.error().description, title, Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
        return;
    }
    Window window(connection.value(), parent);
    window.exec();
}

void StatementCommands::PayeeRules()
{
    showOverDataFolder<frmPayeeRules>(parent, folder, QStringLiteral("Payee Rules"));
}

void StatementCommands::ExportToCsv()
{
    showOverDataFolder<frmExport>(parent, folder, QStringLiteral("Export to CSV"));
}

} // namespace halvo
