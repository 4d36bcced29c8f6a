#include "csv_mapping.h"

#include <QCryptographicHash>
#include <QHash>
#include <algorithm>
#include <optional>

namespace halvo {

namespace {

// ---- Dates ----

bool allDigits(QStringView text)
{
    return !text.isEmpty()
           && std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

int number(QStringView digits)
{
    return digits.toInt();
}

// A year written with two digits is of this century, as bank files write them.
int fullYear(QStringView digits)
{
    return digits.size() == 2 ? 2000 + number(digits) : number(digits);
}

QDate dateFromParts(QStringView year, QStringView month, QStringView day)
{
    if ((year.size() != 2 && year.size() != 4) || month.size() > 2 || day.size() > 2)
        return {};
    return QDate(fullYear(year), number(month), number(day));
}

QDate parseDate(QStringView written, DateOrder order)
{
    const QStringView text = written.trimmed();
    if (order == DateOrder::YearMonthDay && text.size() == 8 && allDigits(text))
        return dateFromParts(text.first(4), text.sliced(4, 2), text.sliced(6, 2));
    const auto separator = std::find_if(
        text.begin(), text.end(), [](QChar c) { return c == u'/' || c == u'-' || c == u'.'; });
    if (separator == text.end())
        return {};
    const QList<QStringView> parts = text.split(*separator);
    if (parts.size() != 3 || !std::all_of(parts.begin(), parts.end(), allDigits))
        return {};
    switch (order) {
    case DateOrder::DayMonthYear:
        return dateFromParts(parts[2], parts[1], parts[0]);
    case DateOrder::MonthDayYear:
        return dateFromParts(parts[2], parts[0], parts[1]);
    case DateOrder::YearMonthDay:
        return dateFromParts(parts[0], parts[1], parts[2]);
    case DateOrder::Unset:
        break;
    }
    return {};
}

QString orderName(DateOrder order)
{
    switch (order) {
    case DateOrder::DayMonthYear:
        return QStringLiteral("day/month/year");
    case DateOrder::MonthDayYear:
        return QStringLiteral("month/day/year");
    case DateOrder::YearMonthDay:
        return QStringLiteral("year/month/day");
    case DateOrder::Unset:
        break;
    }
    return {};
}

// ---- Amounts ----

bool isCurrencySign(QChar c)
{
    return c == u'$' || c == u'€' || c == u'£';
}

// Blanks (no-break ones among them) and apostrophes group thousands, as does the decimal mark
// that the file does not use for decimals.
bool isGroupSeparator(QChar c, QChar decimalMark)
{
    return c.isSpace() || c == u'\'' || c == u'’' || c == (decimalMark == u'.' ? u',' : u'.');
}

// Whole digits with their thousands separators: every group after the first holds three
// digits, so that "1,23" is refused rather than read as 123.
std::optional<QString> wholeDigits(QStringView text, QChar decimalMark)
{
    QString digits;
    int group = 0;
    bool grouped = false;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9') {
            digits += c;
            ++group;
        } else if (isGroupSeparator(c, decimalMark) && group > 0 && group <= 3
                   && (!grouped || group == 3)) {
            grouped = true;
            group = 0;
        } else {
            return std::nullopt;
        }
    }
    if (grouped && group != 3)
        return std::nullopt;
    return digits;
}

// Takes one sign off the amount: parentheses, or a minus (or plus) before or after it.
std::optional<bool> takeSign(QString& text)
{
    int signs = 0;
    bool negative = false;
    if (text.startsWith(u'(') && text.endsWith(u')') && text.size() >= 2) {
        text = text.sliced(1, text.size() - 2).trimmed();
        negative = true;
        ++signs;
    }
    for (const bool atStart : {true, false}) {
        const QChar c = text.isEmpty() ? QChar() : atStart ? text.front() : text.back();
        if (c == u'-' || c == u'+') {
            negative = negative || c == u'-';
            ++signs;
            text = (atStart ? text.sliced(1) : text.chopped(1)).trimmed();
        }
    }
    if (signs > 1)
        return std::nullopt;
    return negative;
}

// An amount as banks write it, read exactly: "1,234.56", "(50.00)", "50.00-", "€ 1.234,56",
// "-$12". Made into the plain form "-1234.56" for Money::parse.
std::optional<Money> parseAmount(const QString& written, QChar decimalMark)
{
    QString text = written;
    text.removeIf(isCurrencySign);
    text = text.trimmed();
    const std::optional<bool> negative = takeSign(text);
    if (!negative)
        return std::nullopt;
    const qsizetype mark = text.indexOf(decimalMark);
    const QStringView whole = mark < 0 ? QStringView(text) : QStringView(text).first(mark);
    const QStringView fraction = mark < 0 ? QStringView() : QStringView(text).sliced(mark + 1);
    const std::optional<QString> digits = wholeDigits(whole, decimalMark);
    if (!digits || (digits->isEmpty() && fraction.isEmpty())
        || (!fraction.isEmpty() && !allDigits(fraction)))
        return std::nullopt;
    QString plain = (*negative ? QStringLiteral("-") : QString())
                    + (digits->isEmpty() ? QStringLiteral("0") : *digits);
    if (!fraction.isEmpty())
        plain += u'.' + fraction.toString();
    const Result<Money> amount = Money::parse(plain);
    return amount ? std::optional<Money>(amount.value()) : std::nullopt;
}

Money magnitude(Money m)
{
    return m.isNegative() ? -m : m;
}

// ---- Rows ----

Error lineError(int line, const QString& text)
{
    return Error{QStringLiteral("Line %1: %2").arg(line).arg(text)};
}

Error notAnAmount(const CsvRow& row, const QString& text)
{
    return lineError(row.line, QStringLiteral("\"%1\" is not an amount.").arg(text));
}

QString field(const CsvRow& row, int column)
{
    return column >= 0 && column < row.fields.size() ? row.fields[column] : QString();
}

Result<Money> signedAmount(const CsvRow& row, const CsvMapping& m)
{
    const QString text = field(row, m.amountColumn);
    const std::optional<Money> amount = parseAmount(text, m.decimalMark);
    if (!amount)
        return notAnAmount(row, text);
    return m.moneyOutPositive ? -*amount : *amount;
}

// A column is filled when it holds an amount other than zero: banks that fill both columns
// write 0.00 in the one that does not count. The sign written is not what counts: the column is.
Result<Money> debitCreditAmount(const CsvRow& row, const CsvMapping& m)
{
    const QString out = field(row, m.debitColumn), in = field(row, m.creditColumn);
    std::optional<Money> outAmount, inAmount;
    if (!out.trimmed().isEmpty() && !(outAmount = parseAmount(out, m.decimalMark)))
        return notAnAmount(row, out);
    if (!in.trimmed().isEmpty() && !(inAmount = parseAmount(in, m.decimalMark)))
        return notAnAmount(row, in);
    if (!outAmount && !inAmount)
        return lineError(row.line, QStringLiteral("there is no amount, neither of money out "
                                                  "nor of money in."));
    const Money outValue = magnitude(outAmount.value_or(Money())),
                inValue = magnitude(inAmount.value_or(Money()));
    if (!outValue.isZero() && !inValue.isZero())
        return lineError(row.line, QStringLiteral("there is an amount both of money out (\"%1\") "
                                                  "and of money in (\"%2\").")
                                       .arg(out, in));
    return inValue - outValue;
}

std::optional<bool> isMoneyOut(const QString& sign)
{
    const QString s = sign.trimmed().toLower();
    if (s == u"d" || s == u"dr" || s == u"debit" || s == u"-")
        return true;
    if (s == u"c" || s == u"cr" || s == u"credit" || s == u"+")
        return false;
    return std::nullopt;
}

Result<Money> amountAndSign(const CsvRow& row, const CsvMapping& m)
{
    const QString text = field(row, m.amountColumn), sign = field(row, m.signColumn);
    const std::optional<Money> amount = parseAmount(text, m.decimalMark);
    if (!amount)
        return notAnAmount(row, text);
    const std::optional<bool> out = isMoneyOut(sign);
    if (!out)
        return lineError(row.line,
                         QStringLiteral("\"%1\" does not say money in or out: the sign column "
                                        "holds D, DR, Debit or - for money out and C, CR, Credit "
                                        "or + for money in.")
                             .arg(sign));
    return *out ? -magnitude(*amount) : magnitude(*amount);
}

Result<Money> amountOf(const CsvRow& row, const CsvMapping& m)
{
    switch (m.amounts) {
    case AmountStyle::Signed:
        return signedAmount(row, m);
    case AmountStyle::DebitCredit:
        return debitCreditAmount(row, m);
    case AmountStyle::AmountAndSign:
        return amountAndSign(row, m);
    }
    return Error{QStringLiteral("Choose how the amounts are written.")};
}

QList<int> columnsRead(const CsvMapping& m)
{
    QList<int> columns{m.dateColumn, m.payeeColumn, m.memoColumn, m.numberColumn};
    switch (m.amounts) {
    case AmountStyle::Signed:
        columns << m.amountColumn;
        break;
    case AmountStyle::DebitCredit:
        columns << m.debitColumn << m.creditColumn;
        break;
    case AmountStyle::AmountAndSign:
        columns << m.amountColumn << m.signColumn;
        break;
    }
    return columns;
}

Status checkMapping(const CsvMapping& m)
{
    if (m.dateColumn < 0)
        return Error{QStringLiteral("Choose the column that holds the date.")};
    if (m.dateOrder == DateOrder::Unset)
        return Error{QStringLiteral("Choose the date order: day/month/year, month/day/year or "
                                    "year/month/day.")};
    if (m.decimalMark != u'.' && m.decimalMark != u',')
        return Error{QStringLiteral("The decimal mark must be a point or a comma.")};
    if (m.amounts == AmountStyle::Signed && m.amountColumn < 0)
        return Error{QStringLiteral("Choose the column that holds the amount.")};
    if (m.amounts == AmountStyle::DebitCredit && (m.debitColumn < 0 || m.creditColumn < 0))
        return Error{QStringLiteral("Choose the columns that hold money out and money in.")};
    if (m.amounts == AmountStyle::AmountAndSign && (m.amountColumn < 0 || m.signColumn < 0))
        return Error{QStringLiteral("Choose the column that holds the amount and the column "
                                    "that says whether it is money in or out.")};
    return {};
}

// The id stands for the five values, so a '|' inside a text must not look like the next value.
QByteArray idPart(const QString& text)
{
    QString escaped = text;
    escaped.replace(u'\\', QStringLiteral("\\\\")).replace(u'|', QStringLiteral("\\|"));
    return escaped.toUtf8();
}

QString bankIdOf(const StatementLine& l, QHash<QByteArray, int>& seen)
{
    const QByteArray values = l.date.toString(Qt::ISODate).toUtf8() + '|'
                              + QByteArray::number(l.amount.units()) + '|' + idPart(l.payee) + '|'
                              + idPart(l.memo) + '|' + idPart(l.number);
    const QByteArray hash = QCryptographicHash::hash(values, QCryptographicHash::Sha1).toHex();
    return QStringLiteral("csv:%1:%2").arg(QString::fromLatin1(hash)).arg(seen[hash]++);
}

Result<StatementLine> lineOf(const CsvRow& row, const CsvMapping& m, int lastColumn)
{
    if (row.fields.size() <= lastColumn)
        return Error{QStringLiteral("Line %1 has %2 columns; the mapping reads column %3.")
                         .arg(row.line)
                         .arg(row.fields.size())
                         .arg(lastColumn + 1)};
    StatementLine l;
    l.line = row.line;
    l.account = m.name;
    const QString dateText = field(row, m.dateColumn);
    l.date = parseDate(dateText, m.dateOrder);
    if (!l.date.isValid())
        return lineError(row.line, QStringLiteral("\"%1\" is not a date in the order %2.")
                                       .arg(dateText, orderName(m.dateOrder)));
    Result<Money> amount = amountOf(row, m);
    if (!amount)
        return amount.error();
    l.amount = amount.value();
    l.payee = field(row, m.payeeColumn);
    l.memo = field(row, m.memoColumn);
    l.number = field(row, m.numberColumn);
    return l;
}

// ---- Saved text ----

// The names the saved text gives to the choices; the text stays readable in the database.
const QList<std::pair<QChar, QString>> delimiterNames{{u',', QStringLiteral("comma")},
                                                      {u';', QStringLiteral("semicolon")},
                                                      {u'\t', QStringLiteral("tab")}};
const QList<std::pair<QChar, QString>> markNames{{u'.', QStringLiteral("point")},
                                                 {u',', QStringLiteral("comma")}};
const QList<std::pair<DateOrder, QString>> orderNames{
    {DateOrder::Unset, QStringLiteral("unset")},
    {DateOrder::DayMonthYear, QStringLiteral("day/month/year")},
    {DateOrder::MonthDayYear, QStringLiteral("month/day/year")},
    {DateOrder::YearMonthDay, QStringLiteral("year/month/day")}};
const QList<std::pair<AmountStyle, QString>> styleNames{
    {AmountStyle::Signed, QStringLiteral("signed")},
    {AmountStyle::DebitCredit, QStringLiteral("debit/credit")},
    {AmountStyle::AmountAndSign, QStringLiteral("amount and sign")}};
const QList<std::pair<bool, QString>> flagNames{{false, QStringLiteral("no")},
                                                {true, QStringLiteral("yes")}};

template <class T> QString nameOf(const QList<std::pair<T, QString>>& names, T value)
{
    for (const auto& [v, n] : names)
        if (v == value)
            return n;
    return {};
}

template <class T>
bool read(const QList<std::pair<T, QString>>& names, const QString& text, T& into)
{
    for (const auto& [v, n] : names)
        if (n == text) {
            into = v;
            return true;
        }
    return false;
}

bool readColumn(const QString& text, int& into, int lowest = -1)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < lowest || value > 100000)
        return false;
    into = value;
    return true;
}

