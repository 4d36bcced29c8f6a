#pragma once
// frmDepreciationSchedule: chooses a property (or all of them) and the last year of the
// Depreciation Schedule, and shows it in the preview (with Print and Save as PDF), or writes it
// to a CSV file.

#include "data/record_set.h"
#include "reports/report_selection.h"
#include "tax/depreciation.h"

namespace halvo {

class frmDepreciationSchedule : public ReportSelection {
    Q_OBJECT
public:
    explicit frmDepreciationSchedule(const QString& dataFolder, QWidget* parent = nullptr);

    Picker* cboNickname = nullptr;
    VeyHyperLinkLabel* ExportCsv = nullptr;

    void GenerateReport_Click() override;
    void ExportCsv_Click();

protected:
    void fillLists() override;

private:
    RecordSet AdoProperty{this};

    // The chosen property's assets, or none when the user has been told why not.
    std::optional<QList<Asset>> assets();
    QString chosenProperty() const; // empty for all properties
    int chosenYear() const;
};

} // namespace halvo
