#include "csv_writer.h"

#include <QDate>
#include <QDir>
#include <QLocale>
#include <QSaveFile>
#include <QStringEncoder>
#include <QTime>
#include <charconv>

namespace halvo {

namespace {

// Two decimals always, the third and fourth where the amount has them. Written by hand, into
// room for 24 characters: an export writes a million of them.
char* writeMoney(char* out, Money amount)
{
    const std::int64_t units = amount.units();
    const std::uint64_t size =
        units < 0 ? -static_cast<std::uint64_t>(units) : static_cast<std::uint64_t>(units);
    if (units < 0)
        *out++ = '-';
    out = std::to_chars(out, out + 20, size / Money::Scale).ptr;
    *out++ = '.';
    std::uint64_t fraction = size % Money::Scale;
    for (std::uint64_t digit = Money::Scale / 10; digit > 0; digit /= 10) {
        *out++ = char('0' + fraction / digit);
        fraction %= digit;
    }
    while (out[-1] == '0' && out[-3] != '.')
        --out;
    return out;
}

// yyyy-MM-dd, by hand for the same reason, into room for 10 characters; nullptr for a year
// that does not have four digits.
char* writeDate(char* out, QDate date)
{
    int year = 0, month = 0, day = 0;
    date.getDate(&year, &month, &day);
    if (year < 1 || year > 9999)
        return nullptr;
    for (const int part : {year / 100, year % 100, -1, month, -1, day})
        if (part < 0) {
            *out++ = '-';
        } else {
            *out++ = char('0' + part / 10);
            *out++ = char('0' + part % 10);
        }
    return out;
}

// Money, dates and whole numbers straight into the line, as plain ASCII; false for any other
// value.
bool appendPlainValue(QByteArray& out, const QVariant& value)
{
    char text[32];
    char* end = nullptr;
    const QMetaType type = value.metaType();
    if (type == QMetaType::fromType<Money>())
        end = writeMoney(text, value.value<Money>());
    else if (type.id() == QMetaType::QDate)
        end = writeDate(text, value.toDate());
    else if (type.id() == QMetaType::LongLong)
        end = std::to_chars(text, text + sizeof text, value.toLongLong()).ptr;
    if (!end || value.isNull())
        return false;
    out.append(text, end - text);
    return true;
}

bool needsQuotes(QStringView field)
{
    if (field.isEmpty())
        return false;
    for (const QChar c : field)
        if (c == u',' || c == u'"' || c == u'\r' || c == u'\n')
            return true;
    // The import drops blanks around a field that is not in quotes.
    return field.front().isSpace() || field.back().isSpace();
}

// Appends a field as UTF-8 straight into the line: a text of its own for each field would cost
// more than the rest of the export.
void appendField(QByteArray& out, QStringView field, QStringEncoder& utf8)
{
    const bool quoted = needsQuotes(field);
    QString doubled;
    if (quoted && field.contains(u'"')) {
        doubled = field.toString().replace(u'"', QStringLiteral("\"\""));
        field = doubled;
    }
    const qsizetype at = out.size();
    out.resize(at + utf8.requiredSpace(field.size()) + 2);
    char* end = out.data() + at;
    if (quoted)
        *end++ = '"';
    end = utf8.appendToBuffer(end, field);
    if (quoted)
        *end++ = '"';
    out.truncate(end - out.constData());
}

void appendLine(QByteArray& out, const QStringList& fields)
{
    QStringEncoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        appendField(out, fields[i], utf8);
    }
    out += "\r\n";
}

// Rows are gathered into blocks before they are written: one write for each row costs more
// than the writing itself.
constexpr qsizetype blockBytes = 1 << 16;
constexpr qint64 progressEvery = 10000;

class Writer {
public:
    explicit Writer(const QString& path)
        : file(path)
    {
        block.reserve(2 * blockBytes);
    }

    Status open()
    {
        if (Status free = notHeldByEngine(file.fileName()); !free)
            return free;
        if (file.open(QIODevice::WriteOnly))
            return {};
        return failure();
    }
    void add(const QStringList& fields) { appendLine(block, fields); }
    Status addRow(const QVariantList& values)
    {
        for (qsizetype i = 0; i < values.size(); ++i) {
            if (i > 0)
                block += ',';
            if (!appendPlainValue(block, values[i]))
                appendField(block, csvValue(values[i]), utf8);
        }
        block += "\r\n";
        return block.size() >= blockBytes ? flush() : Status();
    }
    Status flush()
    {
        if (!block.isEmpty() && file.write(block) != block.size())
            return failure();
        block.truncate(0); // keeps its room for the next block
        return {};
    }
    Status commit()
    {
        if (Status flushed = flush(); !flushed)
            return flushed;
        return file.commit() ? Status() : failure();
    }
    void cancel() { file.cancelWriting(); }

private:
    Error failure() const
    {
        return Error{QStringLiteral("The file \"%1\" could not be written: %2.")
                         .arg(QDir::toNativeSeparators(file.fileName()), file.errorString())};
    }

    QSaveFile file;
    QByteArray block;
    QStringEncoder utf8{QStringConverter::Utf8, QStringConverter::Flag::Stateless};
};

} // namespace

QString csvValue(const QVariant& value)
{
    if (value.isNull())
        return {};
    const QMetaType type = value.metaType();
    char text[32];
    if (type == QMetaType::fromType<Money>())
        return QString::fromLatin1(text, writeMoney(text, value.value<Money>()) - text);
    switch (type.id()) {
    case QMetaType::QDate:
        if (const char* end = writeDate(text, value.toDate()))
            return QString::fromLatin1(text, end - text);
        return value.toDate().toString(Qt::ISODate);
    case QMetaType::QTime:
        return value.toTime().toString(QStringLiteral("HH:mm:ss"));
    case QMetaType::Double:
    case QMetaType::Float:
        return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    default:
        return value.toString();
    }
}

QByteArray csvLine(const QStringList& fields)
{
    QByteArray line;
    appendLine(line, fields);
    return line;
}

Status exportCsv(const Connection& connection, const QString& sql, const QVariantList& params,
                 const QString& path, const std::function<void(qint64 rows)>& progress)
{
    Writer writer(path);
    if (Status opened = writer.open(); !opened)
        return opened;
    qint64 rows = 0;
    bool headed = false;
    Status written;
    QStringList columns;
    const Status read = connection.eachRow(
        sql, params,
        [&](const QStringList& names, QVariantList values) {
            if (!headed)
                writer.add(names);
            headed = true;
            written = writer.addRow(values);
            if (++rows % progressEvery == 0 && progress)
                progress(rows);
            return written.ok();
        },
        &columns);
    if (read && written && !headed)
        writer.add(columns);
    if (Status done = !read ? read : !written ? written : writer.commit(); !done) {
        writer.cancel();
        return done;
    }
    if (progress)
        progress(rows);
    return {};
}

Status writeCsv(const QString& path, const QList<QVariantList>& rows)
{
    Writer writer(path);
    if (Status opened = writer.open(); !opened)
        return opened;
    for (const QVariantList& row : rows)
        if (Status added = writer.addRow(row); !added) {
            writer.cancel();
            return added;
        }
    if (Status done = writer.commit(); !done) {
        writer.cancel();
        return done;
    }
    return {};
}

} // namespace halvo
