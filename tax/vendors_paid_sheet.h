#pragma once
// The vendors paid on paper and in a CSV file, and the worksheet's line A in words.
//
// On paper each vendor stands on a row of its own (the payee, whether a form is needed, the
// total), followed by a row for each of its payments; the total of all vendors listed and the
// answer of line A close the report. The CSV file has the same rows, and the vendor record's
// address on the vendor's.

#include "core/result.h"
#include "data/row_source.h"
#include "tax/vendors_paid.h"

#include <QString>

namespace halvo {

// The report's title: "Tax Year 2026: vendors paid $2,000.00 or more"; for a year whose amount
// HALVO does not know, "Tax Year 2027: vendors paid $2,000.00 or more (the amount of 2026)".
QString vendorsPaidTitle(const VendorsPaid& paid);

// "Did you make any payments in 2026 that would require you to file Form(s) 1099?"
QString lineAQuestion(int year);
// "Yes" or "No".
QString lineAAnswer(bool formsRequired);
// "1099 needed" or "No 1099 needed"
QString formNeededText(bool noFormNeeded);

// The report's rows: Payee, Address, Total, Form on a vendor's row; RecDate, CheckNo, Property,
// Category, Amount on each of its payments' rows; on every row LineA (the question), AnswerA,
// and WithoutPayee (what the year paid to no payee named, in words, or empty).
MemoryRows vendorsPaidRows(const VendorsPaid& paid);

// The CSV file's rows: "Payee", "Address", "Date", "Ref No.", "Property", "Category", "Amount",
// "Total", "1099"; a vendor's row with its total, then its payments; then line A.
QList<QVariantList> vendorsPaidTable(const VendorsPaid& paid);
Status writeVendorsPaidCsv(const VendorsPaid& paid, const QString& path);

} // namespace halvo
