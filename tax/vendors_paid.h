#pragma once
// The vendors paid in a tax year, for the first question of the rental schedule (Schedule E,
// line A): "Did you make any payments in <year> that would require you to file Form(s) 1099?"
// Each payee of the ledger paid at least the year's reporting threshold for Forms 1099-NEC and
// 1099-MISC is listed with the year's payments and their total; the user ticks the ones that need
// no form (a corporation, a payee paid by card), and the year is answered Yes when any payee
// listed is not ticked.

#include "core/result.h"
#include "data/connection.h"
#include "data/money.h"

#include <QDate>
#include <QList>
#include <QString>

namespace halvo {

struct Worksheet;

// The amount from which payments to one payee in a calendar year are reported on a Form 1099.
struct ReportingThreshold {
    Money amount;
    // The year the amount is known for: the tax year itself, or for a later year the law has
    // given no amount for yet, the last year HALVO knows one for (whose amount it takes).
    int knownFor = 0;
};
ReportingThreshold reportingThreshold(int taxYear);

struct VendorPayment {
    QDate date;
    QString checkNo;
    QString property; // the nickname; empty for a row kept under no property
    QString category;
    Money amount;
};

struct VendorPaid {
    QString payee;   // as the ledger first writes it in the year, spaces trimmed
    QString vendor;  // the vendor record's company, or first and last name; empty when none is
    QString address; // the vendor record's address, city, state and postal code, on one line
    Money total;
    bool noFormNeeded = false;     // ticked "no 1099 needed" for the year
    QList<VendorPayment> payments; // by date, in the order they were entered on a day
};

struct VendorsPaid {
    int year = 0;
    ReportingThreshold threshold;
    QList<VendorPaid> vendors; // those paid at least the threshold, by payee, letter case aside
    // Payments of the year that count but name no payee, so that no vendor can be told for them.
    Money withoutPayee;

    // Line A: some vendor listed is not ticked "no 1099 needed".
    bool formsRequired() const;
};

// The tax year's payments that count, by payee. A payment counts when it is an expense whose
// category goes to a line of the schedule that pays for services or rent (see countsFor1099 in
// the source); a category without a line yet goes to the one its name suggests, and one with
// neither counts, as does a row without a category, so that nothing is left out unseen.
// With Payments::TotalsOnly each vendor's payments stay empty: the year's rows are added up by
// payee and category in the database, not read one by one (the window's list and line A).
enum class Payments { Listed, TotalsOnly };
Result<VendorsPaid> vendorsPaid(const Connection& connection, int year,
                                Payments payments = Payments::Listed);

// Ticks or clears "no 1099 needed" for a payee in a tax year.
Status saveNoFormNeeded(const Connection& connection, int year, const QString& payee, bool ticked);

// Answers the worksheet's line A for its year from the vendors paid.
Status answerLineA(const Connection& connection, Worksheet& sheet);

} // namespace halvo