// A name is one line of the saved text: its line breaks and backslashes are written escaped.
QString escaped(const QString& text)
{
    QString out;
    for (const QChar c : text)
        out += c == u'\\'   ? QStringLiteral("\\\\")
               : c == u'\n' ? QStringLiteral("\\n")
               : c == u'\r' ? QStringLiteral("\\r")
                            : QString(c);
    return out;
}

std::optional<QString> unescaped(const QString& text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\\') {
            out += text[i];
            continue;
        }
        const QChar next = ++i < text.size() ? text[i] : QChar();
        if (next != u'\\' && next != u'n' && next != u'r')
            return std::nullopt;
        out += next == u'n' ? u'\n' : next == u'r' ? u'\r' : u'\\';
    }
    return out;
}

struct Column {
    const char* key;
    int CsvMapping::*member;
};
constexpr Column columnKeys[] = {
    {"dateColumn", &CsvMapping::dateColumn},   {"payeeColumn", &CsvMapping::payeeColumn},
    {"memoColumn", &CsvMapping::memoColumn},   {"amountColumn", &CsvMapping::amountColumn},
    {"debitColumn", &CsvMapping::debitColumn}, {"creditColumn", &CsvMapping::creditColumn},
    {"signColumn", &CsvMapping::signColumn},   {"numberColumn", &CsvMapping::numberColumn}};

