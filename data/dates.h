#pragma once
// Dates and times as the database keeps them ("yyyy-MM-dd", "HH:mm:ss") and as the windows show
// them. Display forms are fixed, never taken from the user's locale.

#include <QDate>
#include <QString>
#include <QTime>

namespace halvo::Dates {

inline const QString StoredDate = QStringLiteral("yyyy-MM-dd");
inline const QString StoredTime = QStringLiteral("HH:mm:ss");

// The display forms of the windows and reports.
inline const QString ShortDate = QStringLiteral("M/d/yyyy");     // the system's short date form
inline const QString PaddedDate = QStringLiteral("MM/dd/yyyy");
inline const QString LongDate = QStringLiteral("dd MMMM, yyyy"); // "07 December, 2026"
inline const QString ClockTime = QStringLiteral("h:mm:ss AMPM"); // "1:05:09 PM"

// The stored form holds the years 1 to 9999, four digits each; a date outside them could be
// written but never read back as a date.
bool isStorable(const QDate& date);
QString toStored(const QDate& date);          // empty text for an invalid date
QDate fromStored(const QString& text);        // invalid for anything not in the stored form
QString timeToStored(const QTime& time);
QTime timeFromStored(const QString& text);

// Shows a date or time in one of the display forms above (English month names; "AMPM" is
// the hour's "AM" or "PM").
QString format(const QDate& date, const QString& displayForm);
QString format(const QTime& time, const QString& displayForm);

// The text pattern that picks a year's rows from a stored date column with LIKE: on the stored
// form "%2026%" matches exactly the dates of 2026.
QString yearPattern(int year);

} // namespace halvo::Dates
