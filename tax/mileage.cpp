#include "mileage.h"

#include "tax/rental_days.h"

#include <cmath>

namespace halvo {

namespace {

constexpr int AutoAndTravel = 6;

MileageRate wholeYear(int year, std::int64_t tenThousandths)
{
    return {QDate(year, 1, 1), QDate(year, 12, 31), Money::fromUnits(tenThousandths)};
}

// The nickname among `keys` that names the same property as `name`: nicknames compare as the
// database compares them, without regard to letter case.
template <class Map>
QString sameProperty(const Map& map, const QString& name)
{
    for (auto it = map.cbegin(); it != map.cend(); ++it)
        if (it.key().compare(name, Qt::CaseInsensitive) == 0)
            return it.key();
    return name;
}

} // namespace

// The IRS standard mileage rates for business use of a car, in cents a mile, as announced in its
// news releases for each year: 2015 57.5 (IR-2014-114), 2016 54 (IR-2015-137), 2017 53.5
// (IR-2016-169), 2018 54.5 (IR-2017-204), 2019 58 (IR-2018-251), 2020 57.5 (IR-2019-215), 2021 56
// (IR-2020-279), 2022 58.5 from January to June (IR-2021-251) and 62.5 from July to December
// (IR-2022-124, the mid-year change), 2023 65.5 (IR-2022-234), 2024 67 (IR-2023-239), 2025 70
// (IR-2024-345), 2026 72.5 (announced December 29, 2025). A later year is added here when the IRS
// announces it; until then the user is asked for it.
const QList<MileageRate>& knownMileageRates()
{
    static const QList<MileageRate> rates{
        wholeYear(2015, 5750),
        wholeYear(2016, 5400),
        wholeYear(2017, 5350),
        wholeYear(2018, 5450),
        wholeYear(2019, 5800),
        wholeYear(2020, 5750),
        wholeYear(2021, 5600),
        {QDate(2022, 1, 1), QDate(2022, 6, 30), Money::fromUnits(5850)},
        {QDate(2022, 7, 1), QDate(2022, 12, 31), Money::fromUnits(6250)},
        wholeYear(2023, 6550),
        wholeYear(2024, 6700),
        wholeYear(2025, 7000),
        wholeYear(2026, 7250),
    };
    return rates;
}

Result<std::optional<QList<MileageRate>>> mileageRatesOf(const Connection& connection, int year)
{
    QList<MileageRate> rates;
    for (const MileageRate& rate : knownMileageRates())
        if (rate.from.year() == year)
            rates.append(rate);
    if (!rates.isEmpty())
        return std::optional<QList<MileageRate>>(rates);
    Result<Rows> given = connection.select(
        QStringLiteral("SELECT Rate FROM tblMileageRate WHERE TaxYear = ?"), {year});
    if (!given)
        return given.error();
    if (given.value().values.isEmpty())
        return std::optional<QList<MileageRate>>();
    Result<Money> rate = moneyFromStored(given.value().values.first().value(0));
    if (!rate)
        return rate.error();
    return std::optional<QList<MileageRate>>(
        QList<MileageRate>{wholeYear(year, rate.value().units())});
}

bool isMileageRate(const Money& perMile)
{
    return perMile > Money() && perMile < Money::fromCents(1000);
}

Status saveMileageRate(const Connection& connection, int year, const Money& perMile)
{
    Result<int> done = connection.execute(
        QStringLiteral("INSERT OR REPLACE INTO tblMileageRate (TaxYear, Rate) VALUES (?, ?)"),
        {year, QVariant::fromValue(perMile)});
    if (!done)
        return done.error();
    return {};
}

Money mileageAmount(qint64 hundredthsOfMiles, const Money& perMile)
{
    // Hundredths of a mile times ten-thousandths of a dollar, back to ten-thousandths, half away
    // from zero.
    const std::int64_t product = hundredthsOfMiles * perMile.units();
    const std::int64_t whole = product / 100, rest = product % 100;
    return Money::fromUnits(whole + (rest >= 50 ? 1 : rest <= -50 ? -1 : 0));
}

Outcome<QMap<QString, Money>, WorksheetRefusal> mileageByProperty(const Connection& connection,
                                                                  int year)
{
    Result<Rows> trips = connection.select(
        QStringLiteral("SELECT COALESCE(NickName, ''), TripDate, Miles FROM tblMileage "
                       "WHERE TripDate >= ? AND TripDate < ?"),
        {QDate(year, 1, 1), QDate(year + 1, 1, 1)});
    if (!trips)
        return trips.error();
    QMap<QString, Money> amounts;
    if (trips.value().values.isEmpty())
        return amounts;
    Result<std::optional<QList<MileageRate>>> rates = mileageRatesOf(connection, year);
    if (!rates)
        return rates.error();
    if (!rates.value())
        return WorksheetRefusal{WorksheetRefusal::Kind::MileageRateUnknown, year, {}, {}};

    // The miles of each property at each rate, added up before they are priced, so that a
    // property's amount is its miles times the rate, rounded once.
    QMap<QString, QMap<int, qint64>> miles;
    for (const QVariantList& trip : trips.value().values) {
        const QDate date = trip[1].toDate();
        const QString property = sameProperty(miles, trip[0].toString());
        for (int i = 0; i < rates.value()->size(); ++i) {
            const MileageRate& rate = rates.value()->at(i);
            if (date >= rate.from && date <= rate.to)
                miles[property][i] += std::llround(trip[2].toDouble() * 100);
        }
    }
    for (auto p = miles.cbegin(); p != miles.cend(); ++p) {
        Money amount;
        for (auto r = p.value().cbegin(); r != p.value().cend(); ++r)
            amount += mileageAmount(r.value(), rates.value()->at(r.key()).perMile);
        amounts.insert(p.key(), amount.roundedToCents());
    }
    return amounts;
}

Result<int> addTrips(const Connection& connection, const QList<Trip>& trips)
{
    Result<QStringList> nicknames =
        connection.texts(QStringLiteral("SELECT BldNickName FROM tblBuilding"));
    if (!nicknames)
        return nicknames.error();
    QMap<QString, bool> properties;
    for (const QString& n : nicknames.value())
        properties.insert(n, true);
    Transaction work(connection);
    if (!work.status())
        return work.status().error();
    for (const Trip& t : trips) {
        const QString property = t.property.trimmed();
        Result<int> done = connection.execute(
            QStringLiteral("INSERT INTO tblMileage (TripDate, NickName, Purpose, Miles) "
                           "VALUES (?, ?, ?, ?)"),
            {t.date, property.isEmpty() ? QVariant() : QVariant(sameProperty(properties, property)),
             t.purpose, t.miles});
        if (!done)
            return done.error();
    }
    if (Status committed = work.commit(); !committed)
        return committed.error();
    return int(trips.size());
}

Outcome<QMap<QString, WorksheetColumn>, WorksheetRefusal>
withTripsAndDays(const Connection& connection, int year, QMap<QString, WorksheetColumn> columns,
                 const QMap<QString, QString>& addressOf)
{
    Outcome<QMap<QString, Money>, WorksheetRefusal> mileage = mileageByProperty(connection, year);
    if (mileage.refused())
        return mileage.refusal();
    if (!mileage)
        return mileage.error();
    for (auto m = mileage.value().cbegin(); m != mileage.value().cend(); ++m) {
        if (m.value().isZero())
            continue;
        // A trip of no property goes with the ledger rows of none.
        // Named as the property names itself, or as the ledger's rows of it do.
        const QString key = m.key().isEmpty()
                                ? QString()
                                : sameProperty(columns, sameProperty(addressOf, m.key()));
        WorksheetColumn& column = columns[key];
        column.property = key;
        if (column.address.isEmpty())
            column.address = addressOf.value(sameProperty(addressOf, key));
        column.lines[AutoAndTravel] += m.value();
    }

    Result<QList<RentalDays>> days = enteredRentalDays(connection, year);
    if (!days)
        return days.error();
    for (const RentalDays& d : days.value()) {
        const QString key = sameProperty(columns, d.property);
        if (key.isEmpty() || !columns.contains(key))
            continue;
        columns[key].propertyType = d.type;
        columns[key].fairRentalDays = d.fairRentalDays;
        columns[key].personalUseDays = d.personalUseDays;
    }
    return columns;
}

} // namespace halvo