// Reads one setting into the mapping; false when its value is not one it can have.
bool readSetting(CsvMapping& m, const QString& key, const QString& value)
{
    if (key == u"name") {
        const std::optional<QString> name = unescaped(value);
        m.name = name.value_or(QString());
        return name.has_value();
    }
    if (key == u"encoding") {
        m.encoding = value;
        return csvEncodings().contains(value);
    }
    if (key == u"delimiter")
        return read(delimiterNames, value, m.delimiter);
    if (key == u"decimalMark")
        return read(markNames, value, m.decimalMark);
    if (key == u"headerRows")
        return readColumn(value, m.headerRows, 0);
    if (key == u"dateOrder")
        return read(orderNames, value, m.dateOrder);
    if (key == u"amounts")
        return read(styleNames, value, m.amounts);
    if (key == u"moneyOutPositive")
        return read(flagNames, value, m.moneyOutPositive);
    for (const Column& c : columnKeys)
        if (key == QLatin1String(c.key))
            return readColumn(value, m.*c.member);
    return true; // a setting of a later version
}

} // namespace

QString CsvMapping::toText() const
{
    QStringList lines{QStringLiteral("name=") + escaped(name),
                      QStringLiteral("encoding=") + encoding,
                      QStringLiteral("delimiter=") + nameOf(delimiterNames, delimiter),
                      QStringLiteral("decimalMark=") + nameOf(markNames, decimalMark),
                      QStringLiteral("headerRows=%1").arg(headerRows),
                      QStringLiteral("dateOrder=") + nameOf(orderNames, dateOrder),
                      QStringLiteral("amounts=") + nameOf(styleNames, amounts),
                      QStringLiteral("moneyOutPositive=") + nameOf(flagNames, moneyOutPositive)};
    for (const Column& c : columnKeys)
        lines << QStringLiteral("%1=%2").arg(QLatin1String(c.key)).arg(this->*c.member);
    return lines.join(u'\n') + u'\n';
}

