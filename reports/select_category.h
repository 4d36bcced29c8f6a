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
    // The categories, in the table's order. Among the window's children, so that what a window
    // holds is found from the window itself.
    RecordSet datPrimaryRS{this};

    void GenerateReport_Click() override;

protected:
    void fillLists() override;

private:
    void addNames(const QString& column);
};

} // namespace halvo
