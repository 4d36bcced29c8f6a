#pragma once
// The totals behind the portfolio summary, read from the database. The summary asks for them
// every second; they are read again only when the database may have changed since the last
// reading (a row written by any window, another program's commit, the file replaced by a
// restore), and in any case once a minute, so an idle second costs almost nothing while a saved
// change still shows within the second.

#include "ledger_totals.h"

#include "data/money.h"

#include <QString>
#include <optional>

namespace halvo {

struct PortfolioTotals {
    // A total whose statement failed is empty; the summary shows it as "$0.00".
    std::optional<Money> marketValue, loanBalance, mortgage;
    std::optional<Money> premiums;
    std::optional<Money> deposits, managementFees, monthlyRents;
    // The current year's ledger; both 0 when the ledger cannot be read.
    LedgerTotals ledger;
};

class PortfolioReader {
public:
    explicit PortfolioReader(const QString& programFolder);

    // The totals as the database holds them now, with the ledger of `year`.
    PortfolioTotals read(int year);
    // How many times the database was actually read (for tests and the benchmark).
    int readings() const { return readCount; }
    // Forgets the last reading, so the next read goes to the database.
    void invalidate() { lastStamp.reset(); }

    // Ticks after which the totals are read even when nothing seems to have changed.
    static constexpr int RereadAfter = 60;

private:
    struct Stamp {
        QString identity; // the database handle, its change counters and the file's identity
        int year = 0;
        bool operator==(const Stamp&) const = default;
    };

    QString folder;
    std::optional<Stamp> lastStamp;
    PortfolioTotals last;
    int sinceRead = 0;
    int readCount = 0;

    std::optional<Stamp> stamp(int year) const;
    PortfolioTotals readAll(int year) const;
};

} // namespace halvo
