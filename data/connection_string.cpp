#include "connection_string.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <optional>

namespace halvo {

namespace {

const QString jetProvider = QStringLiteral("Provider=Microsoft Jet 4.0 OLE DB Provider;Data Source=");
const QString jetTail =
    QStringLiteral(";Jet OLEDB:Database Password=vintra;Persist Security Info=False");
const QString oledbProvider = QStringLiteral("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=");

const QString jetName = QStringLiteral("Microsoft Jet 4.0 OLE DB Provider");
const QString oledbName = QStringLiteral("Microsoft.Jet.OLEDB.4.0");

// The windows were written for paths with backslashes; here either separator serves.
QString withSlashes(QString path) { return path.replace(QLatin1Char('\\'), QLatin1Char('/')); }

// One "name=value" item of a connection text, with where its value stands in the text.
struct Item {
    QString name;
    QString value;
    qsizetype valueStart = 0;
    qsizetype valueEnd = 0;
};

// A connection text is a list of "name=value" items separated by semicolons. A value that holds
// a semicolon, or begins with a quote, is written between double (or single) quotes, with a
// quote inside doubled: a folder may have any name. Empty items are skipped; an item without
// "=", or text after a closing quote, makes the text not understood.
std::optional<QList<Item>> splitItems(const QString& text)
{
    QList<Item> items;
    qsizetype at = 0;
    while (at < text.size()) {
        if (text[at] == QLatin1Char(';')) {
            ++at;
            continue;
        }
        const qsizetype eq = text.indexOf(QLatin1Char('='), at);
        const qsizetype semicolon = text.indexOf(QLatin1Char(';'), at);
        if (eq < 0 || (semicolon >= 0 && semicolon < eq))
            return std::nullopt;
        Item item;
        item.name = text.mid(at, eq - at).trimmed();
        item.valueStart = eq + 1;
        at = eq + 1;
        if (at < text.size() && (text[at] == QLatin1Char('"') || text[at] == QLatin1Char('\''))) {
            const QChar quote = text[at++];
            for (;;) {
                if (at >= text.size())
                    return std::nullopt; // no closing quote
                if (text[at] == quote) {
                    if (at + 1 < text.size() && text[at + 1] == quote) {
                        item.value += quote;
                        at += 2;
                        continue;
                    }
                    ++at;
                    break;
                }
                item.value += text[at++];
            }
            if (at < text.size() && text[at] != QLatin1Char(';'))
                return std::nullopt;
        } else {
            const qsizetype end = semicolon < 0 ? text.size() : semicolon;
            item.value = text.mid(at, end - at);
            at = end;
        }
        item.valueEnd = at;
        items.append(item);
    }
    return items;
}

// A value as it is written into a connection text: as it is, unless it must be quoted.
QString written(const QString& value)
{
    if (!value.contains(QLatin1Char(';')) && !value.startsWith(QLatin1Char('"'))
        && !value.startsWith(QLatin1Char('\'')))
        return value;
    return QLatin1Char('"') + QString(value).replace(QLatin1String("\""), QLatin1String("\"\""))
           + QLatin1Char('"');
}

bool isDataSource(const Item& item)
{
    return item.name.compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0;
}

} // namespace

// The provider and whether the data source is relative tell the four forms apart: the standard
// and fixed relative forms name the Jet provider, the report and compaction forms the OLE DB one.
Result<ConnectionString> parseConnectionString(const QString& text)
{
    const std::optional<QList<Item>> items = splitItems(text);
    if (!items)
        return Error{QStringLiteral("The connection text is not understood: %1").arg(text)};
    QString provider;
    ConnectionString result;
    for (const Item& item : *items) {
        if (item.name.compare(QLatin1String("Provider"), Qt::CaseInsensitive) == 0)
            provider = item.value;
        else if (isDataSource(item))
            result.dataSource = item.value;
        else if (item.name.compare(QLatin1String("Jet OLEDB:Database Password"), Qt::CaseInsensitive)
                 == 0)
            result.password = item.value;
    }
    if (result.dataSource.isEmpty())
        return Error{QStringLiteral("The connection text names no database file: %1").arg(text)};
    const bool relative = QFileInfo(withSlashes(result.dataSource)).isRelative();
    if (provider == jetName)
        result.form = relative ? ConnectionForm::FixedRelative : ConnectionForm::Standard;
    else if (provider == oledbName)
        result.form = relative ? ConnectionForm::Report : ConnectionForm::Compaction;
    else
        return Error{QStringLiteral("The connection text names an unknown provider: %1").arg(text)};
    return result;
}

// Only the data source that counts, the last one, is replaced; every other item stays as written.
QString connectionStringIn(const QString& text, const QString& folder)
{
    const Result<ConnectionString> parsed = parseConnectionString(text);
    if (!parsed || !QFileInfo(withSlashes(parsed.value().dataSource)).isRelative())
        return text;
    const QList<Item> items = *splitItems(text);
    const auto source = std::find_if(items.rbegin(), items.rend(), isDataSource);
    const QString resolved =
        QDir::cleanPath(QDir(folder).absoluteFilePath(withSlashes(parsed.value().dataSource)));
    return QString(text).replace(source->valueStart, source->valueEnd - source->valueStart,
                                 written(resolved));
}

QString ConnectionString::filePath() const
{
    return QDir::cleanPath(QDir::current().absoluteFilePath(withSlashes(dataSource)));
}

QString databasePath(const QString& dataFolder)
{
    return QDir(dataFolder).filePath(DatabaseFileName);
}

QString standardConnectionString(const QString& dataFolder)
{
    return jetProvider + written(databasePath(dataFolder)) + jetTail;
}

QString fixedRelativeConnectionString() { return jetProvider + DatabaseFileName + jetTail; }

QString reportConnectionString()
{
    return oledbProvider + DatabaseFileName
           + QStringLiteral(";Persist Security Info=False;Jet OLEDB:Database Password=vintra;");
}

QString compactionConnectionString(const QString& filePath)
{
    return oledbProvider + written(filePath) + QStringLiteral(";Jet OLEDB:Database Password=vintra");
}

} // namespace halvo
