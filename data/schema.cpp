#include "schema.h"

#include "connection.h"
#include "sqlite_statement.h"

#include "attachments/attachment_schema.h"
#include "glance/glance_schema.h"
#include "rentroll/rent_roll_schema.h"
#include "statements/import_schema.h"
#include "tax/depreciation_schema.h"
#include "tax/mileage_schema.h"
#include "tax/schedule_e_schema.h"
#include "tax/vendors_paid_schema.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

namespace halvo {

namespace {

using detail::engineError;
using detail::Statement;

Result<QVariant> firstValue(sqlite3* db, const QString& sql, const QVariantList& params = {})
{
    Result<Statement> stmt = Statement::prepare(db, sql);
    if (!stmt)
        return stmt.error();
    if (Status bound = stmt.value().bind(params); !bound)
        return bound.error();
    Result<bool> row = stmt.value().step();
    if (!row)
        return row.error();
    return row.value() ? stmt.value().value(0) : QVariant();
}

// The file keeps the number in its header, where the engine keeps it for the application.
Result<int> stepTaken(sqlite3* db)
{
    Result<QVariant> version = firstValue(db, QStringLiteral("PRAGMA user_version"));
    if (!version)
        return version.error();
    return version.value().toInt();
}

int lastNumber(const SchemaSteps& steps) { return steps.empty() ? 0 : steps.back().number; }

Error newerFile(const QString& path)
{
    return Error{QStringLiteral("The database file \"%1\" was written by a newer version of HALVO, "
                                "which keeps its records in a way this one does not know. It is "
                                "left as it is: open it with that version.")
                     .arg(path),
                 SchemaNewerThanProgram};
}

// Whether a file from before the steps were numbered has had the step already.
Result<bool> takenBeforeNumbers(sqlite3* db, const SchemaStep& step)
{
    if (!step.takenWithTable)
        return false;
    Result<QVariant> found = firstValue(
        db, QStringLiteral("SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = ?"),
        {QString::fromUtf8(step.takenWithTable)});
    if (!found)
        return found.error();
    return found.value().toInt() > 0;
}

Status takeEach(sqlite3* db, const QString& path, const SchemaSteps& steps, int taken)
{
    for (const SchemaStep& step : steps) {
        if (step.number <= taken)
            continue;
        Result<bool> had = taken == 0 ? takenBeforeNumbers(db, step) : Result<bool>(false);
        if (!had)
            return had.error();
        if (had.value())
            continue;
        const QByteArray sql = step.sql.toUtf8();
        if (int rc = sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr); rc != SQLITE_OK)
            return engineError(db, rc,
                               QStringLiteral("The database file \"%1\" could not be brought up "
                                              "to date, and nothing in it was changed. Step %2 (%3) "
                                              "failed")
                                   .arg(path)
                                   .arg(step.number)
                                   .arg(QString::fromUtf8(step.what)));
    }
    const QByteArray mark = QStringLiteral("PRAGMA user_version = %1").arg(lastNumber(steps)).toUtf8();
    if (int rc = sqlite3_exec(db, mark.constData(), nullptr, nullptr, nullptr); rc != SQLITE_OK)
        return engineError(db, rc, QStringLiteral("The database file \"%1\" could not be brought "
                                                  "up to date")
                                       .arg(path));
    return {};
}

SchemaSteps inOrder(std::initializer_list<const SchemaSteps*> rooms)
{
    SchemaSteps all;
    for (const SchemaSteps* room : rooms)
        all.insert(all.end(), room->begin(), room->end());
    std::stable_sort(all.begin(), all.end(),
                     [](const SchemaStep& a, const SchemaStep& b) { return a.number < b.number; });
    return all;
}

} // namespace

// One line a room. Each room declares its own steps; their numbers say in which order every
// file takes them.
const SchemaSteps& schemaSteps()
{
    static const SchemaSteps all = inOrder({
        &baseSchemaSteps(),
        &importSchemaSteps(),
        &scheduleESchemaSteps(),
        &vendorsPaidSchemaSteps(),
        &rentRollSchemaSteps(),
        &attachmentSchemaSteps(),
        &glanceSchemaSteps(),
        &depreciationSchemaSteps(),
        &mileageSchemaSteps(),
    });
    return all;
}

int schemaStepsKnown() { return lastNumber(schemaSteps()); }

namespace detail {

Status refuseNewerSchema(sqlite3* db, const QString& path)
{
    Result<int> taken = stepTaken(db);
    if (!taken)
        return taken.error();
    if (taken.value() > schemaStepsKnown())
        return newerFile(path);
    return {};
}

Status takeSchemaSteps(sqlite3* db, const QString& path, const SchemaSteps& steps)
{
    Result<int> before = stepTaken(db);
    if (!before)
        return before.error();
    if (before.value() == lastNumber(steps))
        return {};
    // The number is read again once the file is ours to write: what it says then is what the
    // steps start from.
    if (int rc = sqlite3_exec(db, "BEGIN IMMEDIATE;", nullptr, nullptr, nullptr); rc != SQLITE_OK)
        return engineError(db, rc, QStringLiteral("The database file \"%1\" could not be brought "
                                                  "up to date")
                                       .arg(path));
    Result<int> taken = stepTaken(db);
    Status done = !taken                                ? Status(taken.error())
                  : taken.value() > lastNumber(steps)   ? Status(newerFile(path))
                                                        : takeEach(db, path, steps, taken.value());
    if (done) {
        if (int rc = sqlite3_exec(db, "COMMIT;", nullptr, nullptr, nullptr); rc != SQLITE_OK)
            done = engineError(db, rc, QStringLiteral("The database file \"%1\" could not be "
                                                      "brought up to date")
                                           .arg(path));
    }
    if (!done)
        sqlite3_exec(db, "ROLLBACK;", nullptr, nullptr, nullptr);
    return done;
}

} // namespace detail

Result<int> schemaStepTaken(const Connection& connection) { return stepTaken(connection.handle()); }

Status takeSchemaSteps(const Connection& connection, const SchemaSteps& steps)
{
    return detail::takeSchemaSteps(connection.handle(), connection.filePath(), steps);
}

QString schemaScript()
{
    QString sql;
    for (const SchemaStep& step : schemaSteps())
        sql += step.sql + QLatin1Char('\n');
    return sql;
}

Status createDatabase(const QString& path, const QString& password)
{
    if (QFileInfo::exists(path))
        return Error{QStringLiteral("\"%1\" exists already; it is left as it is.").arg(path)};
    sqlite3* db = nullptr;
    const QByteArray name = QFile::encodeName(path);
    int rc = sqlite3_open_v2(name.constData(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                             nullptr);
    if (rc == SQLITE_OK) {
        const QByteArray key = password.toUtf8();
        rc = sqlite3_key(db, key.constData(), int(key.size()));
    }
    if (rc == SQLITE_OK)
        rc = sqlite3_exec(db, detail::cipherPageSize, nullptr, nullptr, nullptr);
    Status result = rc == SQLITE_OK
                        ? detail::takeSchemaSteps(db, path, schemaSteps())
                        : Status(engineError(db, rc, QStringLiteral("The database could not be made")));
    sqlite3_close_v2(db);
    if (!result)
        QFile::remove(path);
    return result;
}

} // namespace halvo
