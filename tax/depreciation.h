#pragma once
// Depreciation of rental real estate (line 18 of Schedule E): the general system, straight line,
// mid-month convention, by the percentage tables of IRS Publication 946 (Table A-6, residential
// rental property, 27.5 years; Table A-7a, nonresidential real property, 39 years). No windows
// and no database here: an asset in, its deductions out.

#include "data/money.h"

#include <QDate>
#include <QList>
#include <QString>

namespace halvo {

enum class AssetClass { Residential, Nonresidential };

// "Residential rental (27.5 years)", "Nonresidential real property (39 years)": as stored and
// as the asset window offers them.
QString assetClassName(AssetClass assetClass);
QStringList assetClassNames();
// A stored class: the nonresidential name (or any text that starts "Nonresidential"), else
// residential, the class of almost every rental.
AssetClass assetClassFromText(const QString& text);

// A percentage of a table in thousandths of a percent, as Publication 946 prints it to three
// decimals: 3485 is 3.485%. `month` is the month placed in service (1 to 12), `recoveryYear`
// counts from 1; 0 outside the table.
int tablePercentage(AssetClass assetClass, int month, int recoveryYear);
// The table's rows: 29 for residential rental, 40 for nonresidential.
int tableYears(AssetClass assetClass);
// 3.485 as "3.485%".
QString percentageText(int thousandths);

struct Asset {
    QString property;    // the property's nickname
    QString description; // "Building", "New roof"
    // Cost plus what was added to it, less the land, which is never depreciated.
    Money cost, additions, land;
    QDate placedInService;
    AssetClass assetClass = AssetClass::Residential;
    QDate disposed; // sold or taken out of service; invalid while in service
    bool fromLedger = false; // a capital improvement from a ledger row

    Money basis() const;
};

// One year of an asset's schedule.
struct DepreciationYear {
    int year = 0;
    int recoveryYear = 0;
    int percentage = 0; // the table's, in thousandths of a percent
    Money deduction, accumulated, remaining;
    bool partYear = false; // the year of disposition: the deduction is for the months in service
};

// The asset's deduction for a calendar year: nothing before it is placed in service, after it is
// disposed of or once its basis is recovered.
Money yearDeduction(const Asset& asset, int year);
// Every year from the one placed in service up to `lastYear`, the year of disposition or the
// table's last year with a percentage, whichever comes first.
QList<DepreciationYear> depreciationSchedule(const Asset& asset, int lastYear);

} // namespace halvo
