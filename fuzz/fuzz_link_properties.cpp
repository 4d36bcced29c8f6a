// A link label loaded from stored state that may hold anything: the input is decoded into a
// property bag of named values of many types (the link's own names in any letter case, the
// container's extents, names of no meaning), which ReadProperties reads. Properties:
// - every enumerated property is within its enumeration and every colour can be shown;
// - a URL or caption stored as text is read as that text;
// - what the loaded link writes, another link reads back into the same state, and writes again
//   exactly as the first wrote it.

#include "fuzz/fuzz_input.h"
#include "hyperlink/vey_hyperlink_label.h"

#include <QApplication>
#include <QColor>
#include <QDate>
#include <QMetaProperty>

using namespace VeyHyperLink;

namespace {

const char* const storedNames[] = {"Enabled",   "Font",    "BackStyle", "BorderStyle",
                                   "AutoSize",  "Alignment", "Appearance", "Caption",
                                   "WordWrap",  "URL",     "BackColor", "InActiveColor",
                                   "ActiveColor", "HoverColor", "_extentx", "_extenty"};

void makeApplication()
{
    static QApplication* app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "fuzz_link_properties";
        static char* argv[] = {name, nullptr};
        return new QApplication(argc, argv);
    }();
    (void)app;
}

QString nameFrom(halvo::fuzz::Input& in)
{
    const std::size_t which = in.byte() % (std::size(storedNames) + 2);
    if (which >= std::size(storedNames))
        return in.text(16);
    // Stores may hold the names in any letter case.
    QString name = QString::fromLatin1(storedNames[which]);
    const std::uint8_t cases = in.byte();
    for (qsizetype i = 0; i < name.size(); ++i)
        if (cases & (1u << (i % 8)))
            name[i] = name[i].isUpper() ? name[i].toLower() : name[i].toUpper();
    return name;
}

QFont fontFrom(halvo::fuzz::Input& in)
{
    static const char* const families[] = {"Liberation Sans", "Liberation Serif", "MS Sans Serif",
                                           "", "DejaVu Sans Mono"};
    QFont font(QString::fromLatin1(families[in.choose(std::size(families))]));
    const int size = in.byte();
    if (size > 0)
        font.setPointSize(size);
    const std::uint8_t styles = in.byte();
    font.setBold(styles & 1);
    font.setItalic(styles & 2);
    font.setUnderline(styles & 4);
    font.setStrikeOut(styles & 8);
    return font;
}

QVariant valueFrom(halvo::fuzz::Input& in)
{
    switch (in.byte() % 14) {
    case 0: return bool(in.byte() & 1);
    case 1: return in.integer<qint32>();
    case 2: return in.integer<quint32>();
    case 3: return QVariant::fromValue(in.integer<qint16>());
    case 4: return in.integer<qlonglong>();
    case 5: return in.integer<qulonglong>();
    case 6: return in.real();
    case 7: return in.text(64);
    case 8: return QString::number(in.integer<qint64>() >> in.choose(64));
    case 9: return in.bytes(32);
    case 10: return fontFrom(in);
    case 11: return fontFrom(in).toString();
    case 12: return QDate::fromJulianDay(in.integer<qint32>());
    default: return in.flag() ? QVariant() : QVariant(QString());
    }
}

QString shown(const QVariant& v) { return QStringLiteral("%1 %2").arg(v.typeName(), v.toString()); }

void checkState(const VeyHyperLinkLabel& link, const QString& where)
{
    FUZZ_CHECK(link.BackStyle() == HL_Transparent || link.BackStyle() == HL_Opaque, where);
    FUZZ_CHECK(link.BorderStyle() == HL_None || link.BorderStyle() == HL_Fixed_Single, where);
    FUZZ_CHECK(link.Alignment() >= HL_Left_Justify && link.Alignment() <= HL_Center, where);
    FUZZ_CHECK(link.Appearance() == HL_Flat || link.Appearance() == HL_3D, where);
    for (const OleColor c : {link.BackColor(), link.InActiveColor(), link.ActiveColor(),
                             link.HoverColor()})
        FUZZ_CHECK(isValidOleColor(c), where + QStringLiteral(": colour %1").arg(c, 0, 16));
}

// The last value stored under a name, matched without regard to case, as the bag reads it.
QVariant storedUnder(const PropertyBag& bag, const char* name)
{
    return bag.ReadProperty(QString::fromLatin1(name), QStringLiteral("\x01none"));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    makeApplication();
    halvo::fuzz::Input in(data, size);
    PropertyBag bag;
    for (int i = 0; i < 32 && !in.empty(); ++i) {
        const QString name = nameFrom(in);
        bag.WriteProperty(name, valueFrom(in));
    }

    QWidget form;
    VeyHyperLinkLabel link(&form);
    link.setObjectName(QStringLiteral("WebSite"));
    link.ReadProperties(bag);
    checkState(link, QStringLiteral("after reading"));

    for (const char* name : {"URL", "Caption"}) {
        const QVariant stored = storedUnder(bag, name);
        if (stored.typeId() == QMetaType::QString && stored != QStringLiteral("\x01none"))
            FUZZ_CHECK(link.property(name).toString() == stored.toString(),
                       QStringLiteral("%1 stored as %2 read as %3")
                           .arg(QLatin1String(name), shown(stored), link.property(name).toString()));
    }

    PropertyBag written;
    link.WriteProperties(written);
    VeyHyperLinkLabel loaded(&form);
    loaded.setObjectName(QStringLiteral("WebSite"));
    loaded.ReadProperties(written);
    checkState(loaded, QStringLiteral("after reading what was written"));

    const QMetaObject& meta = VeyHyperLinkLabel::staticMetaObject;
    for (int i = meta.propertyOffset(); i < meta.propertyCount(); ++i) {
        const QMetaProperty p = meta.property(i);
        FUZZ_CHECK(p.read(&link) == p.read(&loaded),
                   QStringLiteral("%1 written as %2 read back as %3")
                       .arg(QLatin1String(p.name()), shown(p.read(&link)),
                            shown(p.read(&loaded))));
    }
    PropertyBag again;
    loaded.WriteProperties(again);
    FUZZ_CHECK(again.names() == written.names(),
               written.names().join(u',') + QStringLiteral(" written again as ")
                   + again.names().join(u','));
    for (const QString& name : written.names())
        FUZZ_CHECK(again.ReadProperty(name) == written.ReadProperty(name),
                   name + QStringLiteral(" written as ") + shown(written.ReadProperty(name))
                       + QStringLiteral(" and again as ") + shown(again.ReadProperty(name)));
    return 0;
}
