#pragma once
// frmSelectCategory: chooses the category (or all of them) and the year of the category report,
// which prints with the income and expense layout, and shows it.

#include "reports/report_selection.h"

namespace halvo {

class frmSelectCategory : public ReportSelection {
    Q_OBJECT
public:
    explicit frmSelectCategory(const QString& dataFolder, QWidget* parent = nullptr);

    Picker* cboCategory = nullptr;
    RecordSet datPrimaryRS; // the categories, in the table's order

    void GenerateReport_Click() override;

protected:
    void fillLists() override;

private:
    void addNames(const QString& column);
};

} // namespace halvo
