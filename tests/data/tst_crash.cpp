// A program killed in the middle of writing loses nothing it had committed and leaves a file
// that is whole.

#include "tests/support/temp_database.h"

#include <QProcess>
#include <QTest>
#include <csignal>

using namespace halvo;

class TestCrash : public QObject {
    Q_OBJECT
private slots:
    void killedWriterLeavesWholeFile();
};

void TestCrash::killedWriterLeavesWholeFile()
{
    test::TempDatabase db;
    QProcess writer;
    writer.start(QStringLiteral(LEDGER_WRITER), {QStringLiteral("write"), db.path()});
    QVERIFY(writer.waitForStarted());

    // Let it commit a good number of rows, then kill it without warning, mid-loop.
    long long committed = 0;
    QByteArray pending;
    while (committed < 2000 && writer.waitForReadyRead(10000)) {
        pending += writer.readAllStandardOutput();
        const qsizetype end = pending.lastIndexOf('\n');
        if (end < 0)
            continue;
        const QList<QByteArray> lines = pending.left(end).split('\n');
        committed = lines.last().toLongLong();
        pending = pending.mid(end + 1);
    }
    ::kill(pid_t(writer.processId()), SIGKILL);
    writer.waitForFinished();
    QVERIFY(committed >= 2000);

    Connection c = db.connect();
    QCOMPARE(c.scalar(QStringLiteral("PRAGMA integrity_check")).value().toString(),
             QStringLiteral("ok"));
    const long long rows =
        c.scalar(QStringLiteral("SELECT count(*) FROM tblFinance")).value().toLongLong();
    QVERIFY2(rows >= committed, qPrintable(QStringLiteral("%1 < %2").arg(rows).arg(committed)));
    // Every committed row is whole: its amount is its number.
    QCOMPARE(c.scalar(QStringLiteral("SELECT count(*) FROM tblFinance WHERE Income <> ID * 100"))
                 .value()
                 .toLongLong(),
             0);
}

QTEST_GUILESS_MAIN(TestCrash)
#include "tst_crash.moc"
