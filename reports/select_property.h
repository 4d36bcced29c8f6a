#pragma once
// frmSelectProperty: chooses the property (or all of them) and the year of the income and
// expense report, and shows it.

#include "reports/report_selection.h"

namespace halvo {

class frmSelectProperty : public ReportSelection {
    Q_OBJECT
public:
    explicit frmSelectProperty(const QString& programFolder, QWidget* parent = nullptr);

    Picker* cboNickname = nullptr;
    RecordSet AdoProperty; // the properties in nickname order: the list and the titles

    void GenerateReport_Click() override;

protected:
    void fillLists() override;
};

} // namespace halvo
