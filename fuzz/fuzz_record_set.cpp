// The record set fitting values to their columns. One small database is made per process, in a
// temporary folder, with a tenant and a note in it; each input is a series of values of many
// types set on the money, number, date, time and text columns of one of them, which is then
// written. Properties:
// - a refused value leaves the field as it was and says why;
// - an accepted value is held in the form its column keeps: Money, a number, a date the stored
//   form can hold, a time of day, a text; NULL only for no value or an empty text;
// - what is written is what the database gives back when the record is read again.

#include "data/connection.h"
#include "data/connection_string.h"
#include "data/money.h"
#include "data/record_set.h"
#include "data/schema.h"
#include "fuzz/fuzz_input.h"

#include <QDateTime>
#include <QTemporaryDir>

#include <cmath>

using namespace halvo;

namespace {

struct Database {
    QTemporaryDir folder;
    std::optional<Connection> connection;
    RecordSet tenant;
    RecordSet note;

    Database()
    {
        const QString path = databasePath(folder.path());
        if (!folder.isValid() || !createDatabase(path, DatabasePassword))
            qFatal("cannot make the database for fuzzing in %s", qPrintable(folder.path()));
        Result<Connection> c = Connection::openFile(path, DatabasePassword);
        if (!c)
            qFatal("cannot open %s: %s", qPrintable(path), qPrintable(c.error().description));
        connection = c.value();
        for (const char* table : {"tblTenant", "tblNotes"})
            if (!connection->execute(QStringLiteral("INSERT INTO %1 DEFAULT VALUES")
                                         .arg(QLatin1String(table))))
                qFatal("cannot add a row to %s", table);
        if (!tenant.open(*connection, QStringLiteral("tblTenant"))
            || !note.open(*connection, QStringLiteral("SELECT * FROM tblNotes ORDER BY ID ASC")))
            qFatal("cannot open the record sets");
    }
    ~Database() { releaseDatabase(databasePath(folder.path())); }
};

Database& database()
{
    static Database db;
    return db;
}

QString typedText(halvo::fuzz::Input& in)
{
    // Either anything at all, or something near what users type in such a field.
    static const char* const near[] = {"1234.5", "$1,234.50", "-$50", "3/7/2026", "03/07/2026",
                                       "2026-03-07", "1:05:09 PM", "13:05:09", "12", " 7 ",
                                       "6.5", "1e300", "nan", "inf", "-0", "0x10", "2/30/2026",
                                       "12/31/9999", "1/1/0001", "12:00:00 AM"};
    if (in.flag())
        return in.text(48);
    QString text = QString::fromLatin1(near[in.choose(std::size(near))]);
    if (in.flag())
        text.insert(qsizetype(in.choose(std::size_t(text.size()) + 1)), QChar(in.byte()));
    return text;
}

QVariant valueFrom(halvo::fuzz::Input& in)
{
    switch (in.byte() % 16) {
    case 0:
    case 1:
    case 2: return typedText(in);
    case 3: return QVariant::fromValue(Money::fromUnits(in.integer<std::int64_t>()));
    case 4: return in.integer<qlonglong>();
    case 5: return in.integer<qint32>();
    case 6: return in.real();
    case 7: return double(in.integer<qint32>()) / double(1u << in.choose(24));
    case 8: return bool(in.flag());
    case 9: return QDate::fromJulianDay(in.integer<qint32>());
    case 10: return QDate(2026, 1, 1).addDays(in.integer<qint16>());
    case 11: return QDateTime(QDate::fromJulianDay(in.integer<qint32>()),
                              QTime::fromMSecsSinceStartOfDay(int(in.integer<quint32>() % 86'400'000)));
    case 12: return QTime::fromMSecsSinceStartOfDay(int(in.integer<quint32>() % 86'400'000));
    case 13: return in.bytes(16);
    case 14: return QString();
    default: return QVariant();
    }
}

bool isNumber(const QVariant& v)
{
    const int t = v.typeId();
    if (t == QMetaType::Double)
        return std::isfinite(v.toDouble());
    return t == QMetaType::LongLong || t == QMetaType::Int;
}

bool isNoValue(const QVariant& v)
{
    return !v.isValid() || v.isNull() || (v.typeId() == QMetaType::QString && v.toString().isEmpty());
}

// What the column may hold after a value was accepted for it.
bool fits(const QVariant& held, ColumnKind kind, const QVariant& given)
{
    if (held.isNull())
        return isNoValue(given) && !(kind == ColumnKind::Text && given.typeId() == QMetaType::QString);
    switch (kind) {
    case ColumnKind::Money: return held.metaType() == QMetaType::fromType<Money>();
    case ColumnKind::Date: {
        const QDate d = held.toDate();
        return held.typeId() == QMetaType::QDate && d.isValid() && d.year() >= 1 && d.year() <= 9999;
    }
    case ColumnKind::Time: return held.typeId() == QMetaType::QTime && held.toTime().isValid();
    case ColumnKind::Integer:
    case ColumnKind::Real: return isNumber(held);
    case ColumnKind::Text: return held.typeId() == QMetaType::QString;
    }
    return false;
}

QString shown(const QVariant& v)
{
    if (v.metaType() == QMetaType::fromType<Money>())
        return QStringLiteral("Money %1").arg(v.value<Money>().toString());
    if (v.typeId() == QMetaType::Double)
        return QStringLiteral("double %1").arg(v.toDouble(), 0, 'g', 17);
    if (v.typeId() == QMetaType::QDate || v.typeId() == QMetaType::QDateTime) {
        // Shown by its numbers: the ISO form is empty for years beyond four digits.
        const QDate d = v.toDate();
        return QStringLiteral("%1 %2-%3-%4").arg(v.typeName()).arg(d.year()).arg(d.month()).arg(d.day());
    }
    return QStringLiteral("%1 \"%2\"").arg(v.isValid() ? v.typeName() : "invalid", v.toString());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Database& db = database();
    halvo::fuzz::Input in(data, size);
    RecordSet& records = in.flag() ? db.note : db.tenant;
    FUZZ_CHECK(records.moveFirst().ok() && records.absolutePosition() == 1,
               QStringLiteral("the record is not there"));

    QHash<int, QVariant> set;
    for (int i = 0; i < 8 && !in.empty(); ++i) {
        // Column 0 is the counter, which no window sets.
        const int column = 1 + int(in.choose(std::size_t(records.columns().size() - 1)));
        const Column& c = records.columns().at(column);
        const QVariant given = valueFrom(in);
        const QVariant before = records.value(column);
        const Status result = records.setValue(column, given);
        const QVariant held = records.value(column);
        if (!result) {
            FUZZ_CHECK(held == before && !result.error().description.isEmpty(),
                       QStringLiteral("%1 refused %2 and holds %3")
                           .arg(c.name, shown(given), shown(held)));
            continue;
        }
        FUZZ_CHECK(fits(held, c.kind, given), QStringLiteral("%1 took %2 as %3")
                                                  .arg(c.name, shown(given), shown(held)));
        set.insert(column, held);
    }
    if (set.isEmpty())
        return 0;
    const Status written = records.update();
    FUZZ_CHECK(written.ok(), QStringLiteral("the record was not written: %1")
                                 .arg(written.ok() ? QString() : written.error().description));
    FUZZ_CHECK(records.requery().ok(), QStringLiteral("the record set was not opened again"));
    for (auto it = set.cbegin(); it != set.cend(); ++it) {
        const QVariant back = records.value(it.key());
        // A number column may give a whole number back for a real one of the same value.
        const bool sameKind = back.metaType() == it.value().metaType()
                              || (isNumber(back) && isNumber(it.value()));
        FUZZ_CHECK(back == it.value() && sameKind,
                   QStringLiteral("%1 was written as %2 and read back as %3")
                       .arg(records.columns().at(it.key()).name, shown(it.value()), shown(back)));
    }
    return 0;
}
