#pragma once
// frmScheduleE: chooses the tax year of the Schedule E worksheet and shows it in the preview, or
// writes it to a CSV file. A category of that year without a line stops both, and the window
// offers to open the category editor, where the line is chosen.

#include "reports/report_selection.h"
#include "tax/schedule_e.h"

#include <functional>

namespace halvo {

class frmScheduleE : public ReportSelection {
    Q_OBJECT
public:
    frmScheduleE(const QString& dataFolder, std::function<void()> showCategoryEditor,
                 QWidget* parent = nullptr);

    VeyHyperLinkLabel* ExportCsv = nullptr;
    VeyHyperLinkLabel* RentalDays = nullptr;

    void GenerateReport_Click() override;
    void ExportCsv_Click();
    // Lines 1b and 2 of the chosen year, in frmRentalDays.
    void RentalDays_Click();

protected:
    void fillLists() override;

private:
    std::function<void()> showCategoryEditor;

    // The chosen year as the form's numbers, or none when the user has been told why not.
    std::optional<Worksheet> worksheet();
    // Says why the year cannot be shown; categories without a line offer the category editor.
    void tellWhyNot(const Outcome<Worksheet, WorksheetRefusal>& sheet);
    // Asks for the standard mileage rate of a year the program does not know, and keeps it;
    // false when the user cancelled or was told why it was not kept.
    bool askMileageRate(const Connection& connection, int year);
};

} // namespace halvo
