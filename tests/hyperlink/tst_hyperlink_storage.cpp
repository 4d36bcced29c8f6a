// How a link keeps its state with its window: the property store, the stored names and defaults,
// reading back what was written, reading what other stores wrote, and the stored colours.

#include "hyperlink/vey_hyperlink_label.h"

#include <QDate>
#include <QLabel>
#include <QSignalSpy>
#include <QTest>

using namespace VeyHyperLink;

namespace {

QLabel* caption(VeyHyperLinkLabel* link)
{
    return link->findChild<QLabel*>("HyperLabel");
}

} // namespace

class TestHyperlinkStorage : public QObject {
    Q_OBJECT

private slots:
    void bagMatchesNamesWithoutCase();
    void bagLeavesOutDefaults();
    void newInstanceStoresOnlyItsFont();
    void roundTrip_data();
    void roundTrip();
    void storedFormsAreRead_data();
    void storedFormsAreRead();
    void failingItemIsSkipped_data();
    void failingItemIsSkipped();
    void colours_data();
    void colours();
    void invalidValuesAreRefused_data();
    void invalidValuesAreRefused();
};

void TestHyperlinkStorage::bagMatchesNamesWithoutCase()
{
    PropertyBag bag;
    bag.WriteProperty("ActiveColor", 0x008000u, 0x00FF00u);
    bag.WriteProperty("_ExtentX", 2540);

    QCOMPARE(bag.names(), (QStringList{"activecolor", "_extentx"}));
    QCOMPARE(bag.ReadProperty("ACTIVECOLOR", 0).toUInt(), 0x008000u);
    QCOMPARE(bag.ReadProperty("activecolor", 0).toUInt(), 0x008000u);
    QCOMPARE(bag.ReadProperty("HoverColor", 255).toInt(), 255);

    bag.WriteProperty("activeCOLOR", 0x000080u, 0x00FF00u);
    QCOMPARE(bag.names().size(), 2);
    QCOMPARE(bag.ReadProperty("ActiveColor").toUInt(), 0x000080u);
}

void TestHyperlinkStorage::bagLeavesOutDefaults()
{
    PropertyBag bag;
    bag.WriteProperty("Caption", "Save", "Save");
    QVERIFY(bag.isEmpty());

    // A value set back to its default must not leave the older one to be read again.
    bag.WriteProperty("URL", "mailto:owner@example.com", QString());
    bag.WriteProperty("URL", QString(), QString());
    QVERIFY(!bag.contains("URL"));
    QCOMPARE(bag.ReadProperty("URL", "default").toString(), QString("default"));
}

void TestHyperlinkStorage::newInstanceStoresOnlyItsFont()
{
    QWidget form;
    VeyHyperLinkLabel link("Save", &form);
    PropertyBag bag;

    link.WriteProperties(bag);

    // The underline forced on a new link is the one difference from the container's font.
    QCOMPARE(bag.names(), QStringList{"font"});
    QVERIFY(bag.ReadProperty("Font").value<QFont>().underline());
}

void TestHyperlinkStorage::roundTrip_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("value");

    QTest::newRow("Enabled") << "Enabled" << QVariant(false);
    QTest::newRow("Font") << "Font" << QVariant(QFont("Liberation Serif", 15, QFont::Bold));
    QTest::newRow("BackStyle") << "BackStyle" << QVariant(int(HL_Transparent));
    QTest::newRow("BorderStyle") << "BorderStyle" << QVariant(int(HL_Fixed_Single));
    QTest::newRow("AutoSize") << "AutoSize" << QVariant(true);
    QTest::newRow("Alignment") << "Alignment" << QVariant(int(HL_Right_Justify));
    QTest::newRow("Appearance") << "Appearance" << QVariant(int(HL_Flat));
    QTest::newRow("Caption") << "Caption" << QVariant("E-mail:");
    QTest::newRow("WordWrap") << "WordWrap" << QVariant(true);
    QTest::newRow("URL") << "URL" << QVariant("mailto:owner@example.com");
    QTest::newRow("BackColor") << "BackColor" << QVariant(0xFFFFFFu);
    QTest::newRow("InActiveColor") << "InActiveColor" << QVariant(0x800000u);
    QTest::newRow("ActiveColor") << "ActiveColor" << QVariant(0x008000u);
    QTest::newRow("HoverColor") << "HoverColor" << QVariant(0x000080u);
}

void TestHyperlinkStorage::roundTrip()
{
    QFETCH(QString, property);
    QFETCH(QVariant, value);
    QWidget form;
    VeyHyperLinkLabel saved("Email", &form);
    QSignalSpy changes(&saved, &VeyHyperLinkLabel::PropertyChanged);
    QVERIFY(saved.setProperty(property.toLatin1(), value));
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.at(0).at(0).toString(), property);

    PropertyBag bag;
    saved.WriteProperties(bag);
    QVERIFY(bag.names().contains(property.toLower()));
    VeyHyperLinkLabel loaded(&form);
    loaded.setObjectName("Email");
    loaded.ReadProperties(bag);

    const QVariant set = saved.property(property.toLatin1());
    QCOMPARE(loaded.property(property.toLatin1()), set);
    if (property == "Font") { // the setter forced the underline on
        QCOMPARE(set.value<QFont>().family(), value.value<QFont>().family());
        QVERIFY(set.value<QFont>().underline());
    } else {
        QVariant expected = value;
        QVERIFY(expected.convert(set.metaType()));
        QCOMPARE(set, expected);
    }
}

