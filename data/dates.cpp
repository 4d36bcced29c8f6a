#include "dates.h"

#include <QLocale>

namespace halvo::Dates {

bool isStorable(const QDate& date)
{
    return date.isValid() && date.year() >= 1 && date.year() <= 9999;
}

QString toStored(const QDate& date)
{
    return date.isValid() ? date.toString(StoredDate) : QString();
}

namespace {

int digitAt(const QString& text, int i)
{
    const char16_t c = text.at(i).unicode();
    return c >= u'0' && c <= u'9' ? int(c - u'0') : -1;
}

int numberAt(const QString& text, int from, int digits)
{
    int n = 0;
    for (int i = from; i < from + digits; ++i) {
        const int d = digitAt(text, i);
        if (d < 0)
            return -1;
        n = n * 10 + d;
    }
    return n;
}

} // namespace

// A ledger or a rent roll reads a date for every row, and the general parser of date forms costs
// microseconds a date: the stored form itself is read digit by digit. Any other text, and a
// stored form that is no day of the calendar, is left to the general parser, which decides.
QDate fromStored(const QString& text)
{
    if (text.size() == 10 && text.at(4) == QLatin1Char('-') && text.at(7) == QLatin1Char('-')) {
        const int year = numberAt(text, 0, 4), month = numberAt(text, 5, 2),
                  day = numberAt(text, 8, 2);
        if (year >= 1 && month >= 0 && day >= 0 && QDate::isValid(year, month, day))
            return QDate(year, month, day);
    }
    return QDate::fromString(text, StoredDate);
}

QString timeToStored(const QTime& time)
{
    return time.isValid() ? time.toString(StoredTime) : QString();
}

QTime timeFromStored(const QString& text) { return QTime::fromString(text, StoredTime); }

QString format(const QDate& date, const QString& displayForm)
{
    if (!date.isValid())
        return {};
    return QLocale::c().toString(date, displayForm);
}

QString format(const QTime& time, const QString& displayForm)
{
    if (!time.isValid())
        return {};
    QString qtForm = displayForm;
    qtForm.replace(QLatin1String("AMPM"), QLatin1String("AP"));
    return QLocale::c().toString(time, qtForm);
}

QString yearPattern(int year) { return QStringLiteral("%%1%").arg(year, 4, 10, QLatin1Char('0')); }

} // namespace halvo::Dates
