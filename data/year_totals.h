#pragma once
// The current year's income and expense as the portfolio summary shows them, for the windows
// that show them too (the income and expense windows). The summary owns it and writes it after
// every recomputation; a window reads it through the main window without knowing the summary.

#include "money.h"

#include <QObject>
#include <QString>

namespace halvo {

// The current year's income and expense as the portfolio summary shows them. The summary
// writes them after every recomputation; windows that show them follow changed().
class YearTotals : public QObject {
    Q_OBJECT
public:
    explicit YearTotals(QObject* parent = nullptr);

    int year() const { return year_; }
    // Exactly as the summary's lblIncome shows it: "$ 0.00" before the first tick.
    QString incomeText() const { return incomeText_; }
    // Exactly as lblExpense shows it.
    QString expenseText() const { return expenseText_; }
    // The shown text read back as money (blanks removed); 0 when it is not an amount.
    Money income() const;
    Money expense() const;

    // Emits changed() only when something differs from what was shown before.
    void setShown(int year, const QString& incomeText, const QString& expenseText);

signals:
    void changed();

private:
    int year_ = 0;
    QString incomeText_;
    QString expenseText_;
};

} // namespace halvo