Result<CsvMapping> CsvMapping::fromText(const QString& text)
{
    CsvMapping m;
    for (QString line : text.split(u'\n')) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals <= 0)
            return Error{QStringLiteral("The saved mapping has a line that is no setting: \"%1\".")
                             .arg(line)};
        const QString key = line.first(equals), value = line.sliced(equals + 1);
        if (!readSetting(m, key, value))
            return Error{
                QStringLiteral("The saved mapping's %1 cannot be \"%2\".").arg(key, value)};
    }
    return m;
}

DateOrder dateOrderOf(const QList<CsvRow>& rows, const CsvMapping& mapping)
{
    QList<DateOrder> fitting{DateOrder::DayMonthYear, DateOrder::MonthDayYear,
                             DateOrder::YearMonthDay};
    bool anyDate = false;
    for (qsizetype i = std::max(mapping.headerRows, 0); i < rows.size() && !fitting.isEmpty();
         ++i) {
        const QString text = field(rows[i], mapping.dateColumn);
        fitting.removeIf([&](DateOrder o) { return !parseDate(text, o).isValid(); });
        anyDate = true;
    }
    return anyDate && fitting.size() == 1 ? fitting.front() : DateOrder::Unset;
}

std::optional<DateOfBothWays> dateOfBothWays(const QList<CsvRow>& rows, const CsvMapping& mapping)
{
    if (mapping.dateOrder == DateOrder::Unset)
        return std::nullopt;
    QList<DateOrder> others{DateOrder::DayMonthYear, DateOrder::MonthDayYear,
                            DateOrder::YearMonthDay};
    others.removeAll(mapping.dateOrder);
    const qsizetype first = std::max(mapping.headerRows, 0);
    for (qsizetype i = first; i < rows.size(); ++i) {
        const QString text = field(rows[i], mapping.dateColumn);
        if (!parseDate(text, mapping.dateOrder).isValid())
            return std::nullopt; // the mapping does not read the file: it says so itself
        others.removeIf([&](DateOrder o) { return !parseDate(text, o).isValid(); });
    }
    for (qsizetype i = first; i < rows.size(); ++i) {
        const QString text = field(rows[i], mapping.dateColumn);
        const QDate read = parseDate(text, mapping.dateOrder);
        for (DateOrder o : others)
            if (parseDate(text, o) != read)
                return DateOfBothWays{text.trimmed(), read};
    }
    return std::nullopt;
}

Result<Statement> applyMapping(const QList<CsvRow>& rows, const CsvMapping& mapping)
{
    if (Status usable = checkMapping(mapping); !usable)
        return usable.error();
    const QList<int> columns = columnsRead(mapping);
    const int lastColumn = *std::max_element(columns.begin(), columns.end());
    Statement statement;
    QHash<QByteArray, int> seen;
    for (qsizetype i = std::max(mapping.headerRows, 0); i < rows.size(); ++i) {
        Result<StatementLine> line = lineOf(rows[i], mapping, lastColumn);
        if (!line)
            return line.error();
        line.value().bankId = bankIdOf(line.value(), seen);
        statement.lines.append(std::move(line).value());
    }
    return statement;
}

} // namespace halvo
