// The preview as its user sees it: a window of its own in front, captioned as the report; the
// page shown, its number and the commands that can be used, by keyboard; the zoom; Save as PDF
// with the file-name dialog answered, cancelled or pointed at a folder that is not there; and
// the print dialog offered for the report's pages.

#include "platform/prompts.h"
#include "reports/report_page_view.h"
#include "reports/report_preview.h"
#include "tests/reports/engine_test_support.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QPrintDialog>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace halvo;
using namespace halvo::test;

namespace {

const QDate printedOn(2026, 12, 7);

// A preview of the income report over 100 rows: three pages.
struct Shown {
    TableRows rows = ledgerRows(100);
    QPointer<ReportPreview> preview;

    Shown()
    {
        Result<ReportPreview*> shown = ReportPreview::show(incomeLayout(), rows, printedOn);
        if (!shown)
            qFatal("no preview: %s", qPrintable(shown.error().description));
        preview = shown.value();
    }
    ~Shown() { delete preview.data(); }

    QString pageNumber() const
    {
        return preview->findChild<QLabel*>(QStringLiteral("PageNumber"))->text();
    }
    QString zoomFactor() const
    {
        return preview->findChild<QLabel*>(QStringLiteral("ZoomFactor"))->text();
    }
    QAction* command(const char* name) const
    {
        return preview->findChild<QAction*>(QLatin1String(name));
    }
    const QImage& page() const
    {
        return preview->findChild<ReportPageView*>(QStringLiteral("Page"))->image();
    }
    QWidget* pageArea() const { return preview->findChild<QScrollArea*>(QStringLiteral("PageArea")); }
};

bool inkIn(const QImage& image, const QRect& area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 160)
                return true;
    return false;
}

} // namespace

class tst_report_preview : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void shownInFront();
    void keyboard_data();
    void keyboard();
    void zoom_data();
    void zoom();
    void fitPage();
    void saveAsPdf_data();
    void saveAsPdf();
    void printDialog();
    void failureReturned();

private:
    ScriptedPrompts scripted;
};

void tst_report_preview::init()
{
    scripted = ScriptedPrompts();
    setPrompts(&scripted);
}

void tst_report_preview::cleanup() { setPrompts(nullptr); }

void tst_report_preview::shownInFront()
{
    Shown shown;
    ReportPreview* preview = shown.preview;
    QVERIFY(preview->isWindow());
    QVERIFY(preview->isVisible());
    QCOMPARE(preview->windowTitle(), QStringLiteral("Income and Expense Report"));
    QCOMPARE(shown.pageNumber(), QStringLiteral("Page 1 of 3"));
    QCOMPARE(preview->currentPage(), 0);
    QCOMPARE(preview->document().pageCount(), 3);
    // The first page carries the line under the heading (2016 twips down, at 15 twips to the
    // pixel at 100%); on the second, without the report header, that height falls between the
    // first two rows.
    preview->setZoom(1.0);
    QCOMPARE(shown.page().size(), QSize(816, 1056));
    const QRect heading(QPoint(110, 132), QPoint(700, 136));
    QVERIFY(inkIn(shown.page(), heading));
    preview->showPage(1);
    QVERIFY(!inkIn(shown.page(), heading));
    QCOMPARE(shown.pageNumber(), QStringLiteral("Page 2 of 3"));
    // Closing it deletes it.
    QVERIFY(preview->testAttribute(Qt::WA_DeleteOnClose));
    preview->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(shown.preview.isNull());
}

