#pragma once
// DataEnvironment: what the reports read. One connection to the database and six commands, each
// with its record set, its query and its report: the layout it prints with and the preview that
// shows it while one is open. One instance serves the whole program, made on first use.
//
// Every report is prepared and shown in the same steps: close the command's record set if it is
// open, give it the caller's query (if any), open it and run it again so that it holds the
// database's present contents, set the report's heading and title, then show the report.
// Failures come back as values; the windows that prepare a report tell the user.

#include "data/connection.h"
#include "data/record_set.h"
#include "core/result.h"
#include "reports/report_layout.h"

#include <QDate>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantList>
#include <memory>
#include <optional>
#include <vector>

class QWidget;

namespace halvo {

class DataEnvironment;

// A query: its text, with every value that came from the user bound to a "?" in it.
struct ReportQuery {
    QString text;
    QVariantList params;
};

class DataCommand {
public:
    DataCommand(DataEnvironment& environment, QString name, QString storedQuery,
                ReportLayout report);
    ~DataCommand();
    DataCommand(const DataCommand&) = delete;
    DataCommand& operator=(const DataCommand&) = delete;

    QString name() const { return name_; }                         // "cmdIncome"
    QString recordSetName() const { return QStringLiteral("rs") + name_; } // "rscmdIncome"
    QString storedQuery() const { return stored; }
    // The query the record set runs when it is next opened.
    ReportQuery source() const { return query; }

    // The record set. Its rows are those of the last preparation until the next one.
    bool isOpen() const;
    const RecordSet& recordSet() const { return rows; }
    // Closes the record set, and first the preview that still reads it.
    Status close();
    // Sets the query while the record set is closed; refused while it is open.
    Status setSource(const ReportQuery& source);
    Status open();
    // Runs the query again, after closing the preview that reads the present rows.
    Status requery();

    // The report: its layout (heading and title are set here) and its preview, while open.
    ReportLayout& report() { return layout; }
    const ReportLayout& report() const { return layout; }
    QWidget* preview() const { return shown; }
    // Shows the report of the present rows in a preview of its own, not modal, in front of the
    // other windows; the preview shown before it is closed first.
    Result<QWidget*> show(QDate today, QWidget* parent);
    void closePreview();

private:
    DataEnvironment& environment;
    QString name_;
    QString stored;
    ReportQuery query;
    ReportLayout layout;
    RecordSet rows;
    QPointer<QWidget> shown;
};

class DataEnvironment {
public:
    // The one instance, made on first use for the data folder given. Asked for another folder
    // (a test's next data folder), the instance is made anew for it.
    static DataEnvironment& instance(const QString& dataFolder);
    // The instance as it is, or null before first use.
    static DataEnvironment* existing();
    // Ends the instance: its previews close, its record sets and its connection go, so that the
    // database file is free (before a restore replaces it, or at the end of a test).
    static void end();

    explicit DataEnvironment(const QString& dataFolder);
    ~DataEnvironment();
    DataEnvironment(const DataEnvironment&) = delete;
    DataEnvironment& operator=(const DataEnvironment&) = delete;

    QString dataFolder() const { return folder; }
    // The connection HALVODatabase, opened on first use.
    Result<Connection> HALVODatabase();

    // By name: cmdIncome, cmdProperty, cmdTenant, cmdLoan, cmdVendor, cmdNote; null for another.
    DataCommand* command(const QString& name);
    DataCommand& cmdIncome() { return *command(QStringLiteral("cmdIncome")); }
    DataCommand& cmdProperty() { return *command(QStringLiteral("cmdProperty")); }
    DataCommand& cmdTenant() { return *command(QStringLiteral("cmdTenant")); }
    DataCommand& cmdLoan() { return *command(QStringLiteral("cmdLoan")); }
    DataCommand& cmdVendor() { return *command(QStringLiteral("cmdVendor")); }
    DataCommand& cmdNote() { return *command(QStringLiteral("cmdNote")); }

    // The first three steps of every report: close the record set if it is open, set the query
    // (when the caller gives one; else the query stays as it was, the stored one at first), open
    // it and run it again. On a failure the record set is left closed and nothing is shown.
    Status prepare(const QString& commandName, const std::optional<ReportQuery>& query = {});

private:
    QString folder;
    std::optional<Connection> connection;
    std::vector<std::unique_ptr<DataCommand>> commands;
};

} // namespace halvo
