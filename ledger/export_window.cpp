#include "export_window.h"

#include "dialog_rows.h"
#include "controls/links.h"
#include "controls/pickers.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "platform/prompts.h"
#include "csv/csv_writer.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLocale>

namespace halvo {

namespace {

const QString Ledger = QStringLiteral("Ledger");
const QString AllYears = QStringLiteral("All Years");
const QString AllProperties = QStringLiteral("All Properties");

// The password table stays out: its hash is nobody's business outside the file.
const QList<std::pair<QString, QString>>& tables()
{
    static const QList<std::pair<QString, QString>> list{
        {Ledger, QStringLiteral("tblFinance")},
        {QStringLiteral("Properties"), QStringLiteral("tblBuilding")},
        {QStringLiteral("Tenants"), QStringLiteral("tblTenant")},
        {QStringLiteral("Loans"), QStringLiteral("tblLoan")},
        {QStringLiteral("Insurance"), QStringLiteral("tblInsurance")},
        {QStringLiteral("Vendors"), QStringLiteral("tblVendor")},
        {QStringLiteral("Categories"), QStringLiteral("tblCategory")},
        {QStringLiteral("Notes"), QStringLiteral("tblNotes")},
    };
    return list;
}

} // namespace

QStringList exportTables()
{
    QStringList names;
    for (const auto& [caption, table] : tables())
        names.append(caption);
    return names;
}

ExportQuery exportQuery(const QString& table, const QString& year, const QString& property)
{
    QString name = QStringLiteral("tblFinance");
    for (const auto& [caption, t] : tables())
        if (caption == table)
            name = t;
    ExportQuery q{QStringLiteral("SELECT * FROM %1").arg(name), {}, table.toLower()};
    if (table != Ledger) {
        q.sql += QStringLiteral(" ORDER BY ID");
        return q;
    }
    QStringList where;
    if (year != AllYears) {
        where.append(QStringLiteral("RecDate >= ? AND RecDate < ?"));
        q.params << QDate(year.toInt(), 1, 1) << QDate(year.toInt() + 1, 1, 1);
        q.fileName += QLatin1Char('-') + year;
    }
    if (property != AllProperties) {
        where.append(QStringLiteral("NickName = ?"));
        q.params << property;
        q.fileName += QLatin1Char('-') + property;
    }
    if (!where.isEmpty())
        q.sql += QStringLiteral(" WHERE ") + where.join(QStringLiteral(" AND "));
    q.sql += QStringLiteral(" ORDER BY RecDate, ID");
    return q;
}

frmExport::frmExport(const Connection& connection, QWidget* parent)
    : QDialog(parent), connection(connection)
{
    setObjectName(QStringLiteral("frmExport"));
    setWindowTitle(QStringLiteral("Export to CSV"));
    auto* grid = new QGridLayout(this);
    cboTable = new Picker(this);
    cboTable->setObjectName(QStringLiteral("cboTable"));
    cboTable->addItems(exportTables());
    cboYear = new Picker(this);
    cboYear->setObjectName(QStringLiteral("cboYear"));
    cboYear->addItem(AllYears);
    static_cast<void>(connection.eachRow(
        QStringLiteral("SELECT DISTINCT substr(RecDate, 1, 4) FROM tblFinance "
                       "WHERE RecDate IS NOT NULL ORDER BY 1 DESC"),
        {}, [this](const QStringList&, QVariantList row) {
            cboYear->addItem(row[0].toString());
            return true;
        }));
    cboProperty = new Picker(this);
    cboProperty->setObjectName(QStringLiteral("cboProperty"));
    cboProperty->addItem(AllProperties);
    cboProperty->addItems(listOf(connection, QStringLiteral("tblBuilding"), QStringLiteral("BldNickName")));
    addRow(grid, QStringLiteral("&Table:"), cboTable);
    addRow(grid, QStringLiteral("&Year:"), cboYear);
    addRow(grid, QStringLiteral("&Property:"), cboProperty);
    // Year and property narrow the ledger only.
    connect(cboTable, &QComboBox::currentIndexChanged, this, [this] {
        const bool ledger = cboTable->text() == Ledger;
        cboYear->setEnabled(ledger);
        cboProperty->setEnabled(ledger);
    });

    auto* exportLink = makeLink(this, QStringLiteral("Export"), QStringLiteral("Export"));
    auto* close = makeLink(this, QStringLiteral("Close"), QStringLiteral("Close"));
    connect(exportLink, &VeyHyperLinkLabel::Click, this, &frmExport::Export_Click);
    connect(close, &VeyHyperLinkLabel::Click, this, &QDialog::reject);
    auto* commands = new QHBoxLayout;
    commands->addStretch();
    commands->addWidget(exportLink);
    commands->addWidget(close);
    grid->addLayout(commands, grid->rowCount(), 0, 1, 2);
    grid->setColumnStretch(1, 1);
    setMinimumWidth(fontMetrics().averageCharWidth() * 50);
}

void frmExport::Export_Click()
{
    const ExportQuery q = exportQuery(cboTable->text(), cboYear->text(), cboProperty->text());
    const QString path = prompts().saveFileName(
        this, QStringLiteral("Export to CSV"), QDir::home().filePath(q.fileName + QStringLiteral(".csv")),
        QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (path.isEmpty())
        return;
    qint64 written = 0;
    Status done = exportCsv(connection, q.sql, q.params, path, [&written](qint64 rows) { written = rows; });
    if (!done) {
        prompts().message(this, done.error().description, QStringLiteral("Export to CSV"),
                          Prompts::Buttons::Ok, Prompts::Icon::Warning);
        return;
    }
    prompts().message(this,
                      QStringLiteral("%1 %2 exported to \"%3\".")
                          .arg(QLocale(QLocale::English).toString(written))
                          .arg(written == 1 ? QStringLiteral("row") : QStringLiteral("rows"))
                          .arg(QFileInfo(path).fileName()),
                      QStringLiteral("Export to CSV"));
}

} // namespace halvo
