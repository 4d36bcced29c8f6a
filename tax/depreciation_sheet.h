#pragma once
// The Depreciation Schedule on paper and in a CSV file: each asset of a property (or of every
// property) with its basis, class and dates, and for every year up to the one chosen the table's
// percentage, the deduction, the accumulated depreciation and the basis that remains.

#include "core/result.h"
#include "data/row_source.h"
#include "tax/depreciation.h"

#include <QList>
#include <QVariantList>

namespace halvo {

// The report's rows, one for each year of each asset (an asset without a year yet has one row
// with no year), the asset's number in Asset (which begins a new page when it changes); the
// fields: Asset, Property, Description, Source ("Entered", "Ledger"), AssetClass, Cost,
// Additions, Land, Basis, InService, Disposed, Year, RecoveryYear, Percentage ("3.485%"),
// Deduction, Accumulated, Remaining, Note ("Part of the year: sold or taken out of service").
MemoryRows depreciationRows(const QList<Asset>& assets, int lastYear);

// The CSV file's rows: the headings ("Asset", "Property", "Description", "Source", "Class",
// "Cost", "Additions", "Land", "Basis", "Placed in Service", "Sold or Out of Service", "Year",
// "Recovery Year", "Percentage", "Deduction", "Accumulated", "Remaining", "Note"), then the rows
// as on paper.
QList<QVariantList> depreciationTable(const QList<Asset>& assets, int lastYear);
Status writeDepreciationCsv(const QList<Asset>& assets, int lastYear, const QString& path);

} // namespace halvo
