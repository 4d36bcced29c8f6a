#pragma once
// Lines 1b and 2 of the rental schedule: each property's type (the form's codes 1 to 8) and its
// fair rental days and personal use days of a tax year, as the user enters them. The fair rental
// days are offered from the rent roll's leases: the days of the year a lease covered.

#include "core/result.h"
#include "data/connection.h"
#include "rentroll/rent_account.h"

#include <QList>
#include <QString>
#include <optional>

namespace halvo {

struct PropertyTypeCode {
    int code = 0;
    QString name; // "Single Family Residence"
};
// The form's codes 1 to 8, in order.
const QList<PropertyTypeCode>& propertyTypeCodes();
// The code a property's own type text suggests ("Duplex" is 2, "Condo" 1); none when it says
// nothing the program knows.
std::optional<int> suggestedTypeCode(const QString& propertyType);

// The days of a year on which at least one of the leases ran, from its start to its end (or,
// for a lease that runs on, to the year's end).
int leaseDaysInYear(const QList<Lease>& leases, int year);

struct RentalDays {
    QString property; // the nickname
    // As entered for the year; none where nothing was.
    std::optional<int> type, fairRentalDays, personalUseDays;
    // What the window proposes where nothing was entered: the type of the latest earlier year,
    // or the one the property's type suggests; the days the leases covered.
    std::optional<int> proposedType;
    int offeredDays = 0;
};

// What was entered for the year, property by property (nothing proposed).
Result<QList<RentalDays>> enteredRentalDays(const Connection& connection, int year);
// Every property of the file, in nickname order, with its lines 1b and 2 of the year.
Result<QList<RentalDays>> rentalDaysOf(const Connection& connection, int year);
// Keeps what was entered for the year, all in one unit of work; a property with nothing entered
// has its row taken away.
Status saveRentalDays(const Connection& connection, int year, const QList<RentalDays>& days);

} // namespace halvo
