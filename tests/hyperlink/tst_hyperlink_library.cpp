// What the library offers its containers besides the control's behaviour: creation by identity,
// the published identifiers, the hand cursors and the about box.

#include "hyperlink/about_form.h"
#include "hyperlink/cursors.h"
#include "hyperlink/vey_hyperlink_label.h"

#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace VeyHyperLink;

class TestHyperlinkLibrary : public QObject {
    Q_OBJECT

private slots:
    void identifiers();
    void createControl_data();
    void createControl();
    void cursors_data();
    void cursors();
    void aboutBoxIsModalAndFresh_data();
    void aboutBoxIsModalAndFresh();
};

void TestHyperlinkLibrary::identifiers()
{
    const auto text = [](const QUuid& id) { return id.toString(QUuid::WithBraces).toUpper(); };
    QCOMPARE(text(LibraryId), QString("{ABB518E6-B094-411B-BBCD-80A90D4925D8}"));
    QCOMPARE(text(ClassId), QString("{199B82A9-7097-4E19-A541-B824B9E74F15}"));
    QCOMPARE(text(InterfaceId), QString("{B5F123CC-DE3D-4BD8-8C0D-8B12A4C6882C}"));
    QCOMPARE(text(EventInterfaceId), QString("{8F18D21C-EE35-47CF-9309-CAC63100CD94}"));
    QCOMPARE(QString(VeyHyperLinkLabel::staticMetaObject.className()), QString(ClassName));
}

void TestHyperlinkLibrary::createControl_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<bool>("created");

    QTest::newRow("ProgID") << "VeyHyperLink.VeyHyperLinkLabel" << true;
    QTest::newRow("ProgID in other case") << "veyhyperlink.veyhyperlinklabel" << true;
    QTest::newRow("class identifier") << "{199B82A9-7097-4E19-A541-B824B9E74F15}" << true;
    QTest::newRow("class identifier, lower case, no braces")
        << "199b82a9-7097-4e19-a541-b824b9e74f15" << true;
    QTest::newRow("interface identifier") << "{B5F123CC-DE3D-4BD8-8C0D-8B12A4C6882C}" << false;
    QTest::newRow("ProgID with more after it") << "VeyHyperLink.VeyHyperLinkLabel.1" << false;
    QTest::newRow("empty") << "" << false;
}

void TestHyperlinkLibrary::createControl()
{
    QFETCH(QString, id);
    QFETCH(bool, created);
    QWidget form;

    VeyHyperLinkLabel* link = VeyHyperLink::createControl(id, &form);

    QCOMPARE(link != nullptr, created);
    if (link) {
        QCOMPARE(link->parentWidget(), &form);
        QVERIFY(link->findChild<QLabel*>("HyperLabel"));
    }
}

void TestHyperlinkLibrary::cursors_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QPoint>("hotSpot");

    QTest::newRow("MouseHover") << "MouseHover" << QPoint(12, 1);
    QTest::newRow("MouseClick") << "MouseClick" << QPoint(16, 14);
    QTest::newRow("mouseclick") << "mouseclick" << QPoint(16, 14);
    QTest::newRow("unknown") << "MouseWait" << QPoint();
}

void TestHyperlinkLibrary::cursors()
{
    QFETCH(QString, name);
    QFETCH(QPoint, hotSpot);

    const std::optional<QCursor> cursor = loadCursor(name);

    QCOMPARE(cursor.has_value(), !hotSpot.isNull());
    if (!cursor)
        return;
    QCOMPARE(cursor->hotSpot(), hotSpot);
    const QImage picture = cursor->pixmap().toImage();
    QCOMPARE(picture.size(), QSize(32, 32));
    // The hot spot lies on the hand, so that what the user points at is what is clicked.
    QVERIFY(qAlpha(picture.pixel(hotSpot)) > 0);
    QCOMPARE(qAlpha(picture.pixel(0, 0)), 0);
}

void TestHyperlinkLibrary::aboutBoxIsModalAndFresh_data()
{
    QTest::addColumn<QByteArray>("method");
    QTest::newRow("ShowAboutBox") << QByteArray("ShowAboutBox");
    QTest::newRow("ShowAboutBoxInternal") << QByteArray("ShowAboutBoxInternal");
}

void TestHyperlinkLibrary::aboutBoxIsModalAndFresh()
{
    QFETCH(QByteArray, method);
    VeyHyperLinkLabel link;
    QList<QPointer<QDialog>> shown;
    const auto inspectAndClose = [&] {
        auto* form = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!form)
            return;
        shown.append(form);
        QCOMPARE(form->objectName(), QString("AboutForm"));
        QCOMPARE(form->windowTitle(), QString(" About VeyHyperLink ActiveX Control"));
        QVERIFY(!form->parentWidget());
        QVERIFY(!form->windowIcon().isNull());
        QCOMPARE(form->findChild<QLabel*>("TitleLabel")->text(),
                 QString("Vey HyperLink ActiveX Control"));
        auto* ok = form->findChild<QPushButton*>("OKBut");
        QCOMPARE(ok->text(), QString("&OK"));
        QTest::mouseClick(ok, Qt::LeftButton);
    };

    for (int showing = 0; showing < 2; ++showing) {
        QTimer::singleShot(0, this, inspectAndClose);
        QVERIFY(QMetaObject::invokeMethod(&link, method.constData()));
    }

    QCOMPARE(shown.size(), 2);
    QVERIFY2(shown.at(0).isNull() && shown.at(1).isNull(), "the about box outlived its showing");
}

QTEST_MAIN(TestHyperlinkLibrary)
#include "tst_hyperlink_library.moc"
