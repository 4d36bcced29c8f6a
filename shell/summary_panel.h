#pragma once
// The strip of portfolio totals at the main window's left edge. Every tick re-reads the
// database: there is no notification between windows, so a change saved anywhere shows here
// within a second.

#include "portfolio_totals.h"

#include "data/money.h"
#include "data/year_totals.h"

#include <QHash>
#include <QString>
#include <QWidget>

class QLabel;

namespace halvo {

class SummaryPanel : public QWidget {
    Q_OBJECT
public:
    explicit SummaryPanel(const QString& programFolder, QWidget* parent = nullptr);

    // The value label of that name (lblIncome, lblExpense, ...).
    QLabel* valueLabel(const QString& name) const;
    QLabel* lblPandL() const { return profitCaption; }

    // The value a label shows, read back exactly; 0 for a label that shows no amount.
    Money shown(const QString& name) const;
    // The current year's income and expense as lblIncome and lblExpense show them, written at
    // the end of every tick: the income and expense windows follow it.
    YearTotals* yearTotals() const { return shownTotals; }

public slots:
    // One recomputation of every total (the main window's Timer1). The database is read again
    // only when it may have changed since the last tick.
    void tick();

private:
    PortfolioReader reader;
    QHash<QString, QLabel*> values;
    QLabel* profitCaption = nullptr;
    YearTotals* shownTotals = nullptr;

    void createLayout();
    QLabel* createValueLabel(const QString& name, const QLabel* caption, const QString& hint);
    void write(const QString& name, Money amount);
    void writeFailed(const QString& name);
    void showText(const QString& name, const QString& text);
    void announceName(QLabel* label);
    void colourAll();
};

} // namespace halvo
