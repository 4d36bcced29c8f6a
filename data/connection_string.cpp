#include "connection_string.h"

#include <QDir>
#include <QFileInfo>

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

} // namespace

QString ConnectionString::filePath() const
{
    return QDir::cleanPath(QDir::current().absoluteFilePath(withSlashes(dataSource)));
}

// A connection text is a list of "name=value" items separated by semicolons. The provider and
// whether the data source is relative tell the four forms apart: the standard and fixed relative
// forms name the Jet provider, the report and compaction forms the OLE DB one.
Result<ConnectionString> parseConnectionString(const QString& text)
{
    QString provider;
    ConnectionString result;
    bool hasSource = false;
    for (const QString& item : text.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const int eq = item.indexOf(QLatin1Char('='));
        if (eq < 0)
            return Error{QStringLiteral("The connection text is not understood: %1").arg(text)};
        const QString name = item.left(eq).trimmed();
        const QString value = item.mid(eq + 1);
        if (name.compare(QLatin1String("Provider"), Qt::CaseInsensitive) == 0)
            provider = value;
        else if (name.compare(QLatin1String("Data Source"), Qt::CaseInsensitive) == 0) {
            result.dataSource = value;
            hasSource = !value.isEmpty();
        } else if (name.compare(QLatin1String("Jet OLEDB:Database Password"), Qt::CaseInsensitive)
                   == 0)
            result.password = value;
    }
    if (!hasSource)
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

QString connectionStringIn(const QString& text, const QString& folder)
{
    const Result<ConnectionString> parsed = parseConnectionString(text);
    if (!parsed || !QFileInfo(withSlashes(parsed.value().dataSource)).isRelative())
        return text;
    const QString source = parsed.value().dataSource;
    const QString resolved = QDir::cleanPath(QDir(folder).absoluteFilePath(withSlashes(source)));
    QString result = text;
    const int at = result.indexOf(QStringLiteral("=") + source);
    return at < 0 ? text : result.replace(at + 1, source.size(), resolved);
}

QString databasePath(const QString& programFolder)
{
    return QDir(programFolder).filePath(DatabaseFileName);
}

QString standardConnectionString(const QString& programFolder)
{
    return jetProvider + databasePath(programFolder) + jetTail;
}

QString fixedRelativeConnectionString() { return jetProvider + DatabaseFileName + jetTail; }

QString reportConnectionString()
{
    return oledbProvider + DatabaseFileName
           + QStringLiteral(";Persist Security Info=False;Jet OLEDB:Database Password=vintra;");
}

QString compactionConnectionString(const QString& filePath)
{
    return oledbProvider + filePath + QStringLiteral(";Jet OLEDB:Database Password=vintra");
}

} // namespace halvo
