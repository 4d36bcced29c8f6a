#pragma once
// frmRentRoll: the rent roll on a chosen day, one row per tenant: property, rent, due day, paid
// that month, balance owed, deposit held, lease end and the days left. Rows owing are red; leases
// ending within 30, 60 or 90 days say so. Sorted by any column (a heading, or "Sort by:"). Opens
// the tenant, the ledger, and the tenant's lease terms, rent change and deposit; previews the
// roll as a report.

#include "data/connection.h"
#include "rentroll/rent_roll.h"

#include <QWidget>
#include <functional>
#include <optional>

class QLabel;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTableView;
class VeyHyperLinkLabel;

namespace halvo {

class DatePicker;
class Picker;

struct RentRollContext {
    std::function<void(qint64 tenantId)> showTenant;   // the tenant window at the tenant
    std::function<void(const QString& property)> showLedger; // the income window at the property
};

// The "Ends Within" text of a lease with `daysLeft` days to go: "30 days", "60 days", "90 days",
// "Ended" once past, nothing when further off or running on.
QString endsWithin(std::optional<qint64> daysLeft);

class frmRentRoll : public QWidget {
    Q_OBJECT
public:
    frmRentRoll(const QString& dataFolder, RentRollContext context, QWidget* parent = nullptr);

    DatePicker* dtpAsOf = nullptr;
    Picker* cboSortBy = nullptr;
    QTableView* grdRentRoll = nullptr;
    QLabel* lblTotals = nullptr;
    VeyHyperLinkLabel* OpenTenant = nullptr;
    VeyHyperLinkLabel* OpenLedger = nullptr;
    VeyHyperLinkLabel* LeaseTerms = nullptr;
    VeyHyperLinkLabel* ChangeRent = nullptr;
    VeyHyperLinkLabel* Deposit = nullptr;
    VeyHyperLinkLabel* MatchPayments = nullptr;
    VeyHyperLinkLabel* Preview = nullptr;
    VeyHyperLinkLabel* Close = nullptr;

    // Reads the roll again for the chosen day, keeping the tenant that was current.
    void showRoll();
    QList<RentRollRow> rows() const { return roll; }

    void OpenTenant_Click();
    void OpenLedger_Click();
    void LeaseTerms_Click();
    void ChangeRent_Click();
    void Deposit_Click();
    void MatchPayments_Click();
    void Preview_Click();

    QSize sizeHint() const override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QString folder;
    RentRollContext context;
    std::optional<Connection> db;
    QStandardItemModel* model = nullptr;
    QSortFilterProxyModel* sorted = nullptr;
    QList<RentRollRow> roll;
    bool shownOnce = false;

    Result<Connection> database();
    std::optional<RentRollRow> currentRow() const;
    std::optional<TenantLease> currentLease();
    void tell(const QString& text);
};

} // namespace halvo
