#include "money.h"

#include <QRegularExpression>
#include <QVariant>
#include <algorithm>
#include <cmath>
#include <limits>

namespace halvo {

namespace {

// A display pattern, as far as the windows and reports use them: an optional "$" (quoted or
// not) before the digits, digit placeholders where a comma anywhere among them asks for
// thousands separators, and optional decimals, all '0' (always shown) or '#' (shown when
// needed), and an optional trailing "%" that shows the value a hundred times larger.
struct Pattern {
    QString prefix;
    bool thousands = false;
    int minIntegerDigits = 0; // the '0's before the decimal point
    int decimals = 0;
    bool percent = false;
};

Pattern parsePattern(const QString& text)
{
    Pattern p;
    QString rest = text;
    rest.remove(QLatin1Char('"'));
    int i = 0;
    while (i < rest.size() && rest[i] != QLatin1Char('#') && rest[i] != QLatin1Char('0')
           && rest[i] != QLatin1Char('.') && rest[i] != QLatin1Char(','))
        p.prefix += rest[i++];
    bool afterPoint = false;
    for (; i < rest.size(); ++i) {
        const QChar c = rest[i];
        if (c == QLatin1Char('.'))
            afterPoint = true;
        else if (c == QLatin1Char(',') && !afterPoint)
            p.thousands = true;
        else if (c == QLatin1Char('%'))
            p.percent = true;
        else if (afterPoint && (c == QLatin1Char('0') || c == QLatin1Char('#')))
            ++p.decimals;
        else if (!afterPoint && c == QLatin1Char('0'))
            ++p.minIntegerDigits;
    }
    return p;
}

QString groupThousands(const QString& digits)
{
    QString out;
    const int n = digits.size();
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += QLatin1Char(',');
        out += digits[i];
    }
    return out;
}

// Lays out a magnitude, given as its whole digits and its decimals (already rounded to the
// pattern's number of decimals), with the pattern's sign, prefix, separators and percent sign.
QString layOut(const Pattern& p, bool negative, QString intDigits, const QString& decimals)
{
    if (intDigits == QLatin1String("0"))
        intDigits.clear();
    while (intDigits.size() < p.minIntegerDigits)
        intDigits.prepend(QLatin1Char('0'));
    QString text = p.prefix + (p.thousands ? groupThousands(intDigits) : intDigits);
    if (p.decimals > 0)
        text += QLatin1Char('.') + decimals;
    if (p.percent)
        text += QLatin1Char('%');
    // A value that rounds to zero shows no sign.
    const bool zero = intDigits.count(QLatin1Char('0')) == intDigits.size()
                      && decimals.count(QLatin1Char('0')) == decimals.size();
    return negative && !zero ? QLatin1Char('-') + text : text;
}

QString digitsOf(unsigned __int128 value)
{
    QString digits;
    do {
        digits.prepend(QLatin1Char(char('0' + int(value % 10))));
        value /= 10;
    } while (value != 0);
    return digits;
}

// The most decimals a pattern is followed to: more than an amount or a plain number ever has.
constexpr int maxDecimals = 18;

// Formats value / 10^scale exactly, rounding half away from zero to the pattern's decimals.
QString formatScaled(__int128 value, int scale, const QString& patternText)
{
    Pattern p = parsePattern(patternText);
    p.decimals = std::min(p.decimals, maxDecimals);
    if (p.percent)
        value *= 100;
    const bool negative = value < 0;
    // Unsigned, so that the magnitude of the most negative amount, and that magnitude with
    // decimals added, still fit.
    unsigned __int128 magnitude = negative ? -static_cast<unsigned __int128>(value)
                                           : static_cast<unsigned __int128>(value);
    const int drop = scale - p.decimals;
    unsigned __int128 divisor = 1;
    for (int i = 0; i < std::abs(drop); ++i)
        divisor *= 10;
    if (drop > 0)
        magnitude = (magnitude + divisor / 2) / divisor;
    else
        magnitude *= divisor;

    unsigned __int128 decimalDivisor = 1;
    for (int i = 0; i < p.decimals; ++i)
        decimalDivisor *= 10;
    const QString decimals =
        p.decimals > 0 ? digitsOf(magnitude % decimalDivisor).rightJustified(p.decimals, QLatin1Char('0'))
                       : QString();
    return layOut(p, negative, digitsOf(magnitude / decimalDivisor), decimals);
}

Error notAnAmount(const QVariant& value)
{
    return Error{QStringLiteral("\"%1\" is not an amount of money.").arg(value.toString())};
}

Error tooLarge(const QVariant& value)
{
    return Error{QStringLiteral("\"%1\" is too large an amount.").arg(value.toString())};
}

// A real number is an amount; one beyond what 64 bits of ten-thousandths hold, or no number at
// all (infinity, NaN), is refused rather than wrapped around.
Result<Money> moneyOfReal(const QVariant& value)
{
    const double scaled = value.toDouble() * Money::Scale;
    if (std::isnan(scaled))
        return notAnAmount(value);
    if (!std::isfinite(scaled) || std::fabs(scaled) >= 9.2233720368547758e18)
        return tooLarge(value);
    return Money::fromUnits(std::llround(scaled));
}

Result<Money> moneyOfUnsigned(const QVariant& value)
{
    const qulonglong units = value.toULongLong();
    if (units > qulonglong(std::numeric_limits<std::int64_t>::max()))
        return tooLarge(value);
    return Money::fromUnits(std::int64_t(units));
}

} // namespace

