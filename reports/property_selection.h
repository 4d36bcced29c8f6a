#pragma once
// frmSelectProperty and frmSelectNote: the windows that choose the property (or all of them) and
// the year of the income and expense report and of the notes report, and show it. One window,
// described by the points in which the two differ (PropertyReport), as the ledger's two windows
// are.

#include "reports/report_selection.h"

namespace halvo {

// The points in which the two windows differ.
struct PropertyReport {
    QString name;                  // "frmSelectProperty"
    QString caption;               // "Generate Income and Expense Report"
    QString allText;               // "All Properties": the first entry, every property
    QString allTitle;              // the title when every property is reported
    QString command;               // "cmdIncome"
    QString ofYear;                // the statement for every property, with the year's pattern
    QString ofPropertyAndYear;     // for one property: its nickname and the year's pattern
    QStringList (*years)(int year); // the year list, from the current year
    QString heading;               // set on lblTitle each time; empty: the layout's own stays
};

const PropertyReport& incomeReport();
const PropertyReport& noteReport();

class PropertySelection : public ReportSelection {
    Q_OBJECT
public:
    PropertySelection(const PropertyReport& report, const QString& dataFolder,
                      QWidget* parent = nullptr);
    const PropertyReport& report() const { return report_; }

    Picker* cboNickname = nullptr;
    // The properties in nickname order: the list and the titles. Among the window's children,
    // so that what a window holds is found from the window itself.
    RecordSet AdoProperty{this};

    void GenerateReport_Click() override;

protected:
    void fillLists() override;

private:
    const PropertyReport& report_;
};

class frmSelectProperty : public PropertySelection {
    Q_OBJECT
public:
    explicit frmSelectProperty(const QString& dataFolder, QWidget* parent = nullptr)
        : PropertySelection(incomeReport(), dataFolder, parent)
    {
    }
};

class frmSelectNote : public PropertySelection {
    Q_OBJECT
public:
    explicit frmSelectNote(const QString& dataFolder, QWidget* parent = nullptr)
        : PropertySelection(noteReport(), dataFolder, parent)
    {
    }
};

} // namespace halvo
