#include "vendors_paid.h"

#include "data/dates.h"
#include "tax/schedule_e.h"

#include <QSet>
#include <algorithm>

namespace halvo {

namespace {

// The reporting thresholds of Forms 1099-NEC and 1099-MISC by the first year of payments they
// hold for, the latest last (26 U.S.C. 6041(a) and 6041A(a)):
// - $600 or more for payments made through December 31, 2025;
// - $2,000 or more for payments made after December 31, 2025 (One Big Beautiful Bill Act,
//   Pub. L. 119-21, sec. 70433), adjusted for inflation for the years after 2026 in steps of $100.
// Each year's adjusted amount is added here when it is published; a later year takes the last
// amount known, and the report says whose amount it is.
struct ThresholdFrom {
    int fromYear;
    Money amount;
};
const ThresholdFrom thresholds[] = {
    {0, Money::fromCents(600'00)},
    {2026, Money::fromCents(2'000'00)},
};

// The lines of the schedule whose payments are for services or rent, and so may need a Form
// 1099: advertising, cleaning and maintenance, commissions, legal and other professional fees,
// management fees, repairs, and other (where rent paid goes). The others do not: auto and travel
// (fares, fuel, mileage), insurance premiums, mortgage and other interest (paid to banks, on forms
// of their own), supplies (goods), taxes, utilities (telephone and power, goods and corporations),
// depreciation; and what is not on Schedule E at all (loan principal, deposits given back,
// capital improvements).
bool countsFor1099(int line) {
    static const QSet<int> counted{5, 7, 8, 10, 11, 14, 19};
    return counted.contains(line);
}

// A category without a line yet goes where its name suggests, as the worksheet will offer it
// ("Mortgage Interest" to line 12, not counted); a row without a category, or one whose name says
// nothing the program knows, counts: it may be a payment for services, and the user is the one to
// say it is not.
bool counts(const QMap<CategoryKey, int>& lines, const QString& category) {
    if (category.isEmpty())
        return true;
    const auto mapped = lines.constFind({false, category});
    const std::optional<int> line =
        mapped != lines.constEnd() ? std::optional<int>(*mapped) : suggestedLine(false, category);
    return !line || countsFor1099(*line);
}

// Texts compare as the database compares them: A to Z the same as a to z.
bool sameText(const QString& a, const QString& b) {
    return CategoryKey{false, a} == CategoryKey{false, b};
}

QDate dateOf(const QVariant& stored) {
    return stored.metaType() == QMetaType::fromType<QDate>() ? stored.toDate()
                                                             : Dates::fromStored(stored.toString());
}

struct VendorRecord {
    QString company, name, street, city, state, postalCode;
};

Result<QList<VendorRecord>> vendorRecords(const Connection& connection) {
    Result<Rows> rows = connection.select(QStringLiteral(
        "SELECT COALESCE(Company, ''), TRIM(COALESCE(FirstName, '') || ' ' || "
        "COALESCE(LastName, '')), COALESCE(Address, ''), COALESCE(City, ''), COALESCE(State, ''), "
        "COALESCE(PostalCode, '') FROM tblVendor ORDER BY ID"));
    if (!rows)
        return rows.error();
    QList<VendorRecord> records;
    records.reserve(rows.value().values.size());
    for (const QVariantList& r : rows.value().values)
        records.append(VendorRecord{r[0].toString().trimmed(), r[1].toString(), r[2].toString(),
                                    r[3].toString(), r[4].toString(), r[5].toString()});
    return records;
}

// The vendor's address on one line, "9 Mill St, Dayton, OH 45402", leaving out what is empty;
// made only for the vendors a payee meets.
QString addressLine(const VendorRecord& v) {
    const auto joined = [](QStringList parts, const QString& between) {
        for (QString& part : parts)
            part = part.trimmed();
        parts.removeIf([](const QString& part) { return part.isEmpty(); });
        return parts.join(between);
    };
    const QString statePostal = joined({v.state, v.postalCode}, QStringLiteral(" "));
    return joined({v.street, joined({v.city, statePostal}, QStringLiteral(", "))},
                  QStringLiteral(", "));
}

// A payee is the vendor whose company is its name, or else whose first and last name are; the
// first such in the vendor list.
void matchVendor(VendorPaid& paid, const QList<VendorRecord>& records) {
    for (bool byCompany : {true, false}) {
        for (const VendorRecord& v : records) {
            const QString& name = byCompany ? v.company : v.name;
            if (!name.isEmpty() && sameText(name, paid.payee)) {
                paid.vendor = name;
                paid.address = addressLine(v);
                return;
            }
        }
    }
}

Result<QStringList> tickedPayees(const Connection& connection, int year) {
    return connection.texts(QStringLiteral("SELECT Payee FROM tblNo1099 WHERE TaxYear = ?"),
                            {year});
}

// The year's counted payments, grouped by payee (the rows come ordered by payee, letter case
// aside); every payee paid anything, before the threshold is applied.
// Adds a counted amount to its payee, the rows coming ordered by payee (letter case aside); an
// amount that names no payee goes to those without one. The payee's entry, or none; `began` says
// whether this amount began it.
VendorPaid* addToPayee(VendorsPaid& paid, const QString& payee, const Money& amount,
                       bool* began = nullptr) {
    if (payee.isEmpty()) {
        paid.withoutPayee += amount;
        return nullptr;
    }
    const bool first = paid.vendors.isEmpty() || !sameText(paid.vendors.last().payee, payee);
    if (first)
        paid.vendors.append(VendorPaid{payee, {}, {}, {}, false, {}});
    if (began)
        *began = first;
    paid.vendors.last().total += amount;
    return &paid.vendors.last();
}

Result<VendorsPaid> paymentsByPayee(const Connection& connection, int year) {
    Result<QMap<CategoryKey, int>> lines = loadCategoryLines(connection);
    if (!lines)
        return lines.error();
    Result<Rows> rows = connection.select(
        QStringLiteral("SELECT TRIM(COALESCE(Payee, '')), RecDate, COALESCE(CheckNo, ''), "
                       "COALESCE(NickName, ''), COALESCE(Category, ''), Expense FROM tblFinance "
                       "WHERE RecDate >= ? AND RecDate < ? AND Expense <> 0 "
                       "ORDER BY TRIM(COALESCE(Payee, '')) COLLATE NOCASE, RecDate, ID"),
        {QDate(year, 1, 1), QDate(year + 1, 1, 1)});
    if (!rows)
        return rows.error();
    VendorsPaid paid;
    paid.year = year;
    for (const QVariantList& r : rows.value().values) {
        const QString category = r[4].toString();
        if (!counts(lines.value(), category))
            continue;
        const Result<Money> amount = moneyFromStored(r[5]);
        if (!amount)
            return Error{QStringLiteral("The expense paid to \"%1\" on %2 is not an amount: %3")
                             .arg(r[0].toString(), r[1].toString(), r[5].toString())};
        if (VendorPaid* vendor = addToPayee(paid, r[0].toString(), amount.value()))
            vendor->payments.append(VendorPayment{dateOf(r[1]), r[2].toString(), r[3].toString(),
                                                  category, amount.value()});
    }
    return paid;
}

// The year's counted totals by payee, added up in the database by payee (letter case aside)
// and category; the payee as the year's first row of the group writes it.
Result<VendorsPaid> totalsByPayee(const Connection& connection, int year) {
    Result<QMap<CategoryKey, int>> lines = loadCategoryLines(connection);
    if (!lines)
        return lines.error();
    Result<Rows> rows = connection.select(
        QStringLiteral("SELECT TRIM(COALESCE(Payee, '')) COLLATE NOCASE, COALESCE(Category, ''), "
                       "SUM(Expense), "
                       "MIN(RecDate) FROM tblFinance WHERE RecDate >= ? AND RecDate < ? "
                       "AND Expense <> 0 GROUP BY TRIM(COALESCE(Payee, '')) COLLATE NOCASE, "
                       "COALESCE(Category, '') ORDER BY TRIM(COALESCE(Payee, '')) COLLATE NOCASE"),
        {QDate(year, 1, 1), QDate(year + 1, 1, 1)});
    if (!rows)
        return rows.error();
    VendorsPaid paid;
    paid.year = year;
    QString firstDate; // of the payee's group whose spelling is shown
    for (const QVariantList& r : rows.value().values) {
        if (!counts(lines.value(), r[1].toString()))
            continue;
        const Result<Money> amount = moneyFromStored(r[2]);
        if (!amount)
            return Error{QStringLiteral("The expenses paid to \"%1\" in %2 are not an amount: %3")
                             .arg(r[0].toString())
                             .arg(year)
                             .arg(r[2].toString())};
        bool began = false;
        VendorPaid* vendor = addToPayee(paid, r[0].toString(), amount.value(), &began);
        if (vendor && (began || r[3].toString() < firstDate)) {
            vendor->payee = r[0].toString();
            firstDate = r[3].toString();
        }
    }
    return paid;
}

} // namespace

ReportingThreshold reportingThreshold(int taxYear) {
    const ThresholdFrom* chosen = &thresholds[0];
    for (const ThresholdFrom& t : thresholds)
        if (t.fromYear <= taxYear)
            chosen = &t;
    const int lastKnown = std::end(thresholds)[-1].fromYear;
    return {chosen->amount, std::min(taxYear, lastKnown)};
}

bool VendorsPaid::formsRequired() const {
    return std::any_of(vendors.cbegin(), vendors.cend(),
                       [](const VendorPaid& v) { return !v.noFormNeeded; });
}

Result<VendorsPaid> vendorsPaid(const Connection& connection, int year, Payments payments) {
    Result<VendorsPaid> all = payments == Payments::Listed ? paymentsByPayee(connection, year)
                                                           : totalsByPayee(connection, year);
    if (!all)
        return all;
    Result<QList<VendorRecord>> records = vendorRecords(connection);
    if (!records)
        return records.error();
    Result<QStringList> ticked = tickedPayees(connection, year);
    if (!ticked)
        return ticked.error();

    VendorsPaid paid = std::move(all).value();
    paid.threshold = reportingThreshold(year);
    // "At least": the law asks for a form for payments of the amount or more.
    paid.vendors.removeIf([&](const VendorPaid& v) { return v.total < paid.threshold.amount; });
    for (VendorPaid& v : paid.vendors) {
        matchVendor(v, records.value());
        v.noFormNeeded = std::any_of(ticked.value().cbegin(), ticked.value().cend(),
                                     [&](const QString& t) { return sameText(t, v.payee); });
    }
    return paid;
}

// The tick is kept by payee and tax year: a payee paid by card one year may be paid by check the
// next, and an answer given for a year already filed must not change with a tick made later.
Status saveNoFormNeeded(const Connection& connection, int year, const QString& payee, bool ticked) {
    const QVariantList which{year, payee.trimmed()};
    Transaction work(connection);
    if (!work.status())
        return work.status();
    // The payee column ignores letter case, so this takes away the tick under any spelling.
    Result<int> done = connection.execute(
        QStringLiteral("DELETE FROM tblNo1099 WHERE TaxYear = ? AND Payee = ?"), which);
    if (done && ticked)
        done = connection.execute(
            QStringLiteral("INSERT INTO tblNo1099 (TaxYear, Payee) VALUES (?, ?)"), which);
    if (!done)
        return done.error();
    return work.commit();
}

Status answerLineA(const Connection& connection, Worksheet& sheet) {
    Result<VendorsPaid> paid = vendorsPaid(connection, sheet.year, Payments::TotalsOnly);
    if (!paid)
        return paid.error();
    sheet.formsRequired = paid.value().formsRequired();
    return {};
}

} // namespace halvo