Result<Money> moneyFromStored(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return Money();
    if (value.metaType() == QMetaType::fromType<Money>())
        return value.value<Money>();
    switch (value.metaType().id()) {
    case QMetaType::Short:
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong: return Money::fromUnits(value.toLongLong());
    case QMetaType::UShort:
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong: return moneyOfUnsigned(value);
    case QMetaType::Float:
    case QMetaType::Double: return moneyOfReal(value);
    default: return notAnAmount(value);
    }
}

Result<Money> Money::parse(const QString& text)
{
    static const QRegularExpression form(QStringLiteral(
        R"(^(-)?\s*\$?\s*(-)?(\d{1,3}(?:,\d{3})+|\d*)(?:\.(\d{0,4}))?$)"));
    const QString trimmed = text.trimmed();
    const QRegularExpressionMatch m = form.match(trimmed);
    const QString whole = m.captured(3).remove(QLatin1Char(','));
    const QString decimals = m.captured(4);
    if (!m.hasMatch() || (whole.isEmpty() && decimals.isEmpty())
        || (m.capturedLength(1) > 0 && m.capturedLength(2) > 0))
        return Error{QStringLiteral("\"%1\" is not an amount of money.").arg(text)};

    bool ok = true;
    const qulonglong wholeValue = whole.isEmpty() ? 0 : whole.toULongLong(&ok);
    const qulonglong limit = static_cast<qulonglong>(std::numeric_limits<std::int64_t>::max()) / Scale - 1;
    if (!ok || wholeValue > limit)
        return Error{QStringLiteral("\"%1\" is too large an amount.").arg(text)};
    const std::int64_t fraction = decimals.leftJustified(4, QLatin1Char('0')).toLongLong();
    std::int64_t units = static_cast<std::int64_t>(wholeValue) * Scale + fraction;
    if (m.capturedLength(1) > 0 || m.capturedLength(2) > 0)
        units = -units;
    return fromUnits(units);
}

QString Money::format(const QString& pattern) const { return formatScaled(units_, 4, pattern); }

QString Money::toString() const
{
    QString text = formatScaled(units_, 4, QStringLiteral("0.0000"));
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text;
}

QString formatNumber(double value, const QString& pattern)
{
    // Not a number, or no finite one: there is nothing to show.
    if (!std::isfinite(value))
        return QString();
    // Numbers shown with these patterns carry at most a few decimals; six keep them exact enough.
    constexpr int scale = 6;
    Pattern p = parsePattern(pattern);
    p.decimals = std::min(p.decimals, maxDecimals);
    const int moreDigits = (p.percent ? 2 : 0) + std::max(0, p.decimals - scale);
    const double scaled = std::round(value * 1e6);
    if (std::fabs(scaled) * std::pow(10.0, moreDigits) < 1e36)
        return formatScaled(static_cast<__int128>(scaled), scale, pattern);
    // Beyond what the fixed-point form holds, the number's own decimal digits are laid out.
    const QString digits =
        QString::number(std::fabs(p.percent ? value * 100 : value), 'f', p.decimals);
    const qsizetype point = digits.indexOf(QLatin1Char('.'));
    return layOut(p, value < 0, point < 0 ? digits : digits.left(point),
                  point < 0 ? QString() : digits.mid(point + 1));
}

} // namespace halvo
