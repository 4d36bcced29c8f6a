#pragma once
// Line 6 (auto and travel) from the mileage log: the business miles of a tax year times the IRS
// standard mileage rate of each trip's date, beside the ledger rows whose categories go to line 6.
// The rates the program knows are shipped with it; a year it does not know takes the rate the
// user gives once, kept in tblMileageRate.

#include "core/outcome.h"
#include "data/connection.h"
#include "data/money.h"
#include "tax/schedule_e.h"

#include <QDate>
#include <QList>
#include <QMap>
#include <optional>

namespace halvo {

// The standard mileage rate for business use from one day to another, both included.
struct MileageRate {
    QDate from, to;
    Money perMile; // 0.725 for 72.5 cents a mile
};

// The rates the program knows, oldest first. A year may have more than one (2022 changed on
// July 1), so a trip takes the rate of its date.
const QList<MileageRate>& knownMileageRates();
// The rates of a tax year: those known, or the one the user gave for it; none when neither.
Result<std::optional<QList<MileageRate>>> mileageRatesOf(const Connection& connection, int year);
// Keeps the rate the user gave for a year the program does not know.
Status saveMileageRate(const Connection& connection, int year, const Money& perMile);
// Whether a typed rate is one: above 0 and below $10.00 a mile.
bool isMileageRate(const Money& perMile);

// The miles of trips (hundredths of a mile) at a rate, to the ten-thousandth of a dollar.
Money mileageAmount(qint64 hundredthsOfMiles, const Money& perMile);

// Each property's mileage amount of the year, by the nickname its trips give ("" for trips of no
// property), to the cent. Refused (MileageRateUnknown) when the year has trips and no rate.
Outcome<QMap<QString, Money>, WorksheetRefusal> mileageByProperty(const Connection& connection,
                                                                  int year);

// A trip of the mileage log, as an import brings it.
struct Trip {
    QDate date;
    QString property; // a nickname; empty for none
    QString purpose;
    double miles = 0;
};
// Adds trips to the log in one unit of work: all or none. A property is written as the file of
// properties names it, where one has that nickname in other letters. How many were added.
Result<int> addTrips(const Connection& connection, const QList<Trip>& trips);

// The worksheet's columns with line 6's mileage added and lines 1b and 2 given, as
// scheduleEWorksheet asks for them: a property with trips and no ledger rows gets a column.
Outcome<QMap<QString, WorksheetColumn>, WorksheetRefusal>
withTripsAndDays(const Connection& connection, int year, QMap<QString, WorksheetColumn> columns,
                 const QMap<QString, QString>& addressOf);

} // namespace halvo
