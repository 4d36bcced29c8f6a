#pragma once
// The small windows the rent roll opens for one tenant: the lease terms (due day, grace period,
// late fee, end date), a rent change from a day on, a deposit received, kept or returned, and the
// earlier income rows that paid the rent.
// Each writes only when the user saves it, and says what is wrong with a value instead.

#include "data/connection.h"
#include "rentroll/rent_roll.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QSpinBox;
class QCheckBox;
class QFormLayout;
class QTableWidget;
class VeyHyperLinkLabel;

namespace halvo {

class DatePicker;
class Picker;

// What the three share: a form of fields, Save and Cancel, the tenant named in the caption.
class LeaseDialog : public QDialog {
    Q_OBJECT
public:
    VeyHyperLinkLabel* Save = nullptr;
    VeyHyperLinkLabel* Cancel = nullptr;

    virtual void Save_Click() = 0;

protected:
    LeaseDialog(const Connection& connection, const TenantLease& tenant, const QString& name,
                const QString& title, QWidget* parent);
    // A field under its label ("&Due day:"), in the order Tab goes through them.
    void addField(const QString& label, QWidget* field);
    // Tells the user what is wrong; false, so that the save stops.
    bool refuse(const QString& text, QWidget* field);
    // A money box's value, or a message naming the field.
    std::optional<Money> moneyIn(QLineEdit* box, const QString& field);
    // Closes the window when the write worked; else tells the user why not.
    void finish(const RentOutcome& written);

    Connection connection;
    TenantLease tenant;

private:
    QFormLayout* form = nullptr;
};

class frmRentTerms : public LeaseDialog {
    Q_OBJECT
public:
    frmRentTerms(const Connection& connection, const TenantLease& tenant, QWidget* parent = nullptr);
    QSpinBox* spnDueDay = nullptr;
    QSpinBox* spnGraceDays = nullptr;
    Picker* cboLateFee = nullptr;
    QLineEdit* txtFee = nullptr;
    QLineEdit* txtCap = nullptr;
    QCheckBox* chkEnds = nullptr;
    DatePicker* dtpEnd = nullptr;
    void Save_Click() override;

private:
    void feeChosen();
};

class frmChangeRent : public LeaseDialog {
    Q_OBJECT
public:
    frmChangeRent(const Connection& connection, const TenantLease& tenant, const QDate& from,
                  QWidget* parent = nullptr);
    QLineEdit* txtRent = nullptr;
    DatePicker* dtpFrom = nullptr;
    void Save_Click() override;
};

class frmDeposit : public LeaseDialog {
    Q_OBJECT
public:
    frmDeposit(const Connection& connection, const TenantLease& tenant, const QDate& day,
               QWidget* parent = nullptr);
    Picker* cboEvent = nullptr;
    DatePicker* dtpDate = nullptr;
    QLineEdit* txtAmount = nullptr;
    QLineEdit* txtReason = nullptr;
    void Save_Click() override;
};

// The tenant's rent payments among the property's income rows: ticked rows pay the tenant's
// rent. Space (on the tick) or Enter ticks or unticks the current row; Save writes what changed.
class frmMatchPayments : public LeaseDialog {
    Q_OBJECT
public:
    frmMatchPayments(const Connection& connection, const TenantLease& tenant,
                     QWidget* parent = nullptr);
    QTableWidget* grdPayments = nullptr;
    void Save_Click() override;

private:
    QList<PaymentCandidate> rows;
};

} // namespace halvo
