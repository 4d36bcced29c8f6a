#include "saved_mappings.h"

#include "ledger_import.h"
#include "statement_accounts.h"

namespace halvo {

Result<QStringList> mappingNames(const Connection& connection)
{
    return connection.texts(QStringLiteral("SELECT Name FROM tblCsvMapping ORDER BY Name"));
}

Result<CsvMapping> loadMapping(const Connection& connection, const QString& name)
{
    Result<QVariant> text = connection.scalar(
        QStringLiteral("SELECT Mapping FROM tblCsvMapping WHERE Name = ?"), {name});
    if (!text)
        return text.error();
    if (text.value().isNull())
        return Error{QStringLiteral("No mapping is saved as \"%1\".").arg(name)};
    Result<CsvMapping> mapping = CsvMapping::fromText(text.value().toString());
    if (mapping)
        mapping.value().name = name;
    return mapping;
}

Status saveMapping(const Connection& connection, const CsvMapping& mapping, const QString& account)
{
    if (mapping.name.trimmed().isEmpty())
        return Error{QStringLiteral("[Name] Please, enter required data.")};
    Transaction work(connection);
    if (!work.status())
        return work.status();
    Result<int> saved = connection.execute(
        QStringLiteral("INSERT OR REPLACE INTO tblCsvMapping (Name, Mapping) VALUES (?, ?)"),
        {mapping.name.trimmed(), mapping.toText()});
    if (!saved)
        return saved.error();
    // The lines a mapping reads are of the account it chose; the mapping is its file's own name
    // of the account.
    const QString chosen = account.trimmed().isEmpty() ? mapping.name.trimmed() : account;
    if (Status set = setAccountOf(connection, mapping.name.trimmed(), chosen); !set)
        return set;
    return work.commit();
}

} // namespace halvo
