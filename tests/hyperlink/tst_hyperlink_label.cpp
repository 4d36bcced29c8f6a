// What a user sees and does with a link label: how a new one looks, how it lays itself out, the
// pointer over it, presses by mouse, keyboard and accessibility clients, and what it opens.

// Mouse events go through the window, as the desktop delivers them: to the widget under the
// pointer, with enter and leave, and double clicks detected by Qt.
#define QTEST_QPA_MOUSE_HANDLING

#include "hyperlink/vey_hyperlink_label.h"

#include <QAccessible>
#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace VeyHyperLink;

namespace {

// Stands in for the mail program and the browser: records what the desktop was asked to open.
class OpenedUrls : public QObject {
    Q_OBJECT
public:
    QList<QUrl> urls;
public slots:
    void open(const QUrl& url) { urls.append(url); }
};

QLabel* caption(VeyHyperLinkLabel* link)
{
    return link->findChild<QLabel*>("HyperLabel");
}

QColor textColor(VeyHyperLinkLabel* link)
{
    return caption(link)->palette().color(QPalette::Active, QPalette::WindowText);
}

// The hot spot of the application-wide pointer, or (-1, -1) when the default one is shown.
QPoint pointerHotSpot()
{
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor ? cursor->hotSpot() : QPoint(-1, -1);
}

void moveReportedToSurface(VeyHyperLinkLabel* link, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, at, link->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QApplication::sendEvent(link, &move);
}

void sendKey(VeyHyperLinkLabel* link, int key, Qt::KeyboardModifiers modifiers = {},
             bool autoRepeat = false)
{
    QKeyEvent event(QEvent::KeyPress, key, modifiers, QString(), autoRepeat);
    QApplication::sendEvent(link, &event);
}

const QColor Blue(0, 0, 255);
const QColor Red(255, 0, 0);
const QColor Green(0, 255, 0);
const QPoint HoverHotSpot(12, 1);
const QPoint ClickHotSpot(16, 14);
const QPoint NoOverride(-1, -1);
const QPoint AwayFromLink(300, 150);

} // namespace

class TestHyperlinkLabel : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();

    void newInstanceLooksLikeALink();
    void settersRelayout_data();
    void settersRelayout();
    void autoSize_data();
    void autoSize();
    void hoverShowsHandUntilPointerLeaves();
    void edgeOfSurface_data();
    void edgeOfSurface();
    void newColoursShowFromNextHoverOrPress();
    void press_data();
    void press();
    void doubleClickRunsCommandOnce();
    void keyboard_data();
    void keyboard();
    void tabReachesLinkAndShowsFocus();
    void disabledLinkIgnoresInput();
    void overrideCursorBalanced_data();
    void overrideCursorBalanced();
    void accessibility_data();
    void accessibility();

private:
    VeyHyperLinkLabel* addLink(const QString& name);
    void hover(VeyHyperLinkLabel* link);

    std::unique_ptr<QWidget> window;
    OpenedUrls opened;
};

void TestHyperlinkLabel::initTestCase()
{
    for (const char* scheme : {"mailto", "http", "https", "file"})
        QDesktopServices::setUrlHandler(scheme, &opened, "open");
}

void TestHyperlinkLabel::cleanupTestCase()
{
    for (const char* scheme : {"mailto", "http", "https", "file"})
        QDesktopServices::unsetUrlHandler(scheme);
}

void TestHyperlinkLabel::init()
{
    window = std::make_unique<QWidget>();
    window->resize(320, 180);
    opened.urls.clear();
}

void TestHyperlinkLabel::cleanup()
{
    window.reset();
    QVERIFY2(!QGuiApplication::overrideCursor(), "a link left its pointer behind");
}

VeyHyperLinkLabel* TestHyperlinkLabel::addLink(const QString& name)
{
    auto* link = new VeyHyperLinkLabel(name, window.get());
    link->setGeometry(20, 20, 120, 24);
    window->show();
    window->activateWindow();
    if (!QTest::qWaitForWindowActive(window.get()))
        qWarning("the test window did not become active");
    return link;
}

