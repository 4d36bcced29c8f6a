#pragma once
// frmVendorsPaid: chooses the tax year of the vendors paid report, lists the vendors paid at least
// that year's Form 1099 threshold with a tick for "No 1099 needed" each (Space ticks the current
// row; the tick is kept at once), and shows the report in the preview or writes it to a CSV file.

#include "reports/report_selection.h"
#include "tax/vendors_paid.h"

#include <optional>

class QTableWidget;
class QTableWidgetItem;

namespace halvo {

class frmVendorsPaid : public ReportSelection {
    Q_OBJECT
public:
    explicit frmVendorsPaid(const QString& dataFolder, QWidget* parent = nullptr);

    QLabel* Label3 = nullptr;
    QTableWidget* grdVendors = nullptr;
    VeyHyperLinkLabel* ExportCsv = nullptr;

    void GenerateReport_Click() override;
    void ExportCsv_Click();
    // Lists the chosen year's vendors anew.
    void refreshVendors();

protected:
    void fillLists() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::optional<VendorsPaid> shown; // the vendors the list shows

    // The chosen year's vendors, or none when the user has been told why not (a failure, or no
    // vendor paid the threshold).
    std::optional<VendorsPaid> vendors();
    void tickChanged(QTableWidgetItem* item);
};

} // namespace halvo
