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

QDate fromStored(const QString& text) { return QDate::fromString(text, StoredDate); }

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
