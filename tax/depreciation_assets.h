#pragma once
// The assets a property depreciates, as the file holds them: those entered on the property
// (tblAsset) and the capital improvements of the ledger (each row of an expense category whose
// line is CapitalImprovement). And the year's computed depreciation on the worksheet's line 18.

#include "core/result.h"
#include "data/connection.h"
#include "tax/depreciation.h"
#include "tax/schedule_e.h"

#include <QList>
#include <QMap>
#include <QString>

namespace halvo {

// The assets of one property (`property` as the file compares nicknames, without regard to
// letter case), or of every property when it is empty: the entered ones in the order they were
// placed in service, then the ledger's improvements by date. An improvement of the ledger is of
// its property's class: the class of the property's first entered asset, residential when it has
// none. Ledger rows kept under no property belong to no building and are not assets.
Result<QList<Asset>> loadAssets(const Connection& connection, const QString& property = {});

// Each property's computed depreciation of the year, by nickname as the assets write it.
Result<QMap<QString, Money>> computedDepreciation(const Connection& connection, int year);

// The worksheet's part: each property's computed depreciation goes to line 18 of its column,
// beside the ledger's rows mapped to line 18; a property with assets and no ledger row that year
// gets a column of its own, with the address `addressOf` gives.
Status addComputedDepreciation(const Connection& connection, int year,
                               QMap<QString, WorksheetColumn>& columns,
                               const QMap<QString, QString>& addressOf);

// What a column's page says when its line 18 holds both the computed depreciation and ledger
// rows mapped to line 18, so that nothing is deducted twice; empty otherwise.
QString depreciationNotice(const WorksheetColumn& column);

} // namespace halvo
