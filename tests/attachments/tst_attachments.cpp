// Documents inside the database file, as the user meets them: each kind comes back byte for
// byte, a file over 25 MB or of another kind is refused with its name, the same file attached
// twice is stored once and stays until its last record lets go, a damaged chunk is reported,
// and the backup and the compacted copy carry the attachments.

#include "attachments/attachment_store.h"
#include "attachments/attachment_viewer.h"
#include "attachments/attachments_window.h"
#include "platform/prompts.h"
#include "maintenance/database_copy.h"
#include "tests/support/temp_database.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QScrollArea>
#include <QTemporaryDir>
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
    // The process's own temporary folder, so that what other programs put in theirs meanwhile
    // does not count as a copy this one wrote.
    QTemporaryDir temporary;
private slots:
    void initTestCase() { qputenv("TMPDIR", temporary.path().toLocal8Bit()); }
    void roundTrip_data();
    void roundTrip();
    void refused_data();
    void refused();
    void storedOnce();
    void damagedChunkReported();
    void carriedByCopies();
    void viewedInMemory_data();
    void viewedInMemory();
    void pagesTurnFromTheKeyboard();
    void attachedInTheWindow();
    void theOpenDatabaseIsLeftAlone_data();
    void theOpenDatabaseIsLeftAlone();
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

// Shown from memory: no file appears in the temporary folder or the program's while a document
// is open; a damaged one is refused with its name.
void TestAttachments::viewedInMemory_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QString>("failure");
    QTest::newRow("PNG") << "PNG" << sample("PNG") << 1 << QString();
    QTest::newRow("JPEG") << "JPEG" << sample("JPEG") << 1 << QString();
    QTest::newRow("PDF") << "PDF" << sample("PDF") << 1 << QString();
    QTest::newRow("damaged PDF")
        << "PDF" << QByteArray("%PDF-1.4\nnot a document") << 0
        << "The PDF file \"doc\" cannot be shown: it is damaged or locked with a password of its "
           "own.";
    QTest::newRow("damaged picture") << "PNG" << QByteArray("\x89PNG\r\n\x1A\nbroken") << 0
                                     << "The picture \"doc\" cannot be shown: it is damaged.";
}

void TestAttachments::viewedInMemory()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(int, pages);
    QFETCH(QString, failure);
    auto filesIn = [](const QString& folder) {
        return QDir(folder).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot);
    };
    const QStringList temp = filesIn(QDir::tempPath());
    const QStringList program = filesIn(QCoreApplication::applicationDirPath());
    AttachmentInfo info;
    info.name = "doc";
    info.kind = kind == "PDF" ? AttachmentKind::Pdf
                : kind == "PNG" ? AttachmentKind::Png
                                : AttachmentKind::Jpeg;
    frmAttachmentViewer viewer(info, bytes);
    viewer.show();
    QCOMPARE(viewer.failure(), failure);
    QCOMPARE(viewer.pageCount(), pages);
    QCOMPARE(viewer.shownImage().isNull(), pages == 0);
    QCOMPARE(filesIn(QDir::tempPath()), temp);
    QCOMPARE(filesIn(QCoreApplication::applicationDirPath()), program);
}

// Page Down and Page Up turn a PDF's pages with the focus on the page, which would scroll it.
void TestAttachments::pagesTurnFromTheKeyboard()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter pdf(&buffer);
        QPainter painter(&pdf);
        painter.drawText(100, 100, "Lease");
        pdf.newPage();
        painter.drawText(100, 100, "Signatures");
    }
    AttachmentInfo info;
    info.name = "lease.pdf";
    frmAttachmentViewer viewer(info, bytes);
    viewer.show();
    QWidget* page = viewer.findChild<QScrollArea*>();
    page->setFocus();
    const QList<std::pair<Qt::Key, QString>> presses{{Qt::Key_PageDown, "Page 2 of 2"},
                                                     {Qt::Key_PageDown, "Page 2 of 2"},
                                                     {Qt::Key_PageUp, "Page 1 of 2"}};
    QCOMPARE(viewer.lblPage->text(), QString("Page 1 of 2"));
    for (const auto& [key, shown] : presses) {
        QTest::keyClick(page, key);
        QCOMPARE(viewer.lblPage->text(), shown);
    }
}

// Files given to the window (as Add... or a drop gives them): the good one listed, the other
// refused by name.
void TestAttachments::attachedInTheWindow()
{
    test::TempDatabase db;
    ScriptedPrompts scripted;
    setPrompts(&scripted);
    const QString good = write(db.folder(), "receipt.png", sample("PNG"));
    const QString bad = write(db.folder(), "notes.txt", "just text");
    frmAttachments window(db.connect(), {"tblFinance", 4}, "Ace Roofing");
    int counted = -1;
    connect(&window, &frmAttachments::countChanged, [&counted](int n) { counted = n; });
    QCOMPARE(window.windowTitle(), QString("Attachments: Ace Roofing"));
    QVERIFY(window.attach({bad, good}));
    QCOMPARE(scripted.texts(), QStringList{"Only PDF, JPEG and PNG files can be attached: "
                                           "\"notes.txt\" is none of them."});
    QCOMPARE(counted, 1);
    QVERIFY(window.lstAttachments->item(0)->text().startsWith("receipt.png   (PNG, "));
    scripted.queueAnswer(Prompts::Answer::Yes);
    window.Remove_Click();
    QCOMPARE(counted, 0);
    QCOMPARE(window.lstAttachments->count(), 0);
    setPrompts(nullptr);
}

// The file the program has open, or its log, chosen as a document or as the place of a copy, is
// refused before any descriptor of it is opened.
void TestAttachments::theOpenDatabaseIsLeftAlone_data()
{
    QTest::addColumn<bool>("attach");
    QTest::addColumn<QString>("suffix");
    QTest::newRow("attach the file") << true << "";
    QTest::newRow("attach its log") << true << "-wal";
    QTest::newRow("save a copy over it") << false << "";
    QTest::newRow("save a copy over its shared memory") << false << "-shm";
}

void TestAttachments::theOpenDatabaseIsLeftAlone()
{
    QFETCH(bool, attach);
    QFETCH(QString, suffix);
    test::TempDatabase db;
    Connection c = db.connect();
    const QString path = c.filePath() + suffix;
    const Status done = attach ? Status(attachFile(c, {"tblTenant", 1}, path).error())
                               : saveAttachmentCopy(sample("PNG"), path);
    QCOMPARE(done.error().description,
             QString("\"%1\" is the database file HALVO has open (or part of it); choose another "
                     "file.")
                 .arg(QFileInfo(path).fileName()));
    QVERIFY(c.execute("INSERT INTO tblVendor (Company) VALUES ('Still here')")); // intact
}

QTEST_MAIN(TestAttachments)
#include "tst_attachments.moc"
