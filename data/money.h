#pragma once
// Currency amounts, exact: a 64-bit count of ten-thousandths, as the database keeps them.

#include "core/result.h"

#include <QMetaType>
#include <QString>
#include <compare>
#include <cstdint>

class QVariant;

namespace halvo {

class Money {
public:
    static constexpr std::int64_t Scale = 10000;

    constexpr Money() = default;
    static constexpr Money fromUnits(std::int64_t tenThousandths)
    {
        Money m;
        m.units_ = tenThousandths;
        return m;
    }
    static constexpr Money fromCents(std::int64_t cents) { return fromUnits(cents * 100); }
    // What a user types: "1234.5", "1,234.50", "$1,234.50", "-$50", "$-50", at most four
    // decimals. Anything else, and a value too large to hold, is an error.
    static Result<Money> parse(const QString& text);

    constexpr std::int64_t units() const { return units_; }
    constexpr bool isZero() const { return units_ == 0; }
    constexpr bool isNegative() const { return units_ < 0; }

    // Formats with one of the display patterns of the windows and reports, for example
    // "\"$\"#,##0.00" (1234.5 as $1,234.50), "$###,###.00" (0.05 as $.05), "0.00", "0", "0%".
    QString format(const QString& pattern) const;
    // The plain decimal form, as a user would type it back: "1234.5", "-50", "0".
    QString toString() const;

    // To the cent, half away from zero, as the display patterns with two decimals show it.
    constexpr Money roundedToCents() const
    {
        const std::int64_t cents = units_ / 100, rest = units_ % 100;
        return fromCents(cents + (rest >= 50 ? 1 : rest <= -50 ? -1 : 0));
    }

    constexpr Money operator-() const { return fromUnits(-units_); }
    constexpr Money operator+(Money other) const { return fromUnits(units_ + other.units_); }
    constexpr Money operator-(Money other) const { return fromUnits(units_ - other.units_); }
    constexpr Money& operator+=(Money other)
    {
        units_ += other.units_;
        return *this;
    }
    constexpr Money& operator-=(Money other)
    {
        units_ -= other.units_;
        return *this;
    }
    constexpr auto operator<=>(const Money&) const = default;

private:
    std::int64_t units_ = 0;
};

// The display patterns used by the windows and reports.
namespace MoneyFormat {
inline const QString Bound = QStringLiteral("\"$\"#,##0.00");      // bound fields, report columns
inline const QString Summary = QStringLiteral("$###,###,##0.00");  // summary and profit line
inline const QString Plain = QStringLiteral("0.00");
} // namespace MoneyFormat

// A value as the database hands it back, from a money column or a SUM of one, as money: no
// value is 0; Money is itself; a whole number is the stored count of ten-thousandths; a real
// number (written by another program) is an amount, rounded to the nearest ten-thousandth.
// Anything else, text among it, and an amount too large to hold, is an error. What a user types
// is read by Money::parse.
Result<Money> moneyFromStored(const QVariant& value);

// Formats a plain number (an interest rate, a percentage) with the same display patterns:
// formatNumber(6.5, "0.00") is "6.50", formatNumber(5, "0%") is "500%".
QString formatNumber(double value, const QString& pattern);

} // namespace halvo

Q_DECLARE_METATYPE(halvo::Money)
