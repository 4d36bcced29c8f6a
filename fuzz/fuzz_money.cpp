// Money as users type it and as the windows show it. The input is read as the text a user typed
// and, from its first eight bytes, as a stored amount and as a plain number. Properties:
// - an amount that parses is made only of digits, one point, separators, "$", blanks and one
//   minus, and means what its digits say;
// - the plain form of an amount parses back to the same amount, and a display form parses back
//   to the amount rounded to the cent (half away from zero);
// - formatting with any pattern and formatting plain numbers never fault; a plain number of
//   ordinary size reads back from "0.00" within half a cent (and the millionth it is first
//   rounded to).

#include "data/money.h"
#include "fuzz/fuzz_input.h"

#include <QLocale>
#include <QVariant>

#include <cmath>
#include <limits>

using halvo::Money;

namespace {

// The largest amount, in ten-thousandths, that every display form can be typed back as.
constexpr std::int64_t typableUnits = 9'223'372'036'854'760'000;

QString describe(const QString& text) { return QStringLiteral("\"%1\"").arg(text); }

// What the digits of an accepted text mean, read without the parser.
void checkAcceptedText(const QString& text, Money parsed)
{
    __int128 whole = 0;
    __int128 fraction = 0;
    int decimals = 0;
    int points = 0;
    int minus = 0;
    for (const QChar c : text) {
        if (c.isSpace())
            continue;
        const char a = c.toLatin1();
        FUZZ_CHECK(c.unicode() < 128 && std::strchr("0123456789$,.-", a) && a != 0,
                   QStringLiteral("%1 was accepted with the character U+%2")
                       .arg(describe(text))
                       .arg(c.unicode(), 4, 16, QLatin1Char('0')));
        if (a == '.') {
            ++points;
        } else if (a == '-') {
            ++minus;
        } else if (a >= '0' && a <= '9') {
            if (points == 0) {
                whole = whole * 10 + (a - '0');
            } else {
                fraction = fraction * 10 + (a - '0');
                ++decimals;
            }
        }
        if (whole > __int128(1) << 100) // a text that long cannot have been accepted
            break;
    }
    FUZZ_CHECK(points <= 1 && minus <= 1 && decimals <= 4,
               describe(text) + QStringLiteral(" was accepted"));
    while (decimals++ < 4)
        fraction *= 10;
    __int128 units = whole * Money::Scale + fraction;
    if (minus)
        units = -units;
    FUZZ_CHECK(units == __int128(parsed.units()),
               QStringLiteral("%1 was read as %2").arg(describe(text), parsed.toString()));
}

std::int64_t roundedToCents(std::int64_t units)
{
    std::int64_t cents = units / 100;
    const std::int64_t rest = units % 100;
    if (rest >= 50)
        ++cents;
    else if (rest <= -50)
        --cents;
    return cents * 100;
}

void checkShownAmount(Money amount)
{
    const QString plain = amount.toString();
    const halvo::Result<Money> back = Money::parse(plain);
    FUZZ_CHECK(back.ok() && back.value() == amount,
               QStringLiteral("%1 units shown as %2").arg(amount.units()).arg(describe(plain)));

    for (const QString& pattern :
         {halvo::MoneyFormat::Bound, halvo::MoneyFormat::Summary, halvo::MoneyFormat::Plain,
          QStringLiteral("$###,###.00")}) {
        const QString shown = amount.format(pattern);
        const halvo::Result<Money> read = Money::parse(shown);
        FUZZ_CHECK(read.ok() && read.value().units() == roundedToCents(amount.units()),
                   QStringLiteral("%1 units with %2 shown as %3")
                       .arg(amount.units())
                       .arg(pattern, describe(shown)));
    }
}

void checkPlainNumber(double value)
{
    for (const QString& pattern : {QStringLiteral("0.00"), QStringLiteral("0"),
                                   QStringLiteral("0%"), QStringLiteral("#,##0.0000")})
        (void)halvo::formatNumber(value, pattern);
    if (!std::isfinite(value) || std::fabs(value) > 1e12)
        return;
    const QString shown = halvo::formatNumber(value, QStringLiteral("0.00"));
    bool ok = false;
    const double read = QLocale::c().toDouble(shown, &ok);
    // Numbers are first rounded to six decimals, then to the pattern's: half a cent and one
    // millionth is as far as the two roundings go.
    FUZZ_CHECK(ok && std::fabs(read - value) <= 0.005 + 1e-6 + std::fabs(value) * 1e-12,
               QStringLiteral("%1 shown as %2").arg(value, 0, 'g', 17).arg(describe(shown)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString typed = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    if (const halvo::Result<Money> parsed = Money::parse(typed)) {
        checkAcceptedText(typed, parsed.value());
        checkShownAmount(parsed.value());
    }

    halvo::fuzz::Input in(data, size);
    const std::int64_t units = in.integer<std::int64_t>();
    const Money stored = Money::fromUnits(units);
    if (units >= -typableUnits && units <= typableUnits)
        checkShownAmount(stored);
    // Patterns come from the program, but none of them may fault on any amount.
    if (typed.size() <= 64)
        (void)stored.format(typed);

    double real;
    std::memcpy(&real, data, std::min<std::size_t>(size, sizeof real));
    if (size < sizeof real)
        real = double(units);
    checkPlainNumber(real);

    for (const QVariant& v : {QVariant(real), QVariant(qlonglong(units)),
                              QVariant(qulonglong(units)), QVariant(typed)}) {
        const halvo::Result<Money> read = halvo::moneyFromStored(v);
        if (v.metaType().id() == QMetaType::LongLong)
            FUZZ_CHECK(read.ok() && read.value().units() == units,
                       QStringLiteral("stored count %1").arg(units));
    }
    return 0;
}
