#pragma once
// frmIncome and frmExpense: the twin entry windows of the ledger. One window on the record editor
// pattern, described by the points in which the two differ (LedgerKind): caption, record source,
// amount column, category list, payee label, Add command, the totals shown and, for expenses,
// the offer to open the loan editor after a loan payment is saved.
//
// The window shows the current year's totals as the portfolio summary computes them, and follows
// the summary whenever its figures change; the pickers show the current record's values whenever
// a record is shown or a picker's box changes (RecordBinding). Nothing polls, so an idle window
// costs no processor time.

#include "data/money.h"
#include "editors/record_editor.h"

#include <QPointer>
#include <functional>

class QLabel;
class QToolButton;

namespace halvo {

class DatePicker;
class Picker;
class PortfolioSummary;

// What a ledger window gets from the main window.
struct LedgerContext {
    PortfolioSummary* summary = nullptr;      // the current year's totals
    std::function<void()> showCategoryEditor; // shows frmCategory, not modal, with the focus
    std::function<void()> showLoanEditor;     // shows frmLoan, not modal, with the focus
};

// The points in which the income and expense windows differ.
struct LedgerKind {
    QString name;              // "frmIncome"
    QString caption;           // "Income Record"
    QString recordSource;      // the transactions of the kind
    QString amountColumn;      // "Income": the amount typed into txtAmount and shown in the grid
    QString otherAmountColumn; // "Expense": never written, hidden in the grid
    QString categorySource;    // the category look-up, ordered by the kind's column
    QString payeeLabel;        // "INCOME RECEIVED:"
    QString addCommand;        // "AddIncome"
    QString addCaption;        // "Add Income"
    QString totalHeading;      // "Total Income"
    QString balanceDesign;     // lblBalance before the totals are known
    QString vendorCaller;      // the tag OpenVendorWindow hands the new vendor back by
    bool expense = false;      // the total shows as a debit; loan payments offer the loan editor
};

const LedgerKind& incomeKind();
const LedgerKind& expenseKind();

// The profit line: "2026 P/L: $1,000.00", a loss with a leading minus ("2026 P/L: -$150.00").
QString profitLine(int year, const Money& income, const Money& expense);
// Whether a saved expense of this category offers to update the loan balance: its first four
// characters are "4000", exactly.
bool isLoanPayment(const QString& category);

class LedgerWindow : public RecordEditor {
    Q_OBJECT
public:
    LedgerWindow(const LedgerKind& kind, const QString& dataFolder, LedgerContext context,
                 QWidget* parent = nullptr);
    static EditorDescription describe(const LedgerKind& kind);
    const LedgerKind& kind() const { return kind_; }

    // Makes the first transaction of a month current, in the window's order of records (of
    // `property` only, when one is named), as if the user had chosen it in the grid. A month of
    // which the window's records hold none, though the file does (saved since they were read),
    // has them read again first. False when there is none: the user is told so.
    bool showMonth(int year, int month, const QString& property = {});

public slots:
    void cmdAddVendor_Click();
    void cmdAddMemo_Click();

protected:
    void afterOpen() override;
    void newRecordAdded() override;
    bool checkBeforeSave() override;
    void afterSave() override;
    void afterRefresh() override;
    void fieldEdited(const QString& control) override;
    void recordShown() override;

private:
    const LedgerKind& kind_;
    LedgerContext context;
    QPointer<PortfolioSummary> summary;
    QLabel* lbltitle = nullptr;
    QLabel* lblTotal = nullptr;
    QLabel* lblBalance = nullptr;
    // Income only: the tenant whose rent the transaction pays, kept beside the ledger.
    Picker* cboTenant = nullptr;
    QList<qint64> tenantIds; // the picker's entries after the first, empty one

    void createTenantPicker();
    void fillTenants();
    void saveTenant();
    qint64 chosenTenant() const; // 0 for none

    void createTotals();
    QToolButton* createSmallButton(const QString& name, const QString& purpose);
    DatePicker* datePicker() const;
    enum class DateWhenEmpty { Leave, Today };
    void giveDate(DateWhenEmpty whenEmpty);
    void showTotals();
    void offerLoanUpdate();
};

class frmIncome : public LedgerWindow {
    Q_OBJECT
public:
    frmIncome(const QString& dataFolder, LedgerContext context, QWidget* parent = nullptr);
};

class frmExpense : public LedgerWindow {
    Q_OBJECT
public:
    frmExpense(const QString& dataFolder, LedgerContext context, QWidget* parent = nullptr);
};

} // namespace halvo
