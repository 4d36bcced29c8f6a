// Connection texts: whatever the input says, read as a connection text and as a folder or a
// file path to build one for. Properties:
// - a text that parses, joined again from its parts, parses to the same form, file and password;
// - placing a relative text in a folder changes its data source and nothing else;
// - the text built for a program folder, or for a file to compact, names exactly that file.

#include "data/connection_string.h"
#include "fuzz/fuzz_input.h"

#include <QDir>
#include <QFileInfo>
#include <QStringList>

using namespace halvo;

namespace {

QString quoted(const QString& text) { return QStringLiteral("\"%1\"").arg(text); }

QString providerOf(ConnectionForm form)
{
    return form == ConnectionForm::Standard || form == ConnectionForm::FixedRelative
               ? QStringLiteral("Microsoft Jet 4.0 OLE DB Provider")
               : QStringLiteral("Microsoft.Jet.OLEDB.4.0");
}

bool sameParts(const ConnectionString& a, const ConnectionString& b)
{
    return a.form == b.form && a.dataSource == b.dataSource && a.password == b.password;
}

void checkJoinedAgain(const QString& text, const ConnectionString& parsed)
{
    // The value is given back as written, so it is joined again the way a writer would quote it.
    auto value = [](const QString& v) {
        return v.contains(QLatin1Char(';')) || v.startsWith(QLatin1Char('"'))
                       || v.startsWith(QLatin1Char('\''))
                   ? QLatin1Char('"') + QString(v).replace(QLatin1String("\""), QLatin1String("\"\""))
                         + QLatin1Char('"')
                   : v;
    };
    const QString joined = QStringLiteral("Provider=%1;Data Source=%2;Jet OLEDB:Database Password=%3")
                               .arg(providerOf(parsed.form), value(parsed.dataSource),
                                    value(parsed.password));
    const Result<ConnectionString> again = parseConnectionString(joined);
    FUZZ_CHECK(again.ok() && sameParts(again.value(), parsed),
               quoted(text) + QStringLiteral(" joined again as ") + quoted(joined));
    (void)parsed.filePath();
}

void checkPlacedInFolder(const QString& text, const Result<ConnectionString>& parsed)
{
    const QString folder = QStringLiteral("/opt/halvo");
    const QString placed = connectionStringIn(text, folder);
    const bool relative =
        parsed.ok()
        && QFileInfo(QString(parsed.value().dataSource).replace(QLatin1Char('\\'), QLatin1Char('/')))
               .isRelative();
    if (!relative) {
        FUZZ_CHECK(placed == text, quoted(text) + QStringLiteral(" became ") + quoted(placed));
        return;
    }
    // The file is the one the relative source names, seen from the folder.
    const QString resolved = QDir::cleanPath(QDir(folder).absoluteFilePath(
        QString(parsed.value().dataSource).replace(QLatin1Char('\\'), QLatin1Char('/'))));
    const Result<ConnectionString> again = parseConnectionString(placed);
    FUZZ_CHECK(again.ok(), quoted(text) + QStringLiteral(" became ") + quoted(placed));
    FUZZ_CHECK(again.value().password == parsed.value().password
                   && again.value().dataSource == resolved
                   && providerOf(again.value().form) == providerOf(parsed.value().form),
               quoted(text) + QStringLiteral(" became ") + quoted(placed));
}

void checkBuiltFor(const QString& path)
{
    if (path.isEmpty())
        return;
    const Result<ConnectionString> standard = parseConnectionString(standardConnectionString(path));
    FUZZ_CHECK(standard.ok() && standard.value().dataSource == databasePath(path)
                   && providerOf(standard.value().form) == providerOf(ConnectionForm::Standard),
               QStringLiteral("the text for the folder ") + quoted(path) + QStringLiteral(": ")
                   + quoted(standardConnectionString(path)));
    const Result<ConnectionString> compaction =
        parseConnectionString(compactionConnectionString(path));
    FUZZ_CHECK(compaction.ok() && compaction.value().dataSource == path
                   && providerOf(compaction.value().form) == providerOf(ConnectionForm::Compaction),
               QStringLiteral("the text for the file ") + quoted(path) + QStringLiteral(": ")
                   + quoted(compactionConnectionString(path)));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const Result<ConnectionString> parsed = parseConnectionString(text);
    if (parsed)
        checkJoinedAgain(text, parsed.value());
    checkPlacedInFolder(text, parsed);
    checkBuiltFor(text);
    return 0;
}
