#include "rental_days.h"

#include "rentroll/rent_roll.h"

#include <QDate>
#include <algorithm>

namespace halvo {

namespace {

std::optional<int> optionalInt(const QVariant& v)
{
    bool ok = false;
    const int n = v.toInt(&ok);
    return v.isNull() || !ok ? std::nullopt : std::optional<int>(n);
}

QVariant stored(const std::optional<int>& n) { return n ? QVariant(*n) : QVariant(); }

// What a property's own type says, the most particular words first: a vacation condo is a
// vacation rental before it is a single family residence.
struct TypeWords {
    QStringList words; // any of them in the text
    int code;
};

const QList<TypeWords>& typeWords()
{
    static const QList<TypeWords> all{
        {{"vacation", "short"}, 3},
        {{"commercial", "office", "retail", "warehouse", "industrial", "store"}, 4},
        {{"land", "vacant"}, 5},
        {{"royalt"}, 6},
        {{"self"}, 7},
        {{"multi", "duplex", "triplex", "plex", "apartment"}, 2},
        {{"single", "house", "condo", "sfr", "home"}, 1},
    };
    return all;
}

} // namespace

const QList<PropertyTypeCode>& propertyTypeCodes()
{
    static const QList<PropertyTypeCode> codes{
        {1, QStringLiteral("Single Family Residence")},
        {2, QStringLiteral("Multi-Family Residence")},
        {3, QStringLiteral("Vacation/Short-Term Rental")},
        {4, QStringLiteral("Commercial")},
        {5, QStringLiteral("Land")},
        {6, QStringLiteral("Royalties")},
        {7, QStringLiteral("Self-Rental")},
        {8, QStringLiteral("Other")},
    };
    return codes;
}

std::optional<int> suggestedTypeCode(const QString& propertyType)
{
    const QString text = propertyType.toLower();
    for (const TypeWords& t : typeWords())
        if (std::any_of(t.words.cbegin(), t.words.cend(),
                        [&](const QString& w) { return text.contains(w); }))
            return t.code;
    return std::nullopt;
}

int leaseDaysInYear(const QList<Lease>& leases, int year)
{
    const QDate first(year, 1, 1), last(year, 12, 31);
    QList<std::pair<QDate, QDate>> spans;
    for (const Lease& lease : leases) {
        if (!lease.start.isValid())
            continue;
        const QDate from = std::max(lease.start, first);
        const QDate to = std::min(leaseEnd(lease).value_or(last), last);
        if (from <= to)
            spans.append({from, to});
    }
    // Leases of one property overlap (units let side by side): a day counts once.
    std::sort(spans.begin(), spans.end());
    qint64 days = 0;
    QDate counted; // the last day counted so far
    for (const auto& [from, to] : spans) {
        const QDate start = counted.isValid() && counted >= from ? counted.addDays(1) : from;
        if (start <= to) {
            days += start.daysTo(to) + 1;
            counted = to;
        }
    }
    return int(days);
}

Result<QList<RentalDays>> enteredRentalDays(const Connection& connection, int year)
{
    Result<Rows> rows = connection.select(
        QStringLiteral("SELECT NickName, PropertyType, FairRentalDays, PersonalUseDays "
                       "FROM tblRentalDays WHERE TaxYear = ? ORDER BY NickName"),
        {year});
    if (!rows)
        return rows.error();
    QList<RentalDays> entered;
    for (const QVariantList& r : rows.value().values)
        entered.append({r[0].toString(), optionalInt(r[1]), optionalInt(r[2]),
                        optionalInt(r[3]), std::nullopt, 0});
    return entered;
}

Result<QList<RentalDays>> rentalDaysOf(const Connection& connection, int year)
{
    Result<Rows> properties = connection.select(QStringLiteral(
        "SELECT BldNickName, BldPropertyType FROM tblBuilding WHERE BldNickName <> '' "
        "ORDER BY BldNickName"));
    Result<QList<RentalDays>> entered = enteredRentalDays(connection, year);
    Result<Rows> earlier = connection.select(
        QStringLiteral("SELECT NickName, PropertyType FROM tblRentalDays WHERE TaxYear < ? "
                       "AND PropertyType IS NOT NULL ORDER BY TaxYear"),
        {year});
    Result<QList<TenantLease>> leases = loadLeases(connection);
    if (!properties || !entered || !earlier || !leases)
        return !properties ? properties.error()
               : !entered  ? entered.error()
               : !earlier  ? earlier.error()
                           : leases.error();
    const auto same = [](const QString& a, const QString& b) {
        return a.compare(b, Qt::CaseInsensitive) == 0;
    };
    QList<RentalDays> all;
    for (const QVariantList& p : properties.value().values) {
        RentalDays d;
        d.property = p[0].toString();
        for (const RentalDays& e : entered.value())
            if (same(e.property, d.property))
                d = RentalDays{d.property, e.type, e.fairRentalDays, e.personalUseDays, {}, 0};
        d.proposedType = suggestedTypeCode(p[1].toString());
        for (const QVariantList& e : earlier.value().values)
            if (same(e[0].toString(), d.property))
                d.proposedType = optionalInt(e[1]);
        QList<Lease> own;
        for (const TenantLease& t : leases.value())
            if (same(t.property, d.property))
                own.append(t.lease);
        d.offeredDays = leaseDaysInYear(own, year);
        all.append(d);
    }
    return all;
}

Status saveRentalDays(const Connection& connection, int year, const QList<RentalDays>& days)
{
    Transaction work(connection);
    if (!work.status())
        return work.status();
    for (const RentalDays& d : days) {
        Result<int> done = connection.execute(
            QStringLiteral("DELETE FROM tblRentalDays WHERE NickName = ? AND TaxYear = ?"),
            {d.property, year});
        if (done && (d.type || d.fairRentalDays || d.personalUseDays))
            done = connection.execute(
                QStringLiteral("INSERT INTO tblRentalDays (NickName, TaxYear, PropertyType, "
                               "FairRentalDays, PersonalUseDays) VALUES (?, ?, ?, ?, ?)"),
                {d.property, year, stored(d.type), stored(d.fairRentalDays),
                 stored(d.personalUseDays)});
        if (!done)
            return done.error();
    }
    return work.commit();
}

} // namespace halvo
