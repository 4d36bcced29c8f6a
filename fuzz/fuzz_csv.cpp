// CSV files from the bank, read through a mapping. The first fifteen bytes choose the mapping
// (encoding, delimiter, decimal mark, header rows, date order, sign convention, columns); the
// rest is the file. Properties:
// - reading and applying the mapping never fault and never hang; a refusal says why;
// - rows come in the order of their lines, from line 1 on, and none of them is empty;
// - every row written out again with csvLine reads back as the same fields;
// - the saved text of the mapping reads back as the same mapping;
// - a statement has one line for each row after the header rows, at the row's line, with a
//   valid date, and no two lines share a bank id.

#include "fuzz/fuzz_input.h"
#include "statements/csv_mapping.h"
#include "statements/csv_reader.h"
#include "csv/csv_writer.h"

#include <QSet>

using namespace halvo;

namespace {

int column(fuzz::Input& in)
{
    return int(in.choose(7)) - 1;
}

CsvMapping mappingFrom(fuzz::Input& in)
{
    CsvMapping m;
    m.name = QStringLiteral("Fuzzed | account");
    m.encoding = csvEncodings().at(qsizetype(in.choose(4)));
    m.delimiter = QStringLiteral(",;\t").at(qsizetype(in.choose(3)));
    m.decimalMark = in.flag() ? u',' : u'.';
    m.headerRows = int(in.choose(3));
    m.dateOrder = DateOrder(in.choose(4)); // Unset: told by the dates, as the window does
    m.amounts = AmountStyle(in.choose(3));
    m.moneyOutPositive = in.flag();
    for (int* c : {&m.dateColumn, &m.payeeColumn, &m.memoColumn, &m.amountColumn, &m.debitColumn,
                   &m.creditColumn, &m.signColumn, &m.numberColumn})
        *c = column(in);
    return m;
}

void checkRows(const QList<CsvRow>& rows)
{
    int previous = 0;
    for (const CsvRow& r : rows) {
        FUZZ_CHECK(r.line > previous, QStringLiteral("line %1 after %2").arg(r.line).arg(previous));
        previous = r.line;
        bool blank = true;
        for (const QString& f : r.fields)
            blank = blank && f.trimmed().isEmpty();
        FUZZ_CHECK(!blank, QStringLiteral("an empty row at line %1").arg(r.line));
    }
}

void checkRewritten(const QList<CsvRow>& rows)
{
    QByteArray written;
    for (const CsvRow& r : rows)
        written += csvLine(r.fields);
    const Result<QList<CsvRow>> back = readCsv(written, QStringLiteral("UTF-8"), u',');
    FUZZ_CHECK(back.ok(), back.error().description);
    FUZZ_CHECK(back.value().size() == rows.size(),
               QStringLiteral("%1 rows read back as %2").arg(rows.size()).arg(back.value().size()));
    for (qsizetype i = 0; i < rows.size(); ++i)
        FUZZ_CHECK(back.value()[i].fields == rows[i].fields,
                   QStringLiteral("row at line %1 read back as [%2]")
                       .arg(rows[i].line)
                       .arg(back.value()[i].fields.join(QStringLiteral("] ["))));
}

void checkStatement(const QList<CsvRow>& rows, const CsvMapping& m, const Statement& s)
{
    const qsizetype expected = std::max<qsizetype>(rows.size() - m.headerRows, 0);
    FUZZ_CHECK(s.lines.size() == expected,
               QStringLiteral("%1 lines from %2 rows").arg(s.lines.size()).arg(rows.size()));
    QSet<QString> ids;
    for (qsizetype i = 0; i < s.lines.size(); ++i) {
        const StatementLine& l = s.lines[i];
        FUZZ_CHECK(l.line == rows[i + m.headerRows].line, QStringLiteral("line %1").arg(l.line));
        FUZZ_CHECK(l.date.isValid(), QStringLiteral("no date at line %1").arg(l.line));
        FUZZ_CHECK(!ids.contains(l.bankId), QStringLiteral("bank id %1 twice").arg(l.bankId));
        ids.insert(l.bankId);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz::Input in(data, size);
    CsvMapping m = mappingFrom(in);
    const Result<CsvMapping> saved = CsvMapping::fromText(m.toText());
    FUZZ_CHECK(saved.ok() && saved.value() == m, m.toText());

    const std::size_t used = size - in.remaining();
    const QByteArray file(reinterpret_cast<const char*>(data + used), qsizetype(size - used));
    const Result<QList<CsvRow>> rows = readCsv(file, m.encoding, m.delimiter);
    if (!rows) {
        FUZZ_CHECK(!rows.error().description.isEmpty(), QStringLiteral("a silent refusal"));
        return 0;
    }
    checkRows(rows.value());
    checkRewritten(rows.value());
    if (m.dateOrder == DateOrder::Unset)
        m.dateOrder = dateOrderOf(rows.value(), m);
    const Result<Statement> s = applyMapping(rows.value(), m);
    if (s)
        checkStatement(rows.value(), m, s.value());
    else
        FUZZ_CHECK(!s.error().description.isEmpty(), QStringLiteral("a silent refusal"));
    return 0;
}