void TestHyperlinkStorage::storedFormsAreRead_data()
{
    // Other stores give values back in forms of their own: a settings file as text, a 32-bit
    // store with system colours as negative numbers.
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("lower-case name")
        << "activecolor" << QVariant(0x008000u) << "ActiveColor" << QVariant(0x008000u);
    QTest::newRow("colour as text")
        << "hovercolor" << QVariant("32768") << "HoverColor" << QVariant(0x008000u);
    QTest::newRow("system colour as a signed number")
        << "InActiveColor" << QVariant(qint32(0x80000012u)) << "InActiveColor"
        << QVariant(0x80000012u);
    QTest::newRow("Boolean as text")
        << "autosize" << QVariant("true") << "AutoSize" << QVariant(true);
    QTest::newRow("Boolean as a number")
        << "enabled" << QVariant(0) << "Enabled" << QVariant(false);
    QTest::newRow("style as text")
        << "borderstyle" << QVariant("1") << "BorderStyle" << QVariant(int(HL_Fixed_Single));
    QFont underlined("Liberation Sans", 12);
    underlined.setUnderline(true);
    QTest::newRow("font as text") << "font" << QVariant(underlined.toString()) << "Font"
                                  << QVariant(underlined);
}

void TestHyperlinkStorage::storedFormsAreRead()
{
    QFETCH(QString, name);
    QFETCH(QVariant, stored);
    QFETCH(QString, property);
    QFETCH(QVariant, expected);
    VeyHyperLinkLabel link;
    PropertyBag bag;
    bag.WriteProperty(name, stored);

    link.ReadProperties(bag);

    if (property == "Font") {
        QCOMPARE(link.Font().family(), expected.value<QFont>().family());
        QCOMPARE(link.Font().pointSize(), expected.value<QFont>().pointSize());
        QVERIFY(link.Font().underline());
    } else {
        QCOMPARE(link.property(property.toLatin1()).toLongLong(), expected.toLongLong());
    }
}

void TestHyperlinkStorage::failingItemIsSkipped_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<QString>("property");

    QTest::newRow("back style out of range") << "BackStyle" << QVariant(7) << "BackStyle";
    QTest::newRow("border style too big for 16 bits")
        << "BorderStyle" << QVariant(65537) << "BorderStyle";
    QTest::newRow("Boolean that is neither") << "Enabled" << QVariant("maybe") << "Enabled";
    QTest::newRow("font that is a date") << "Font" << QVariant(QDate(2026, 1, 1)) << "Font";
    QTest::newRow("caption that is a font") << "Caption" << QVariant(QFont()) << "Caption";
    QTest::newRow("colour of no kind") << "BackColor" << QVariant(0x12000000u) << "BackColor";
    QTest::newRow("unknown system colour") << "HoverColor" << QVariant(0x80000019u) << "HoverColor";
    QTest::newRow("colour as words") << "ActiveColor" << QVariant("green") << "ActiveColor";
}

void TestHyperlinkStorage::failingItemIsSkipped()
{
    QFETCH(QString, name);
    QFETCH(QVariant, stored);
    QFETCH(QString, property);
    QWidget form;
    VeyHyperLinkLabel link("Save", &form);
    link.SetBorderStyle(HL_Fixed_Single);
    link.SetInActiveColor(0x808080);
    const QVariant before = link.property(property.toLatin1());
    const QPalette paletteBefore = caption(&link)->palette();
    PropertyBag bag;
    bag.WriteProperty(name, stored);
    bag.WriteProperty("URL", "https://www.example.com/"); // the other items are still read
    bag.WriteProperty("WordWrap", true);

    link.ReadProperties(bag);

    QVERIFY(link.WordWrap());
    QCOMPARE(link.URL(), QString("https://www.example.com/"));
    QCOMPARE(link.property(property.toLatin1()), before);
    if (property == "BackColor")
        QCOMPARE(caption(&link)->palette().color(QPalette::Window),
                 paletteBefore.color(QPalette::Window));
}

void TestHyperlinkStorage::colours_data()
{
    QTest::addColumn<uint>("stored");
    QTest::addColumn<QColor>("shown");

    const QPalette desktop = QGuiApplication::palette();
    QTest::newRow("blue") << 0xFF0000u << QColor(0, 0, 255);
    QTest::newRow("dark green") << 0x008000u << QColor(0, 128, 0);
    QTest::newRow("button face") << 0x8000000Fu << desktop.color(QPalette::Button);
    QTest::newRow("button text") << 0x80000012u << desktop.color(QPalette::ButtonText);
}

void TestHyperlinkStorage::colours()
{
    QFETCH(uint, stored);
    QFETCH(QColor, shown);
    VeyHyperLinkLabel link;

    QVERIFY(link.SetBackColor(stored));
    QCOMPARE(caption(&link)->palette().color(QPalette::Window), shown);
    if (!(stored & SystemColorFlag))
        QCOMPARE(fromQColor(shown), stored);
}

void TestHyperlinkStorage::invalidValuesAreRefused_data()
{
    QTest::addColumn<QString>("property");
    QTest::addColumn<QVariant>("value");

    QTest::newRow("palette index colour") << "BackColor" << QVariant(0x01000005u);
    QTest::newRow("system colour beyond the last") << "InActiveColor" << QVariant(0x8000001Fu);
    QTest::newRow("alignment") << "Alignment" << QVariant(3);
    QTest::newRow("appearance") << "Appearance" << QVariant(-1);
}

void TestHyperlinkStorage::invalidValuesAreRefused()
{
    QFETCH(QString, property);
    QFETCH(QVariant, value);
    VeyHyperLinkLabel link;
    const QVariant before = link.property(property.toLatin1());
    QSignalSpy changes(&link, &VeyHyperLinkLabel::PropertyChanged);

    link.setProperty(property.toLatin1(), value);

    QCOMPARE(link.property(property.toLatin1()), before);
    QCOMPARE(changes.count(), 0);
}

QTEST_MAIN(TestHyperlinkStorage)
#include "tst_hyperlink_storage.moc"
