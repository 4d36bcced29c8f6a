#include "data_environment.h"

#include "data/connection_string.h"
#include "reports/report_layouts.h"
#include "reports/report_preview.h"

#include <QCoreApplication>
#include <QWidget>

namespace halvo {

namespace {

// The commands' stored queries. That of cmdIncome is never run as it stands: the income and
// the category report always give it a query of their own over every column of tblFinance,
// which is what delivers the Category its layout prints.
const QString IncomeQuery = QStringLiteral("SELECT ID, NickName, RecDate, CheckNo, Payee, `Memo`, "
                                           "Income, Expense, Income - Expense AS Total FROM tblFinance");
const QString PropertyQuery = QStringLiteral("Select * From tblBuilding");
const QString TenantQuery = QStringLiteral("Select * From tblTenant");
const QString LoanQuery = QStringLiteral("Select * From tblLoan");
const QString VendorQuery = QStringLiteral("Select * From tblVendor");
const QString NoteQuery = QStringLiteral("Select * From tblNotes");

std::unique_ptr<DataEnvironment>& theInstance()
{
    static std::unique_ptr<DataEnvironment> environment;
    return environment;
}

} // namespace

// ---- a command ----

DataCommand::DataCommand(DataEnvironment& environment, QString name, QString storedQuery,
                         ReportLayout report)
    : environment(environment)
    , name_(std::move(name))
    , stored(std::move(storedQuery))
    , query{stored, {}}
    , layout(std::move(report))
{
}

// The preview reads the record set: it goes first.
DataCommand::~DataCommand() { closePreview(); }

bool DataCommand::isOpen() const { return rows.isOpen(); }

Status DataCommand::close()
{
    closePreview();
    if (!rows.isOpen())
        return {};
    return rows.close();
}

Status DataCommand::setSource(const ReportQuery& source)
{
    if (rows.isOpen())
        return Error{QStringLiteral("The query of %1 cannot be changed while its record set is open.")
                         .arg(name_)};
    query = source;
    return {};
}

Status DataCommand::open()
{
    Result<Connection> db = environment.HALVODatabase();
    if (!db)
        return db.error();
    return rows.open(db.value(), query.text, query.params);
}

Status DataCommand::requery()
{
    closePreview();
    return rows.requery();
}

void DataCommand::closePreview()
{
    if (!shown)
        return;
    // Gone at once, not later: the record set it reads is about to change or close.
    QWidget* preview = shown;
    shown = nullptr;
    preview->close();
    delete preview;
}

Result<QWidget*> DataCommand::show(QDate today, QWidget* parent)
{
    closePreview();
    if (!rows.isOpen())
        return Error{QStringLiteral("The record set %1 is not open.").arg(recordSetName())};
    Result<ReportPreview*> made = ReportPreview::show(layout, rows, today, parent);
    if (!made)
        return made.error();
    shown = made.value();
    shown->raise();
    shown->activateWindow();
    return static_cast<QWidget*>(shown);
}

// ---- the environment ----

DataEnvironment& DataEnvironment::instance(const QString& dataFolder)
{
    std::unique_ptr<DataEnvironment>& environment = theInstance();
    if (environment && environment->dataFolder() != dataFolder)
        environment.reset();
    if (!environment) {
        environment = std::make_unique<DataEnvironment>(dataFolder);
        // Ended while the windows still exist: its previews are windows, and its record sets
        // must not outlive the database they read.
        static QCoreApplication* watched = nullptr;
        if (QCoreApplication* app = QCoreApplication::instance(); app && app != watched) {
            watched = app;
            QObject::connect(app, &QCoreApplication::aboutToQuit, app, &DataEnvironment::end);
        }
    }
    return *environment;
}

DataEnvironment* DataEnvironment::existing() { return theInstance().get(); }

void DataEnvironment::end() { theInstance().reset(); }

DataEnvironment::DataEnvironment(const QString& dataFolder) : folder(dataFolder)
{
    auto add = [this](const char* name, const QString& query, ReportLayout report) {
        commands.push_back(std::make_unique<DataCommand>(*this, QString::fromLatin1(name), query,
                                                         std::move(report)));
    };
    add("cmdIncome", IncomeQuery, ReportLayouts::rptIncome());
    add("cmdProperty", PropertyQuery, ReportLayouts::rptProperty());
    add("cmdTenant", TenantQuery, ReportLayouts::rptTenantLease());
    add("cmdLoan", LoanQuery, ReportLayouts::rptMortgageLoan());
    add("cmdVendor", VendorQuery, ReportLayouts::rptVendor());
    add("cmdNote", NoteQuery, ReportLayouts::rptNotes());
}

// Previews and record sets go before the connection they read through.
DataEnvironment::~DataEnvironment()
{
    for (auto& c : commands)
        static_cast<void>(c->close());
    commands.clear();
    connection.reset();
}

// The connection finds the database in the data folder, as the editors do, not in whatever
// the current folder happens to be: a report then reads the same file as every other window,
// whichever folder the program was started from.
Result<Connection> DataEnvironment::HALVODatabase()
{
    if (connection)
        return *connection;
    Result<Connection> opened = Connection::open(standardConnectionString(folder));
    if (!opened)
        return opened.error();
    connection = opened.value();
    return *connection;
}

DataCommand* DataEnvironment::command(const QString& name)
{
    for (auto& c : commands)
        if (c->name() == name)
            return c.get();
    return nullptr;
}

Status DataEnvironment::prepare(const QString& commandName, const std::optional<ReportQuery>& query)
{
    DataCommand* c = command(commandName);
    if (!c)
        return Error{QStringLiteral("There is no data command %1.").arg(commandName)};
    if (Status closed = c->close(); !closed)
        return closed;
    if (query) {
        if (Status set = c->setSource(*query); !set)
            return set;
    }
    Status run = c->open();
    if (run)
        run = c->requery();
    if (!run) {
        // A query that fails leaves no rows behind for a report to show.
        static_cast<void>(c->close());
        return run;
    }
    return {};
}

} // namespace halvo