void tst_report_preview::keyboard_data()
{
    QTest::addColumn<QList<int>>("keys");
    QTest::addColumn<QString>("pageNumber");
    QTest::addColumn<bool>("backEnabled");
    QTest::addColumn<bool>("forwardEnabled");

    QTest::newRow("opened") << QList<int>{} << "Page 1 of 3" << false << true;
    QTest::newRow("Page Down") << QList<int>{Qt::Key_PageDown} << "Page 2 of 3" << true << true;
    QTest::newRow("End") << QList<int>{Qt::Key_End} << "Page 3 of 3" << true << false;
    QTest::newRow("Page Down past the last page")
        << QList<int>{Qt::Key_End, Qt::Key_PageDown} << "Page 3 of 3" << true << false;
    QTest::newRow("Home") << QList<int>{Qt::Key_End, Qt::Key_Home} << "Page 1 of 3" << false
                          << true;
    QTest::newRow("Page Up on the first page") << QList<int>{Qt::Key_PageUp} << "Page 1 of 3"
                                               << false << true;
    QTest::newRow("down, down, up")
        << QList<int>{Qt::Key_PageDown, Qt::Key_PageDown, Qt::Key_PageUp} << "Page 2 of 3"
        << true << true;
}

void tst_report_preview::keyboard()
{
    QFETCH(QList<int>, keys);
    QFETCH(QString, pageNumber);
    QFETCH(bool, backEnabled);
    QFETCH(bool, forwardEnabled);
    Shown shown;
    QVERIFY(QTest::qWaitForWindowActive(shown.preview));
    for (int key : keys)
        QTest::keyClick(shown.pageArea(), Qt::Key(key));
    QCOMPARE(shown.pageNumber(), pageNumber);
    QCOMPARE(shown.command("First")->isEnabled(), backEnabled);
    QCOMPARE(shown.command("Previous")->isEnabled(), backEnabled);
    QCOMPARE(shown.command("Next")->isEnabled(), forwardEnabled);
    QCOMPARE(shown.command("Last")->isEnabled(), forwardEnabled);
}

// Letter paper at 96 dots per inch is 816 by 1056 pixels at 100%.
void tst_report_preview::zoom_data()
{
    QTest::addColumn<QList<int>>("keys"); // with Ctrl
    QTest::addColumn<QString>("zoomFactor");
    QTest::addColumn<QSize>("pageSize");

    QTest::newRow("Ctrl++") << QList<int>{Qt::Key_Plus} << "125%" << QSize(1020, 1320);
    QTest::newRow("Ctrl++ twice") << QList<int>{Qt::Key_Plus, Qt::Key_Plus} << "150%"
                                  << QSize(1224, 1584);
    QTest::newRow("Ctrl+-") << QList<int>{Qt::Key_Minus} << "75%" << QSize(612, 792);
    QTest::newRow("Ctrl+- down to a quarter")
        << QList<int>{Qt::Key_Minus, Qt::Key_Minus, Qt::Key_Minus, Qt::Key_Minus} << "25%"
        << QSize(204, 264);
    QTest::newRow("in and out") << QList<int>{Qt::Key_Plus, Qt::Key_Minus} << "100%"
                                << QSize(816, 1056);
}

void tst_report_preview::zoom()
{
    QFETCH(QList<int>, keys);
    QFETCH(QString, zoomFactor);
    QFETCH(QSize, pageSize);
    Shown shown;
    QVERIFY(QTest::qWaitForWindowActive(shown.preview));
    shown.preview->setZoom(1.0);
    QCOMPARE(shown.zoomFactor(), QStringLiteral("100%"));
    for (int key : keys)
        QTest::keyClick(shown.pageArea(), Qt::Key(key), Qt::ControlModifier);
    QCOMPARE(shown.zoomFactor(), zoomFactor);
    QCOMPARE(shown.page().size(), pageSize);
    QCOMPARE(shown.command("ZoomOut")->isEnabled(), zoomFactor != QLatin1String("25%"));
}