// Qt reports no movement to where the pointer already is, so it comes from outside the link.
void TestHyperlinkLabel::hover(VeyHyperLinkLabel* link)
{
    QTest::mouseMove(window.get(), AwayFromLink);
    QTest::mouseMove(link, link->rect().center());
}

void TestHyperlinkLabel::newInstanceLooksLikeALink()
{
    VeyHyperLinkLabel* link = addLink("Save");

    QCOMPARE(caption(link)->text(), QString("Save"));
    QVERIFY(caption(link)->font().underline());
    QCOMPARE(textColor(link), Blue);
    QVERIFY(caption(link)->autoFillBackground());
    QCOMPARE(caption(link)->palette().color(QPalette::Window),
             QGuiApplication::palette().color(QPalette::Button));
    QCOMPARE(caption(link)->geometry(), link->rect());

    PropertyBag bag;
    link->WriteProperties(bag);
    for (const char* name : {"Caption", "InActiveColor", "HoverColor", "URL"})
        QVERIFY2(!bag.contains(name), name);
}

void TestHyperlinkLabel::settersRelayout_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("relayouts");

    QTest::newRow("Caption") << "Caption" << QVariant("Add Vendor") << true;
    QTest::newRow("Font") << "Font" << QVariant(QFont("Liberation Sans", 14)) << true;
    QTest::newRow("BackStyle") << "BackStyle" << QVariant(int(HL_Transparent)) << true;
    QTest::newRow("BorderStyle") << "BorderStyle" << QVariant(int(HL_Fixed_Single)) << true;
    QTest::newRow("AutoSize") << "AutoSize" << QVariant(false) << true;
    QTest::newRow("Appearance") << "Appearance" << QVariant(int(HL_Flat)) << true;
    QTest::newRow("WordWrap") << "WordWrap" << QVariant(true) << true;
    QTest::newRow("Alignment") << "Alignment" << QVariant(int(HL_Center)) << false;
    QTest::newRow("URL") << "URL" << QVariant("mailto:owner@example.com") << false;
    QTest::newRow("BackColor") << "BackColor" << QVariant(0x00FFFFu) << false;
    QTest::newRow("InActiveColor") << "InActiveColor" << QVariant(0x808080u) << false;
    QTest::newRow("ActiveColor") << "ActiveColor" << QVariant(0x808080u) << false;
    QTest::newRow("HoverColor") << "HoverColor" << QVariant(0x808080u) << false;
    QTest::newRow("Enabled") << "Enabled" << QVariant(false) << false;
}

void TestHyperlinkLabel::settersRelayout()
{
    QFETCH(QString, property);
    QFETCH(QVariant, value);
    QFETCH(bool, relayouts);
    VeyHyperLinkLabel* link = addLink("Close");
    caption(link)->setGeometry(5, 5, 10, 10); // out of step with the control

    QVERIFY(link->setProperty(property.toLatin1(), value));

    QCOMPARE(caption(link)->geometry() == link->rect(), relayouts);
}

void TestHyperlinkLabel::autoSize_data()
{
    QTest::addColumn<bool>("autoSize");
    QTest::addColumn<bool>("wordWrap");
    QTest::addColumn<bool>("widthGrows");
    QTest::addColumn<bool>("heightGrows");

    QTest::newRow("auto-size on one line") << true << false << true << false;
    QTest::newRow("auto-size with word wrap") << true << true << false << true;
    QTest::newRow("fixed size") << false << false << false << false;
    QTest::newRow("fixed size with word wrap") << false << true << false << false;
}

void TestHyperlinkLabel::autoSize()
{
    QFETCH(bool, autoSize);
    QFETCH(bool, wordWrap);
    QFETCH(bool, widthGrows);
    QFETCH(bool, heightGrows);
    VeyHyperLinkLabel* link = addLink("Close");
    link->SetWordWrap(wordWrap);
    link->SetAutoSize(autoSize);
    const QSize before = link->size();

    link->SetCaption("Close this window and go back to the list of properties");

    QCOMPARE(link->width() > before.width(), widthGrows);
    QCOMPARE(link->height() > before.height(), heightGrows);
    QCOMPARE(caption(link)->geometry(), link->rect());
    if (!autoSize) {
        link->resize(200, 50); // the caption element is stretched, never sized by its text
        QCOMPARE(caption(link)->geometry(), QRect(0, 0, 200, 50));
    }
}

