#pragma once
// The six reports the program prints, as data: every section's height and every label, text box,
// sum and line with its place, width, format, alignment and face.

#include "reports/report_layout.h"

#include <QStringList>
#include <optional>

namespace halvo::ReportLayouts {

ReportLayout rptIncome();       // the income and expense report, also the category report
ReportLayout rptProperty();     // the property list
ReportLayout rptTenantLease();  // the tenants and their leases
ReportLayout rptMortgageLoan(); // the mortgage loans
ReportLayout rptVendor();       // the vendors
ReportLayout rptNotes();        // the notes of a year

// The tax year's worksheet, printed from rows the program computes, not from a data command.
ReportLayout rptScheduleE();
// A property's assets and their depreciation year by year, printed from rows the program computes.
ReportLayout rptDepreciation();
// The rent roll of a day, printed from the rows the rent roll window shows.
ReportLayout rptRentRoll();
// The vendors paid in a tax year, printed from rows the program computes.
ReportLayout rptVendorsPaid();

// Every layout's name, in the order above, the worksheet's apart.
QStringList names();
// A layout by its name ("rptIncome"); none for any other name.
std::optional<ReportLayout> byName(const QString& name);

} // namespace halvo::ReportLayouts
