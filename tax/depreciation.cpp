#include "depreciation.h"

#include <QStringList>
#include <algorithm>
#include <cstdlib>

namespace halvo {

namespace {

// A stretch of a table's recovery years with the same percentages, by month placed in service.
struct TableRows {
    int fromYear, toYear;
    int byMonth[12];
};

// IRS Publication 946, Table A-6: residential rental property, mid-month convention, straight
// line, 27.5 years. In thousandths of a percent, as printed.
const TableRows tableA6[] = {
    {1, 1, {3485, 3182, 2879, 2576, 2273, 1970, 1667, 1364, 1061, 758, 455, 152}},
    {2, 9, {3636, 3636, 3636, 3636, 3636, 3636, 3636, 3636, 3636, 3636, 3636, 3636}},
    {10, 10, {3637, 3637, 3637, 3637, 3637, 3637, 3636, 3636, 3636, 3636, 3636, 3636}},
    {11, 11, {3636, 3636, 3636, 3636, 3636, 3636, 3637, 3637, 3637, 3637, 3637, 3637}},
    {12, 12, {3637, 3637, 3637, 3637, 3637, 3637, 3636, 3636, 3636, 3636, 3636, 3636}},
    {13, 13, {3636, 3636, 3636, 3636, 3636, 3636, 3637, 3637, 3637, 3637, 3637, 3637}},
    {14, 14, {3637, 3637, 3637, 3637, 3637, 3637, 3636, 3636, 3636, 3636, 3636, 3636}},
    {15, 15, {3636, 3636, 3636, 3636, 3636, 3636, 3637, 3637, 3637, 3637, 3637, 3637}},
    {16, 16, {3637, 3637, 3637, 3637, 3637, 3637, 3636, 3636, 3636, 3636, 3636, 3636}},
    {17, 17, {3636, 3636, 3636, 3636, 3636, 3636, 3637, 3637, 3637, 3637, 3637, 3637}},
    {18, 18, {3637, 3637, 3637, 3637, 3637, 3637, 3636, 3636, 3636, 3636, 3636, 3636}},
    {19, 19, {3636, 3636, 3636, 3636, 3636, 3636, 3637, 3637, 3637, 3637, 3637, 3637}},
    {20, 20, {3637, 3637, 3637, 3637, 3637, 3637, 3636, 3636, 3636, 3636, 3636, 3636}},
    {21, 21, {3636, 3636, 3636, 3636, 3636, 3636, 3637, 3637, 3637, 3637, 3637, 3637}},
    {22, 22, {3637, 3637, 3637, 3637, 3637, 3637, 3636, 3636, 3636, 3636, 3636, 3636}},
    {23, 23, {3636, 3636, 3636, 3636, 3636, 3636, 3637, 3637, 3637, 3637, 3637, 3637}},
    {24, 24, {3637, 3637, 3637, 3637, 3637, 3637, 3636, 3636, 3636, 3636, 3636, 3636}},
    {25, 25, {3636, 3636, 3636, 3636, 3636, 3636, 3637, 3637, 3637, 3637, 3637, 3637}},
    {26, 26, {3637, 3637, 3637, 3637, 3637, 3637, 3636, 3636, 3636, 3636, 3636, 3636}},
    {27, 27, {3636, 3636, 3636, 3636, 3636, 3636, 3637, 3637, 3637, 3637, 3637, 3637}},
    {28, 28, {1970, 2273, 2576, 2879, 3182, 3485, 3636, 3636, 3636, 3636, 3636, 3636}},
    {29, 29, {0, 0, 0, 0, 0, 0, 152, 455, 758, 1061, 1364, 1667}},
};

// IRS Publication 946, Table A-7a: nonresidential real property, mid-month convention, straight
// line, 39 years.
const TableRows tableA7a[] = {
    {1, 1, {2461, 2247, 2033, 1819, 1605, 1391, 1177, 963, 749, 535, 321, 107}},
    {2, 39, {2564, 2564, 2564, 2564, 2564, 2564, 2564, 2564, 2564, 2564, 2564, 2564}},
    {40, 40, {107, 321, 535, 749, 963, 1177, 1391, 1605, 1819, 2033, 2247, 2461}},
};

// The recovery period in half months: 27.5 and 39 years.
int lifeInHalfMonths(AssetClass c) { return c == AssetClass::Residential ? 660 : 936; }

// a / b to the nearest whole number, halves up; a and b not negative.
std::int64_t roundedQuotient(__int128 a, __int128 b) { return std::int64_t((2 * a + b) / (2 * b)); }

// How many half months of [from, to) fall in [spanFrom, spanTo).
int overlap(int from, int to, int spanFrom, int spanTo)
{
    return std::max(0, std::min(to, spanTo) - std::max(from, spanFrom));
}

// The last recovery year with a percentage for the month placed in service.
int lastRecoveryYear(AssetClass c, int month)
{
    int last = tableYears(c);
    while (last > 1 && tablePercentage(c, month, last) == 0)
        --last;
    return last;
}

// The year of disposition: the share of the recovery year the asset was in service. Counted in
// half months from the first of January of its first year: service begins in the middle of the
// month placed in service and ends in the middle of the month of disposition (that month
// counting as half), at the latest when the recovery period ends. A middle year gives the months
// in service over 12; the first year gives them over the months its percentage covers.
struct Share {
    int inService = 0, covered = 1;
};

Share disposalShare(const Asset& asset, int recoveryYear)
{
    const int start = 2 * asset.placedInService.month() - 1;
    const int end = start + lifeInHalfMonths(asset.assetClass);
    const int spanFrom = 24 * (recoveryYear - 1), spanTo = spanFrom + 24;
    const int leaves = spanFrom + 2 * asset.disposed.month() - 1;
    return {overlap(start, std::min(end, leaves), spanFrom, spanTo),
            std::max(1, overlap(start, end, spanFrom, spanTo))};
}

} // namespace

QString assetClassName(AssetClass assetClass)
{
    return assetClass == AssetClass::Residential
               ? QStringLiteral("Residential rental (27.5 years)")
               : QStringLiteral("Nonresidential real property (39 years)");
}

QStringList assetClassNames()
{
    return {assetClassName(AssetClass::Residential), assetClassName(AssetClass::Nonresidential)};
}

AssetClass assetClassFromText(const QString& text)
{
    return text.trimmed().startsWith(QStringLiteral("Nonresidential"), Qt::CaseInsensitive)
               ? AssetClass::Nonresidential
               : AssetClass::Residential;
}

int tableYears(AssetClass assetClass) { return assetClass == AssetClass::Residential ? 29 : 40; }

int tablePercentage(AssetClass assetClass, int month, int recoveryYear)
{
    if (month < 1 || month > 12)
        return 0;
    const auto find = [&](const auto& table) {
        for (const TableRows& rows : table)
            if (recoveryYear >= rows.fromYear && recoveryYear <= rows.toYear)
                return rows.byMonth[month - 1];
        return 0;
    };
    return assetClass == AssetClass::Residential ? find(tableA6) : find(tableA7a);
}

QString percentageText(int thousandths)
{
    return QStringLiteral("%1.%2%")
        .arg(thousandths / 1000)
        .arg(thousandths % 1000, 3, 10, QLatin1Char('0'));
}

Money Asset::basis() const
{
    // Land worth more than the building leaves nothing to depreciate; a ledger row of a
    // negative amount (an improvement's refund) lowers the depreciation as it lowered the cost.
    const Money b = cost + additions - land;
    return !fromLedger && b.isNegative() ? Money() : b;
}

QList<DepreciationYear> depreciationSchedule(const Asset& asset, int lastYear)
{
    QList<DepreciationYear> years;
    const Money basis = asset.basis();
    if (!asset.placedInService.isValid() || basis.isZero())
        return years;
    // Worked in whole cents of the basis's size; a negative basis gives the same figures negated.
    const bool negative = basis.isNegative();
    const std::int64_t basisUnits = std::llabs(basis.units());
    const std::int64_t basisCents = roundedQuotient(basisUnits, 100);
    const int month = asset.placedInService.month();
    const int firstYear = asset.placedInService.year();
    const int lastRecovery = lastRecoveryYear(asset.assetClass, month);
    std::int64_t accumulated = 0;
    for (int r = 1; r <= lastRecovery; ++r) {
        const int year = firstYear + r - 1;
        if (year > lastYear)
            break;
        if (asset.disposed.isValid() && year > asset.disposed.year())
            break;
        if (asset.disposed.isValid() && asset.disposed < asset.placedInService)
            break; // taken out of service before it was placed in it: never depreciated
        DepreciationYear y;
        y.year = year;
        y.recoveryYear = r;
        y.percentage = tablePercentage(asset.assetClass, month, r);
        const std::int64_t remaining = basisCents - accumulated;
        // The table's last year takes what remains, so that the years rounded to the cent
        // recover the basis exactly.
        std::int64_t cents = r == lastRecovery
                                 ? remaining
                                 : roundedQuotient(__int128(basisUnits) * y.percentage, 10'000'000);
        if (asset.disposed.isValid() && year == asset.disposed.year()) {
            const Share share = disposalShare(asset, r);
            cents = roundedQuotient(__int128(cents) * share.inService, share.covered);
            y.partYear = true;
        }
        cents = std::clamp<std::int64_t>(cents, 0, remaining); // never more than the basis
        accumulated += cents;
        const auto asMoney = [&](std::int64_t c) { return Money::fromCents(negative ? -c : c); };
        y.deduction = asMoney(cents);
        y.accumulated = asMoney(accumulated);
        y.remaining = basis - y.accumulated;
        years.append(y);
    }
    return years;
}

Money yearDeduction(const Asset& asset, int year)
{
    const QList<DepreciationYear> years = depreciationSchedule(asset, year);
    return !years.isEmpty() && years.last().year == year ? years.last().deduction : Money();
}

} // namespace halvo