void TestHyperlinkLabel::hoverShowsHandUntilPointerLeaves()
{
    VeyHyperLinkLabel* link = addLink("Delete");

    hover(link);
    QCOMPARE(textColor(link), Red);
    QCOMPARE(pointerHotSpot(), HoverHotSpot);

    QTest::mouseMove(window.get(), AwayFromLink);
    QCOMPARE(textColor(link), Blue);
    QCOMPARE(pointerHotSpot(), NoOverride);
}

void TestHyperlinkLabel::edgeOfSurface_data()
{
    // The link is 120 x 24; a point on its right or bottom edge still counts as inside.
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<bool>("stillHovering");

    QTest::newRow("right edge") << QPoint(120, 12) << true;
    QTest::newRow("one beyond the right edge") << QPoint(121, 12) << false;
    QTest::newRow("bottom edge") << QPoint(60, 24) << true;
    QTest::newRow("one below the bottom edge") << QPoint(60, 25) << false;
    QTest::newRow("left edge") << QPoint(0, 12) << true;
    QTest::newRow("one left of the left edge") << QPoint(-1, 12) << false;
    QTest::newRow("one above the top edge") << QPoint(60, -1) << false;
}

void TestHyperlinkLabel::edgeOfSurface()
{
    QFETCH(QPoint, at);
    QFETCH(bool, stillHovering);
    VeyHyperLinkLabel* link = addLink("Refresh");
    hover(link);

    moveReportedToSurface(link, at);

    QCOMPARE(textColor(link), stillHovering ? Red : Blue);
    QCOMPARE(pointerHotSpot(), stillHovering ? HoverHotSpot : NoOverride);
}

void TestHyperlinkLabel::newColoursShowFromNextHoverOrPress()
{
    VeyHyperLinkLabel* link = addLink("Save");
    QColor pressedColour;
    connect(link, &VeyHyperLinkLabel::Click, this, [&] { pressedColour = textColor(link); });

    QVERIFY(link->SetHoverColor(0x008000));
    QVERIFY(link->SetActiveColor(0x800000));
    QCOMPARE(textColor(link), Blue);

    hover(link);
    QCOMPARE(textColor(link), QColor(0, 128, 0));
    QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
    QCOMPARE(pressedColour, QColor(0, 0, 128));
}

void TestHyperlinkLabel::press_data()
{
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<QString>("url");
    QTest::addColumn<QString>("expectedOpen");

    QTest::newRow("left, no address") << Qt::LeftButton << QString() << QString();
    QTest::newRow("right, no address") << Qt::RightButton << QString() << QString();
    QTest::newRow("middle, no address") << Qt::MiddleButton << QString() << QString();
    QTest::newRow("left, e-mail") << Qt::LeftButton << "mailto:owner@example.com"
                                  << "mailto:owner@example.com";
    QTest::newRow("right, web site") << Qt::RightButton << "https://www.example.com/rentals"
                                     << "https://www.example.com/rentals";
    QTest::newRow("web site as typed") << Qt::LeftButton << "www.example.com"
                                       << "http://www.example.com";
}

void TestHyperlinkLabel::press()
{
    QFETCH(Qt::MouseButton, button);
    QFETCH(QString, url);
    QFETCH(QString, expectedOpen);
    VeyHyperLinkLabel* link = addLink("Email");
    link->SetURL(url);
    qsizetype openedBeforeClick = -1;
    QColor colourDuringClick;
    QPoint hotSpotDuringClick;
    connect(link, &VeyHyperLinkLabel::Click, this, [&] {
        openedBeforeClick = opened.urls.size();
        colourDuringClick = textColor(link);
        hotSpotDuringClick = pointerHotSpot();
    });
    QSignalSpy clicks(link, &VeyHyperLinkLabel::Click);

    QTest::mouseClick(link, button, {}, link->rect().center());

    QCOMPARE(clicks.count(), 1);
    QCOMPARE(colourDuringClick, Green);
    QCOMPARE(hotSpotDuringClick, ClickHotSpot);
    const QList<QUrl> expected =
        expectedOpen.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(expectedOpen)};
    QCOMPARE(opened.urls, expected);
    QCOMPARE(openedBeforeClick, expected.size());
    QCOMPARE(textColor(link), Blue);
    QCOMPARE(pointerHotSpot(), NoOverride);
}

