#pragma once
// frmYearAtAGlance: the ledger of a property, or of the whole portfolio, drawn as two charts:
// income and expense by month of the chosen year, and profit by year over every year the ledger
// holds. Beside each chart a table holds the same figures, for the keyboard and a screen reader.
// A month's income or expense bar (or its cell in the table, with Enter) opens the income or the
// expense window at that month's first record.
//
// The window knows no other window: it is given the way to open the ledger. It follows the file
// without a timer or a watch of its own: the summary says when the file may have changed, and the
// window reads its figures again then, or when it is next shown.

#include "data/connection.h"
#include "glance/glance_figures.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class QBarSet;
class QBarCategoryAxis;
class QChart;
class QChartView;
class QLabel;
class QModelIndex;
class QTableWidget;
class QCategoryAxis;
class VeyHyperLinkLabel;

namespace halvo {

class Picker;
class PortfolioSummary;

enum class LedgerSide { Income, Expense };

// What the window gets from the main window.
struct GlanceContext {
    PortfolioSummary* summary = nullptr; // says when the file may have changed
    // Opens the income or the expense window at the first record of a month, of a property
    // (empty: of any).
    std::function<void(LedgerSide side, int year, int month, const QString& property)> openLedger;
};

class frmYearAtAGlance : public QWidget {
    Q_OBJECT
public:
    explicit frmYearAtAGlance(const QString& dataFolder, GlanceContext context = {},
                              QWidget* parent = nullptr);
    ~frmYearAtAGlance() override;

    // The nickname chosen under "Show:"; empty for "All Properties".
    QString property() const;
    // The year chosen; 0 when the ledger holds none.
    int year() const;

    QLabel* lblShow = nullptr;
    Picker* cboNickname = nullptr;
    QLabel* lblYear = nullptr;
    Picker* cboYear = nullptr;
    QChartView* chtMonths = nullptr;
    QTableWidget* grdMonths = nullptr;
    QChartView* chtYears = nullptr;
    QTableWidget* grdYears = nullptr;
    QLabel* lblNote = nullptr; // what the charts do not say: an empty ledger, a failure
    VeyHyperLinkLabel* OpenLedger = nullptr;
    VeyHyperLinkLabel* Close = nullptr;

public slots:
    // Opens the ledger at the month of the month table's current row: the income window from
    // its Income cell, the expense window from its Expense cell.
    void OpenLedger_Click();
    void Close_Click();
    // Reads everything again when the file changed since the figures were read.
    void followFile();

protected:
    void showEvent(QShowEvent* event) override;

private:
    QString folder;
    GlanceContext context;
    QPointer<PortfolioSummary> summary;
    std::optional<Connection> db;
    bool loaded = false;
    bool stale = false; // the file may have changed while the window was out of sight
    bool filling = false; // the pickers are being filled: their changes are not the user's
    std::optional<YearSpan> span;

    QChart* monthChart = nullptr;
    QBarSet* incomeBars = nullptr;
    QBarSet* expenseBars = nullptr;
    QCategoryAxis* monthAmounts = nullptr;
    QChart* yearChart = nullptr;
    QBarSet* profitBars = nullptr;
    QBarSet* lossBars = nullptr;
    QBarCategoryAxis* yearNames = nullptr;
    QCategoryAxis* yearAmounts = nullptr;

    void createPickers();
    void createMonthChart();
    void createYearChart();
    QTableWidget* createTable(const QString& name, const QString& firstHeading);
    void createLayout();

    void Form_Load();
    enum class Failure { Told, Noted };
    bool readFile(Failure failure);
    Status fillPickers();
    bool showFigures(Failure failure = Failure::Told);
    void showMonths(const MonthFigures& months);
    void showYears(const QList<YearFigures>& years);
    void showNothing(const QString& note);
    void fail(Failure failure, const Error& error);
    void openMonth(LedgerSide side, int month);
    void monthActivated(const QModelIndex& index);
};

} // namespace halvo
