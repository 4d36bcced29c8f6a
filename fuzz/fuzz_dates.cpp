// Dates and times: the stored forms the database keeps, the display forms the windows show and
// the short date form users type. The input is read as a typed or stored text and, from its
// first bytes, as a calendar date and a time of day. Properties:
// - a text read as a stored date or time, stored again, reads back the same;
// - a date typed in the short form is shown in that form and stored in a form that both read
//   back as the same date;
// - every date the stored form can hold (years 1 to 9999) is stored and read back unchanged,
//   is shown in every display form without fault, and its stored text contains exactly one
//   year's four digits: its own;
// - a time shown on the clock can be typed back as the same time to the second.

#include "data/dates.h"
#include "fuzz/fuzz_input.h"

#include <QLocale>

namespace Dates = halvo::Dates;

namespace {

QString quoted(const QString& text) { return QStringLiteral("\"%1\"").arg(text); }

void checkStoredText(const QString& text)
{
    if (const QDate d = Dates::fromStored(text); d.isValid()) {
        const QString again = Dates::toStored(d);
        FUZZ_CHECK(Dates::fromStored(again) == d,
                   quoted(text) + QStringLiteral(" stored again as ") + quoted(again));
    }
    if (const QTime t = Dates::timeFromStored(text); t.isValid()) {
        const QString again = Dates::timeToStored(t);
        FUZZ_CHECK(Dates::timeFromStored(again) == t,
                   quoted(text) + QStringLiteral(" stored again as ") + quoted(again));
    }
}

void checkTypedDate(const QString& text)
{
    const QDate d = QDate::fromString(text, Dates::ShortDate);
    if (!d.isValid())
        return;
    const QString shown = Dates::format(d, Dates::ShortDate);
    FUZZ_CHECK(QDate::fromString(shown, Dates::ShortDate) == d,
               quoted(text) + QStringLiteral(" shown as ") + quoted(shown));
    const QString stored = Dates::toStored(d);
    FUZZ_CHECK(Dates::fromStored(stored) == d,
               quoted(text) + QStringLiteral(" stored as ") + quoted(stored));
}

void checkDate(const QDate& d, int otherYear)
{
    if (!d.isValid() || d.year() < 1 || d.year() > 9999)
        return;
    const QString stored = Dates::toStored(d);
    FUZZ_CHECK(Dates::fromStored(stored) == d,
               d.toString(Qt::ISODate) + QStringLiteral(" stored as ") + quoted(stored));
    for (const QString& form : {Dates::ShortDate, Dates::PaddedDate, Dates::LongDate})
        FUZZ_CHECK(QLocale::c().toDate(Dates::format(d, form), form) == d,
                   d.toString(Qt::ISODate) + QStringLiteral(" shown as ")
                       + quoted(Dates::format(d, form)));
    if (d.year() >= 1000 && otherYear >= 1000 && otherYear <= 9999) {
        const QString digits = Dates::yearPattern(otherYear).mid(1, 4);
        FUZZ_CHECK(stored.contains(digits) == (d.year() == otherYear)
                       && Dates::format(d, Dates::ShortDate).contains(digits)
                              == (d.year() == otherYear),
                   quoted(stored) + QStringLiteral(" and the year ") + digits);
    }
}

void checkTime(const QTime& t)
{
    if (!t.isValid())
        return;
    const QTime toTheSecond(t.hour(), t.minute(), t.second());
    const QString stored = Dates::timeToStored(t);
    FUZZ_CHECK(Dates::timeFromStored(stored) == toTheSecond,
               t.toString(Qt::ISODateWithMs) + QStringLiteral(" stored as ") + quoted(stored));
    const QString shown = Dates::format(t, Dates::ClockTime);
    FUZZ_CHECK(QLocale::c().toTime(shown, QStringLiteral("h:mm:ss AP")) == toTheSecond,
               t.toString(Qt::ISODateWithMs) + QStringLiteral(" shown as ") + quoted(shown));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    checkStoredText(text);
    checkTypedDate(text);

    halvo::fuzz::Input in(data, size);
    const qint64 day = in.integer<qint32>();
    const int otherYear = in.integer<quint16>();
    // Days around the present, and the whole range a date can hold, both.
    checkDate(QDate::fromJulianDay(day), otherYear);
    checkDate(QDate(2026, 1, 1).addDays(day % 200000), otherYear);
    (void)Dates::format(QDate::fromJulianDay(day), Dates::LongDate);
    checkTime(QTime::fromMSecsSinceStartOfDay(int(in.integer<quint32>() % 86'400'000)));
    (void)Dates::yearPattern(in.integer<qint32>());
    return 0;
}