void TestHyperlinkLabel::doubleClickRunsCommandOnce()
{
    VeyHyperLinkLabel* link = addLink("AddVendor");
    QSignalSpy clicks(link, &VeyHyperLinkLabel::Click);

    QTest::mouseDClick(link, Qt::LeftButton, {}, link->rect().center());

    QCOMPARE(clicks.count(), 1);
}

void TestHyperlinkLabel::keyboard_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("autoRepeat");
    QTest::addColumn<int>("clicks");

    QTest::newRow("Space") << int(Qt::Key_Space) << Qt::KeyboardModifiers() << false << 1;
    QTest::newRow("Return") << int(Qt::Key_Return) << Qt::KeyboardModifiers() << false << 1;
    QTest::newRow("Enter on the keypad")
        << int(Qt::Key_Enter) << Qt::KeyboardModifiers(Qt::KeypadModifier) << false << 1;
    QTest::newRow("Space held down") << int(Qt::Key_Space) << Qt::KeyboardModifiers() << true << 0;
    QTest::newRow("Ctrl+Return") << int(Qt::Key_Return)
                                 << Qt::KeyboardModifiers(Qt::ControlModifier) << false << 0;
}

void TestHyperlinkLabel::keyboard()
{
    QFETCH(int, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, autoRepeat);
    QFETCH(int, clicks);
    VeyHyperLinkLabel* link = addLink("Email");
    link->SetURL("mailto:owner@example.com");
    QColor colourDuringClick;
    QPoint hotSpotDuringClick;
    connect(link, &VeyHyperLinkLabel::Click, this, [&] {
        colourDuringClick = textColor(link);
        hotSpotDuringClick = pointerHotSpot();
    });
    QSignalSpy clickSpy(link, &VeyHyperLinkLabel::Click);

    sendKey(link, key, modifiers, autoRepeat);

    QCOMPARE(clickSpy.count(), clicks);
    QCOMPARE(opened.urls.size(), clicks);
    if (clicks) {
        QCOMPARE(colourDuringClick, Green);
        QCOMPARE(hotSpotDuringClick, NoOverride); // the keyboard leaves the pointer alone
        QCOMPARE(textColor(link), Blue);
    }
}

void TestHyperlinkLabel::tabReachesLinkAndShowsFocus()
{
    auto* edit = new QLineEdit(window.get());
    edit->move(20, 80);
    VeyHyperLinkLabel* link = addLink("Save");
    QWidget::setTabOrder(edit, link);
    edit->setFocus();
    QTRY_VERIFY(edit->hasFocus());
    const QImage unfocused = link->grab().toImage();
    QSignalSpy clicks(link, &VeyHyperLinkLabel::Click);

    QTest::keyClick(edit, Qt::Key_Tab);
    QVERIFY(link->hasFocus());
    QVERIFY2(link->grab().toImage() != unfocused, "the focus is not shown");
    QTest::keyClick(link, Qt::Key_Space);
    QCOMPARE(clicks.count(), 1);
}

void TestHyperlinkLabel::disabledLinkIgnoresInput()
{
    VeyHyperLinkLabel* link = addLink("Save");
    QSignalSpy clicks(link, &VeyHyperLinkLabel::Click);
    link->SetEnabled(false);

    hover(link);
    QCOMPARE(pointerHotSpot(), NoOverride);
    QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
    sendKey(link, Qt::Key_Space);
    QCOMPARE(clicks.count(), 0);
    QCOMPARE(link->focusPolicy(), Qt::NoFocus);

    link->SetEnabled(true);
    QTest::mouseClick(link, Qt::LeftButton, {}, link->rect().center());
    QCOMPARE(clicks.count(), 1);
    QVERIFY(link->focusPolicy() & Qt::TabFocus);
}

