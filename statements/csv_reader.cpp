#include "csv_reader.h"

#include <QStringDecoder>
#include <csv.h>

namespace halvo {

namespace {

const QString Utf8 = QStringLiteral("UTF-8");
const QString Windows1252 = QStringLiteral("Windows-1252");
const QString Latin1 = QStringLiteral("ISO-8859-1");
const QString Utf16 = QStringLiteral("UTF-16");

// Windows-1252 is ISO-8859-1 but for 0x80-0x9F, where it puts the euro sign, typographic quotes
// and dashes. The five codes it leaves unused stand for themselves, as Windows reads them.
constexpr char16_t windows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QString fromWindows1252(const QByteArray& bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        *out++ = QChar(b >= 0x80 && b < 0xA0 ? windows1252High[b - 0x80] : char16_t(b));
    }
    return text;
}

Error notInEncoding(int line, const QString& encoding)
{
    return Error{QStringLiteral("Line %1: the text is not %2; choose the file's encoding.")
                     .arg(line)
                     .arg(encoding)};
}

// A sequence cut short at the end counts too: the line break after it shows it up.
bool isUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    // decode() converts only when its result is taken as a text.
    const QString text = decoder.decode(bytes);
    const QString lineBreak = decoder.decode(QByteArrayView("\n"));
    return !decoder.hasError();
}

// The line of the first bytes that are no UTF-8: a line break is never part of a longer UTF-8
// sequence, so each line can be checked alone.
int firstLineNotUtf8(const QByteArray& bytes)
{
    int line = 1;
    for (QByteArrayView rest(bytes); !rest.isEmpty(); ++line) {
        const qsizetype end = rest.indexOf('\n');
        if (!isUtf8(end < 0 ? rest : rest.first(end)))
            return line;
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
    }
    return line;
}

Result<QString> fromUtf8(QByteArray bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    if (!isUtf8(bytes))
        return notInEncoding(firstLineNotUtf8(bytes), Utf8);
    return QString::fromUtf8(bytes);
}

// Without a byte order mark, little-endian: the order Windows writes "Unicode" text in.
Result<QString> fromUtf16(QByteArray bytes)
{
    auto order = QStringConverter::Utf16LE;
    if (bytes.startsWith("\xFE\xFF"))
        order = QStringConverter::Utf16BE;
    if (bytes.startsWith("\xFE\xFF") || bytes.startsWith("\xFF\xFE"))
        bytes.remove(0, 2);
    if (bytes.size() % 2 != 0)
        return Error{QStringLiteral("The file is not UTF-16 text: its length is an odd number "
                                    "of bytes. Choose the file's encoding.")};
    QStringDecoder decoder(order, QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) {
        const qsizetype bad = text.indexOf(QChar::ReplacementCharacter);
        return notInEncoding(int(QStringView(text).first(qMax<qsizetype>(bad, 0)).count(u'\n')) + 1,
                             Utf16);
    }
    return text;
}

Result<QString> decoded(const QByteArray& bytes, const QString& encoding)
{
    if (encoding == Utf8)
        return fromUtf8(bytes);
    if (encoding == Windows1252)
        return fromWindows1252(bytes);
    if (encoding == Latin1)
        return QString::fromLatin1(bytes);
    if (encoding == Utf16)
        return fromUtf16(bytes);
    return Error{QStringLiteral("The encoding \"%1\" is not one of %2.")
                     .arg(encoding, csvEncodings().join(QStringLiteral(", ")))};
}

// What libcsv hands over, and where in the file it stands.
struct Reading {
    QList<CsvRow> rows;
    QStringList fields;
    int line = 1;       // the line being fed to the parser
    int rowStart = 0;   // the line the row being read began on; 0 between rows
    int fieldStart = 0; // the line the field being read began on
};

void fieldEnded(void* text, size_t length, void* data)
{
    auto* r = static_cast<Reading*>(data);
    r->fields.append(QString::fromUtf8(static_cast<const char*>(text), qsizetype(length)));
    r->fieldStart = r->line; // the next field begins after the delimiter, on this line
}

bool isBlank(const QStringList& fields)
{
    for (const QString& f : fields)
        if (!f.trimmed().isEmpty())
            return false;
    return true;
}

void rowEnded(int, void* data)
{
    auto* r = static_cast<Reading*>(data);
    if (!isBlank(r->fields))
        r->rows.append(CsvRow{r->rowStart > 0 ? r->rowStart : r->line, r->fields});
    r->fields.clear();
    r->rowStart = 0;
}

// The length of the physical line that begins the text, with its line break: LF, CR LF or a
// lone CR (as old Mac files end lines).
qsizetype lineLength(QByteArrayView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == '\n')
            return i + 1;
        if (text[i] == '\r')
            return i + 1 < text.size() && text[i + 1] == '\n' ? i + 2 : i + 1;
    }
    return text.size();
}

bool holdsOnlyBlanks(QByteArrayView line)
{
    for (const char c : line)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            return false;
    return true;
}

class Parser {
public:
    explicit Parser(char delimiter)
    {
        ready = csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI | CSV_APPEND_NULL) == 0;
        csv_set_delim(&parser, static_cast<unsigned char>(delimiter));
    }
    ~Parser() { csv_free(&parser); }
    Parser(const Parser&) = delete;
    Parser& operator=(const Parser&) = delete;

    Result<QList<CsvRow>> read(const QByteArray& utf8)
    {
        if (!ready)
            return outOfMemory();
        for (QByteArrayView rest(utf8); !rest.isEmpty(); ++r.line) {
            const QByteArrayView line = rest.first(lineLength(rest));
            rest = rest.sliced(line.size());
            if (Status fed = feed(line); !fed)
                return fed.error();
        }
        if (csv_fini(&parser, fieldEnded, rowEnded, &r) != 0)
            return Error{QStringLiteral("Line %1: a quote is not closed.").arg(r.fieldStart)};
        return std::move(r.rows);
    }

private:
    Status feed(QByteArrayView line)
    {
        if (r.rowStart == 0 && !holdsOnlyBlanks(line))
            r.rowStart = r.fieldStart = r.line;
        if (csv_parse(&parser, line.data(), size_t(line.size()), fieldEnded, rowEnded, &r)
            == size_t(line.size()))
            return {};
        if (csv_error(&parser) != CSV_EPARSE)
            return outOfMemory();
        return Error{QStringLiteral("Line %1: a quote is out of place; a field with quotes in "
                                    "it must be in quotes whole, its own quotes doubled.")
                         .arg(r.line)};
    }

    static Error outOfMemory()
    {
        return Error{QStringLiteral("There is not enough memory to read the file.")};
    }

    csv_parser parser{};
    bool ready = false;
    Reading r;
};

} // namespace

QStringList csvEncodings()
{
    return {Utf8, Windows1252, Latin1, Utf16};
}

Result<QList<CsvRow>> readCsv(const QByteArray& bytes, const QString& encoding, QChar delimiter)
{
    if (delimiter != u',' && delimiter != u';' && delimiter != u'\t')
        return Error{QStringLiteral("The delimiter must be a comma, a semicolon or a tab.")};
    Result<QString> text = decoded(bytes, encoding);
    if (!text)
        return text.error();
    Parser parser(char(delimiter.unicode()));
    return parser.read(text.value().toUtf8());
}

} // namespace halvo
