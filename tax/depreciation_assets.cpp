#include "depreciation_assets.h"

#include "data/dates.h"

namespace halvo {

namespace {

constexpr int DepreciationLine = 18;

QDate dateOf(const QVariant& value)
{
    return value.typeId() == QMetaType::QDate ? value.toDate() : Dates::fromStored(value.toString());
}

Result<QList<Asset>> enteredAssets(const Connection& connection, const QString& property)
{
    const QString all = QStringLiteral("SELECT NickName, Description, Cost, Additions, Land, "
                                       "InService, AssetClass, Disposed FROM tblAsset");
    const QString order = QStringLiteral(" ORDER BY NickName, InService, ID");
    Result<Rows> rows = property.isEmpty()
                            ? connection.select(all + order)
                            : connection.select(all + QStringLiteral(" WHERE NickName = ?") + order,
                                                {property});
    if (!rows)
        return rows.error();
    QList<Asset> assets;
    for (const QVariantList& r : rows.value().values) {
        Asset a;
        a.property = r[0].toString();
        a.description = r[1].toString();
        Money* amounts[] = {&a.cost, &a.additions, &a.land};
        for (int i = 0; i < 3; ++i) {
            Result<Money> m = moneyFromStored(r[2 + i]);
            if (!m)
                return m.error();
            *amounts[i] = m.value();
        }
        a.placedInService = dateOf(r[5]);
        a.assetClass = assetClassFromText(r[6].toString());
        a.disposed = dateOf(r[7]);
        assets.append(a);
    }
    return assets;
}

// The property's class for its improvements: that of its first entered asset.
AssetClass classOf(const QList<Asset>& entered, const QString& property)
{
    for (const Asset& a : entered)
        if (a.property.compare(property, Qt::CaseInsensitive) == 0)
            return a.assetClass;
    return AssetClass::Residential;
}

Result<QList<Asset>> ledgerImprovements(const Connection& connection, const QString& property,
                                        const QList<Asset>& entered)
{
    // The ledger's Category ignores letter case, and its collation decides the IN.
    QString sql = QStringLiteral(
        "SELECT NickName, RecDate, Payee, Memo, Expense FROM tblFinance WHERE Expense <> 0 "
        "AND COALESCE(NickName, '') <> '' AND Category IN (SELECT Category FROM tblCategoryLine "
        "WHERE Kind = 'Expense' AND Line = ?)");
    QVariantList params{CapitalImprovement};
    if (!property.isEmpty()) {
        sql += QStringLiteral(" AND NickName = ?");
        params << property;
    }
    Result<Rows> rows = connection.select(sql + QStringLiteral(" ORDER BY RecDate, ID"), params);
    if (!rows)
        return rows.error();
    QList<Asset> assets;
    for (const QVariantList& r : rows.value().values) {
        Result<Money> amount = moneyFromStored(r[4]);
        if (!amount)
            return amount.error();
        Asset a;
        a.property = r[0].toString();
        const QString payee = r[2].toString().trimmed(), memo = r[3].toString().trimmed();
        a.description = payee.isEmpty() ? memo
                        : memo.isEmpty() ? payee
                                         : QStringLiteral("%1: %2").arg(payee, memo);
        a.cost = amount.value();
        a.placedInService = dateOf(r[1]);
        a.assetClass = classOf(entered, a.property);
        a.fromLedger = true;
        if (a.placedInService.isValid())
            assets.append(a);
    }
    return assets;
}

} // namespace

Result<QList<Asset>> loadAssets(const Connection& connection, const QString& property)
{
    // The classes of the improvements come from every entered asset of their property.
    Result<QList<Asset>> entered = enteredAssets(connection, property);
    if (!entered)
        return entered;
    Result<QList<Asset>> improvements = ledgerImprovements(connection, property, entered.value());
    if (!improvements)
        return improvements;
    return entered.value() + improvements.value();
}

Result<QMap<QString, Money>> computedDepreciation(const Connection& connection, int year)
{
    Result<QList<Asset>> assets = loadAssets(connection);
    if (!assets)
        return assets.error();
    QMap<QString, Money> byProperty;
    for (const Asset& a : assets.value()) {
        const Money deduction = yearDeduction(a, year);
        if (deduction.isZero())
            continue;
        // One entry a property, whatever the letter case of the rows that name it.
        QString key = a.property;
        for (auto it = byProperty.cbegin(); it != byProperty.cend(); ++it)
            if (it.key().compare(a.property, Qt::CaseInsensitive) == 0)
                key = it.key();
        byProperty[key] += deduction;
    }
    return byProperty;
}

Status addComputedDepreciation(const Connection& connection, int year,
                               QMap<QString, WorksheetColumn>& columns,
                               const QMap<QString, QString>& addressOf)
{
    Result<QMap<QString, Money>> computed = computedDepreciation(connection, year);
    if (!computed)
        return computed.error();
    for (WorksheetColumn& column : columns)
        column.ledgerDepreciation = column.lines.value(DepreciationLine);
    for (auto it = computed.value().cbegin(); it != computed.value().cend(); ++it) {
        QString key = it.key();
        for (auto c = columns.cbegin(); c != columns.cend(); ++c)
            if (!c.key().isEmpty() && c.key().compare(it.key(), Qt::CaseInsensitive) == 0)
                key = c.key();
        WorksheetColumn& column = columns[key];
        if (column.property.isEmpty()) {
            column.property = key;
            for (auto a = addressOf.cbegin(); a != addressOf.cend(); ++a)
                if (a.key().compare(key, Qt::CaseInsensitive) == 0)
                    column.address = a.value();
        }
        column.computedDepreciation = it.value();
        column.lines[DepreciationLine] += it.value();
    }
    return {};
}

QString depreciationNotice(const WorksheetColumn& column)
{
    if (column.computedDepreciation.isZero() || column.ledgerDepreciation.isZero())
        return {};
    return QStringLiteral("Line 18 of %1 holds both the computed depreciation (%2) and ledger rows "
                          "mapped to line 18 (%3): make sure nothing is deducted twice.")
        .arg(column.property, column.computedDepreciation.format(MoneyFormat::Bound),
             column.ledgerDepreciation.format(MoneyFormat::Bound));
}

} // namespace halvo
