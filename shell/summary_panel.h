#pragma once
// The strip of portfolio totals at the main window's left edge: a view of the portfolio summary.
// It shows the summary's figures in the summary's format, negative ones in red, and follows the
// summary whenever its figures change; it reads nothing itself.

#include "summary/portfolio_summary.h"

#include <QHash>
#include <QString>
#include <QWidget>
#include <optional>

class QLabel;

namespace halvo {

class SummaryPanel : public QWidget {
    Q_OBJECT
public:
    explicit SummaryPanel(PortfolioSummary* summary, QWidget* parent = nullptr);

    // The value label of that name (lblIncome, lblExpense, ...).
    QLabel* valueLabel(const QString& name) const;
    QLabel* lblPandL() const { return profitCaption_; }

private:
    PortfolioSummary* summary = nullptr;
    QHash<QString, QLabel*> values;
    QLabel* profitCaption_ = nullptr;

    void createLayout();
    QLabel* createValueLabel(const QString& name, const QLabel* caption, const QString& hint);
    void showFigures();
    void showAmount(QLabel* label, const std::optional<Money>& amount);
    void announceName(QLabel* label);
    void colourAll();
};

} // namespace halvo
