// Documents inside the database file, as the user meets them: each kind comes back byte for
// byte, a file over 25 MB or of another kind is refused with its name, the same file attached
// twice is stored once and stays until its last record lets go, a damaged chunk is reported,
// and the backup and the compacted copy carry the attachments.

#include "attachments/attachment_store.h"
#include "maintenance/database_copy.h"
#include "tests/support/temp_database.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTest>

using namespace halvo;

namespace {

QByteArray sample(const QString& kind)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (kind == "PDF") {
        QPdfWriter pdf(&buffer);
        QPainter painter(&pdf);
        painter.drawText(100, 100, "Receipt 42");
    } else {
        QImage image(300, 200, QImage::Format_RGB32);
        image.fill(Qt::darkGreen);
        image.save(&buffer, kind.toLatin1());
    }
    return bytes;
}

QString write(const QString& folder, const QString& name, const QByteArray& bytes)
{
    const QString path = folder + "/" + name;
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return path;
}

qlonglong count(const Connection& c, const char* table)
{
    return c.scalar(QString("SELECT count(*) FROM ") + table).value().toLongLong();
}

} // namespace

class TestAttachments : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void refused_data();
    void refused();
    void storedOnce();
    void damagedChunkReported();
    void carriedByCopies();
};

void TestAttachments::roundTrip_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("name");
    QTest::newRow("PDF") << "PDF" << "lease.pdf";
    QTest::newRow("JPEG") << "JPEG" << "roof.jpg";
    QTest::newRow("PNG") << "PNG" << "receipt.png";
    QTest::newRow("several chunks") << "BIG" << "scan.pdf";
}

void TestAttachments::roundTrip()
{
    QFETCH(QString, kind);
    QFETCH(QString, name);
    test::TempDatabase db;
    Connection c = db.connect();
    // Three chunks and a bit: a PDF's head with 800,000 bytes of body.
    const QByteArray bytes =
        kind == "BIG" ? QByteArray("%PDF-1.4\n") + QByteArray(800000, 'x') : sample(kind);
    const qint64 link = attachFile(c, {"tblFinance", 17}, write(db.folder(), name, bytes)).value();
    const QList<AttachmentInfo> shown = attachmentsOf(c, {"tblFinance", 17}).value();
    QCOMPARE(shown.size(), 1);
    QCOMPARE(shown.first().linkId, link);
    QCOMPARE(shown.first().name, name);
    QCOMPARE(attachmentKindName(shown.first().kind), kind == "BIG" ? "PDF" : kind);
    QCOMPARE(shown.first().size, qint64(bytes.size()));
    QCOMPARE(attachmentBytes(c, shown.first().attachmentId).value(), bytes);
    QCOMPARE(attachmentCount(c, {"tblTenant", 17}).value(), 0); // another table's record 17
}

void TestAttachments::refused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<qint64>("size"); // 0: a text file
    QTest::addColumn<QString>("message");
    QTest::newRow("over 25 MB") << "scan.pdf" << MostAttachmentBytes + 1
                                << "The file \"scan.pdf\" is 25.1 MB; files of at most 25 MB can "
                                   "be attached.";
    QTest::newRow("30 MB") << "video.pdf" << qint64(30) * 1024 * 1024
                           << "The file \"video.pdf\" is 30.0 MB; files of at most 25 MB can be "
                              "attached.";
    QTest::newRow("not a document") << "notes.pdf" << qint64(0)
                                    << "Only PDF, JPEG and PNG files can be attached: "
                                       "\"notes.pdf\" is none of them.";
}

void TestAttachments::refused()
{
    QFETCH(QString, name);
    QFETCH(qint64, size);
    QFETCH(QString, message);
    test::TempDatabase db;
    Connection c = db.connect();
    const QString path = write(db.folder(), name, size ? QByteArray("%PDF-1.4\n") : "just text");
    if (size)
        QFile(path).resize(size);
    QCOMPARE(attachFile(c, {"tblTenant", 1}, path).error().description, message);
    QCOMPARE(count(c, "tblAttachmentChunk"), 0);
}

// The same receipt on two ledger rows is one stored file; it goes when the last row lets go.
void TestAttachments::storedOnce()
{
    test::TempDatabase db;
    Connection c = db.connect();
    const QString path = write(db.folder(), "receipt.png", sample("PNG"));
    const qint64 first = attachFile(c, {"tblFinance", 1}, path).value();
    const qint64 second = attachFile(c, {"tblFinance", 2}, path).value();
    QCOMPARE(attachFile(c, {"tblFinance", 2}, path).value(), second); // already there
    QCOMPARE(count(c, "tblAttachment"), 1);
    QCOMPARE(count(c, "tblAttachmentLink"), 2);
    QVERIFY(detach(c, first));
    QCOMPARE(count(c, "tblAttachmentChunk"), 1);
    QVERIFY(detach(c, second));
    QCOMPARE(count(c, "tblAttachment"), 0);
    QCOMPARE(count(c, "tblAttachmentChunk"), 0);
}

void TestAttachments::damagedChunkReported()
{
    test::TempDatabase db;
    Connection c = db.connect();
    attachFile(c, {"tblTenant", 3}, write(db.folder(), "lease.pdf", sample("PDF"))).value();
    QVERIFY(c.execute("UPDATE tblAttachmentChunk SET Data = X'00' || substr(Data, 2)"));
    QCOMPARE(attachmentBytes(c, 1).error().description,
             QString("The attachment \"lease.pdf\" is damaged in the database file: its bytes "
                     "are not the ones that were stored, so it is not shown."));
}

void TestAttachments::carriedByCopies()
{
    test::TempDatabase db;
    Connection c = db.connect();
    const QByteArray bytes = sample("JPEG");
    attachFile(c, {"tblBuilding", 5}, write(db.folder(), "front.jpg", bytes)).value();
    const QString backup = db.folder() + "/backup.mdb", compacted = db.folder() + "/compact.mdb";
    QVERIFY(copyLiveDatabase(c, backup, DatabasePassword));
    QVERIFY(writeCompactedCopy(c, compacted, DatabasePassword));
    for (const QString& copy : {backup, compacted}) {
        {
            const Connection other = Connection::openFile(copy, DatabasePassword).value();
            const QList<AttachmentInfo> shown = attachmentsOf(other, {"tblBuilding", 5}).value();
            QCOMPARE(shown.size(), 1);
            QCOMPARE(attachmentBytes(other, shown.first().attachmentId).value(), bytes);
        }
        releaseDatabase(copy);
    }
}

QTEST_MAIN(TestAttachments)
#include "tst_attachments.moc"