void tst_report_preview::fitPage()
{
    Shown shown;
    shown.preview->resize(700, 500);
    shown.command("FitPage")->trigger();
    QCoreApplication::processEvents(); // the scroll bars of the larger page go
    const QSize viewport = static_cast<QScrollArea*>(shown.pageArea())->viewport()->size();
    // The whole sheet with its margin, to within the rounding of the resolution to whole dots.
    const int used = shown.page().height() + 2 * ReportPageView::Gap;
    QVERIFY2(used <= viewport.height() && used >= viewport.height() - 8,
             qPrintable(QStringLiteral("%1 in %2").arg(used).arg(viewport.height())));
    QVERIFY(shown.page().width() <= viewport.width());
    // The fit follows the window.
    shown.preview->resize(700, 900);
    QCoreApplication::processEvents();
    QVERIFY(shown.page().height() > 700);
    shown.command("ActualSize")->trigger();
    QCOMPARE(shown.zoomFactor(), QStringLiteral("100%"));
}

void tst_report_preview::saveAsPdf_data()
{
    QTest::addColumn<QString>("answer"); // relative to a fresh folder; empty is Cancel
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("message");

    QTest::newRow("named") << "March.pdf" << "March.pdf" << "";
    QTest::newRow("named without its ending") << "March" << "March.pdf" << "";
    QTest::newRow("cancelled") << "" << "" << "";
    QTest::newRow("folder not there")
        << "gone/March.pdf" << ""
        << "The report could not be saved as \"%1/gone/March.pdf\": No such file or directory.";
}

void tst_report_preview::saveAsPdf()
{
    QFETCH(QString, answer);
    QFETCH(QString, written);
    QFETCH(QString, message);
    QTemporaryDir dir;
    scripted.queueFileName(answer.isEmpty() ? QString() : dir.filePath(answer));
    Shown shown;
    QVERIFY(QTest::qWaitForWindowActive(shown.preview));
    QTest::keyClick(shown.pageArea(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(scripted.fileDialogs, QStringList{"Save as PDF"});
    const QStringList files = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot
                                                         | QDir::Hidden);
    QCOMPARE(files, written.isEmpty() ? QStringList{} : QStringList{written});
    if (!written.isEmpty()) {
        QFile pdf(dir.filePath(written));
        QVERIFY(pdf.open(QIODevice::ReadOnly));
        QCOMPARE(pdfPageCount(pdf.readAll()), 3);
    }
    if (message.isEmpty()) {
        QCOMPARE(scripted.shown.size(), 0);
    } else {
        QCOMPARE(scripted.shown.size(), 1);
        QCOMPARE(scripted.shown[0].text, message.arg(dir.path()));
        QCOMPARE(scripted.shown[0].icon, Prompts::Icon::Warning);
        QCOMPARE(scripted.shown[0].buttons, Prompts::Buttons::Ok);
    }
}

void tst_report_preview::printDialog()
{
    Shown shown;
    QVERIFY(QTest::qWaitForWindowActive(shown.preview));
    int minPage = -1, maxPage = -1;
    QString title;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        minPage = dialog->minPage();
        maxPage = dialog->maxPage();
        title = dialog->windowTitle();
        dialog->reject();
    });
    QTest::keyClick(shown.pageArea(), Qt::Key_P, Qt::ControlModifier);
    QCOMPARE(title, QStringLiteral("Print Income and Expense Report"));
    QCOMPARE(minPage, 1);
    QCOMPARE(maxPage, 3);
    QVERIFY(scripted.shown.isEmpty()); // cancelled: nothing printed, nothing told
}

void tst_report_preview::failureReturned()
{
    const TableRows rows = ledgerTable();
    ReportLayout layout = incomeLayout();
    layout.reportHeader.height = 20000; // taller than the paper
    Result<ReportPreview*> shown = ReportPreview::show(layout, rows, printedOn);
    QVERIFY(!shown.ok());
    QCOMPARE(shown.error().description,
             QStringLiteral("The report's headers and footer leave no room for its rows on the "
                            "page."));
    QVERIFY(scripted.shown.isEmpty());
    QCOMPARE(QApplication::topLevelWidgets().size(), 0);
}

QTEST_MAIN(tst_report_preview)
#include "tst_report_preview.moc"
