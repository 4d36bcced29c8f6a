#pragma once
// The portfolio summary's figures: every total of the whole portfolio and of the current year's
// ledger, as money, and the one place they are read from the database. The strip at the main
// window's edge and the income and expense windows are views of it: they format its figures and
// follow changed().
//
// A row that a record set saves, changes or removes is told at once (WriteNotices): a ledger row
// moves the year's totals by its own amounts, a loan, tenant or policy has its table's totals read
// again, and nothing else is read. The main window's timer still ticks every second for what is
// not told: a tick asks the engine whether anything changed since (this program's count of
// changed rows, the file's version, the file itself and the year) and reads everything again
// only then, so an idle tick costs a few microseconds.

#include "data/connection.h"
#include "data/money.h"
#include "data/write_notices.h"
#include "summary/ledger_totals.h"

#include <QObject>
#include <QTimer>
#include <QString>
#include <optional>

namespace halvo {

// Every amount is to the cent, as the strip shows it: what is worked out from them (equity,
// profit, net worth, cash balance) is worked out from the cents shown, so that Net Worth is Cash
// Balance plus Equity exactly as a user reads them.
struct PortfolioFigures {
    int year = 0; // the year of the ledger totals; 0 until the first reading
    // A total whose statement failed is empty, and shows as "$0.00".
    std::optional<Money> marketValue, loanBalance, mortgage;
    std::optional<Money> premiums;
    std::optional<Money> deposits, managementFees, monthlyRents;
    Money income, expense; // the current year's ledger; 0 when it cannot be read

    // A failed total counts as 0 here: the sum it stands for was never taken.
    Money equity() const
    {
        return marketValue.value_or(Money()) - loanBalance.value_or(Money());
    }
    Money profit() const { return income - expense; }
    Money netWorth() const { return profit() + equity(); }
    Money cashBalance() const { return profit(); }
    bool operator==(const PortfolioFigures&) const = default;
};

class PortfolioSummary : public QObject {
    Q_OBJECT
public:
    explicit PortfolioSummary(QString dataFolder, QObject* parent = nullptr);
    ~PortfolioSummary() override;

    const PortfolioFigures& figures() const { return figures_; }
    // False until the first tick: the views show their design texts until then.
    bool isComputed() const { return figures_.year != 0; }
    // How many times everything was read from the database (for tests and the benchmark).
    int fullReadings() const { return readings; }

public slots:
    // The main window's Timer1.
    void tick();
    // Lets go of the database file, so that it can be replaced (a restore); the next tick opens
    // it anew and reads everything.
    void release();

signals:
    void changed();
    // The file may have changed since it was last told: a write of this program was told, or a
    // tick found that something was saved that was not told (another program, an import). A view
    // of figures of its own (the year at a glance) reads again then, rather than keeping a timer
    // and its own watch on the file.
    void fileChanged();

private:
    QTimer othersSaved; // a save on another desktop, read a moment after it was told
    // What the figures were read from, to tell at a tick whether anything may have changed.
    struct Seen {
        qint64 changes = -1;
        qint64 version = -1;
    };

    QString folder;
    std::optional<Connection> db;
    PortfolioFigures figures_;
    LedgerTotals ledger; // the year's sums, exact, which a saved row moves by its own amounts
    Seen seen;
    int readings = 0;

    bool open();
    bool mayHaveChanged(int year);
    void readAll(int year);
    void readLoans(PortfolioFigures& f) const;
    void readPremiums(PortfolioFigures& f) const;
    void readTenants(PortfolioFigures& f) const;
    void readLedger(PortfolioFigures& f);
    void noteSeen();
    void follow(const CommittedWrite& write);
    void update(const PortfolioFigures& next);
};

} // namespace halvo
