// A second program for the tests, working on a database file the way another process would:
//   ledger_writer write <file>  adds ledger rows one by one, printing how many are committed
//   ledger_writer hold <file>   takes the file's exclusive lock and keeps it until killed
//   ledger_writer add <file> <yyyy-MM-dd> <cents>   adds one ledger income and ends

#include "data/connection.h"
#include "data/connection_string.h"
#include "data/money.h"

#include <QCoreApplication>
#include <QDate>
#include <QThread>
#include <cstdio>

using namespace halvo;

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 3)
        return 2;
    Result<Connection> c = Connection::openFile(args[2], DatabasePassword);
    if (!c) {
        std::fprintf(stderr, "%s\n", qPrintable(c.error().description));
        return 1;
    }
    if (args[1] == QLatin1String("hold")) {
        if (!c.value().executeScript(
                QStringLiteral("BEGIN EXCLUSIVE; INSERT INTO tblUser (Password) VALUES ('x');")))
            return 1;
        std::printf("holding\n");
        std::fflush(stdout);
        for (;;)
            QThread::sleep(1);
    }
    if (args[1] == QLatin1String("add") && args.size() == 5) {
        const bool added =
            c.value()
                .execute(QStringLiteral("INSERT INTO tblFinance (NickName, RecDate, Income) "
                                        "VALUES ('ELM', ?, ?)"),
                         {QDate::fromString(args[3], Qt::ISODate),
                          QVariant::fromValue(Money::fromCents(args[4].toLongLong()))})
                .ok();
        return added ? 0 : 1;
    }
    const QString insert = QStringLiteral(
        "INSERT INTO tblFinance (NickName, RecDate, Payee, Category, Memo, Income) "
        "VALUES (?, ?, ?, ?, ?, ?)");
    for (long long n = 1;; ++n) {
        const QVariantList row{QStringLiteral("ELM"), QDate(2026, 1, 1).addDays(n % 365),
                               QStringLiteral("Tenant %1").arg(n), QStringLiteral("Rent"),
                               QString(200, QLatin1Char('m')),
                               QVariant::fromValue(Money::fromCents(n))};
        if (!c.value().execute(insert, row))
            return 1;
        std::printf("%lld\n", n);
        std::fflush(stdout);
    }
}
