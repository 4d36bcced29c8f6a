#pragma once
// The rent roll as a report: its rows in the order the window shows them, on the report engine,
// in the preview (print, PDF).

#include "core/result.h"
#include "data/row_source.h"
#include "rentroll/rent_roll.h"

class QWidget;

namespace halvo {

// The report's rows: Tenant, Property, Rent, DueDay, Paid, Balance, Deposit, LeaseEnd, DaysLeft.
MemoryRows rentRollRows(const QList<RentRollRow>& rows);
Status showRentRollReport(const QList<RentRollRow>& rows, const QDate& day, QWidget* parent);

} // namespace halvo