void TestHyperlinkLabel::overrideCursorBalanced_data()
{
    QTest::addColumn<QStringList>("steps");

    QTest::newRow("hover, leave") << QStringList{"hover", "leave"};
    QTest::newRow("hover many times") << QStringList{"hover", "hover", "hover", "leave"};
    QTest::newRow("hover, edge, beyond edge") << QStringList{"hover", "edge", "beyond"};
    QTest::newRow("press, leave") << QStringList{"press", "leave"};
    QTest::newRow("presses in a row") << QStringList{"press", "right", "press", "hover"};
    QTest::newRow("hover, key, leave") << QStringList{"hover", "key", "leave"};
    QTest::newRow("hover, hide") << QStringList{"hover", "hide"};
    QTest::newRow("hover, disable") << QStringList{"hover", "disable"};
    QTest::newRow("hover, disable window") << QStringList{"hover", "disable window"};
    QTest::newRow("hover, disable, enable, hover")
        << QStringList{"hover", "disable", "enable", "hover", "leave"};
    QTest::newRow("hover, destroy") << QStringList{"hover", "destroy"};
    QTest::newRow("press destroys the link") << QStringList{"destroy on click", "press"};
    QTest::newRow("hover, left under the pointer") << QStringList{"hover"};
}

void TestHyperlinkLabel::overrideCursorBalanced()
{
    QFETCH(QStringList, steps);
    // Someone else's pointer underneath: the link must take off exactly what it put on.
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QPointer<VeyHyperLinkLabel> link = addLink("Save");
    int moves = 0;
    const auto overLink = [&] { return link->rect().center() + QPoint(++moves % 5, 0); };

    for (const QString& step : steps) {
        if (step == "hover")
            QTest::mouseMove(link, overLink());
        else if (step == "leave")
            QTest::mouseMove(window.get(), AwayFromLink + QPoint(++moves % 5, 0));
        else if (step == "press")
            QTest::mouseClick(link, Qt::LeftButton, {}, overLink());
        else if (step == "right")
            QTest::mouseClick(link, Qt::RightButton, {}, overLink());
        else if (step == "key")
            sendKey(link, Qt::Key_Return);
        else if (step == "edge")
            moveReportedToSurface(link, QPoint(link->width(), 1));
        else if (step == "beyond")
            moveReportedToSurface(link, QPoint(link->width() + 1, 1));
        else if (step == "hide")
            link->hide();
        else if (step == "disable")
            link->SetEnabled(false);
        else if (step == "enable")
            link->SetEnabled(true);
        else if (step == "disable window")
            window->setEnabled(false);
        else if (step == "destroy")
            delete link;
        else if (step == "destroy on click")
            connect(link, &VeyHyperLinkLabel::Click, link, [&link] { delete link; });
        else
            QFAIL(qPrintable("unknown step " + step));
    }
    window.reset();

    QVERIFY(QGuiApplication::overrideCursor());
    QCOMPARE(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
    QGuiApplication::restoreOverrideCursor();
}

void TestHyperlinkLabel::accessibility_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<QAccessible::Role>("role");

    QTest::newRow("command") << "" << QAccessible::Button;
    QTest::newRow("e-mail link") << "mailto:owner@example.com" << QAccessible::Link;
}

void TestHyperlinkLabel::accessibility()
{
    QFETCH(QString, url);
    QFETCH(QAccessible::Role, role);
    VeyHyperLinkLabel* link = addLink("Save");
    link->SetURL(url);
    QSignalSpy clicks(link, &VeyHyperLinkLabel::Click);

    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(link);
    QVERIFY(accessible);
    QCOMPARE(accessible->role(), role);
    QCOMPARE(accessible->text(QAccessible::Name), QString("Save"));
    QCOMPARE(accessible->childCount(), 0);
    QAccessibleActionInterface* actions = accessible->actionInterface();
    QVERIFY(actions);
    QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));

    actions->doAction(QAccessibleActionInterface::pressAction());
    QCOMPARE(clicks.count(), 0); // queued: the client never waits on what the command shows
    QTRY_COMPARE(clicks.count(), 1);
    QCOMPARE(opened.urls.size(), url.isEmpty() ? 0 : 1);

    link->SetEnabled(false);
    QVERIFY(accessible->state().disabled);
    QVERIFY(!actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
}

QTEST_MAIN(TestHyperlinkLabel)
#include "tst_hyperlink_label.moc"
