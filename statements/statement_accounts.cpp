#include "statement_accounts.h"

#include "ledger_import.h"

#include <QSet>
#include <algorithm>

namespace halvo {

namespace {

Status addAccount(const Connection& connection, const QString& name)
{
    Result<int> added = connection.execute(
        QStringLiteral("INSERT OR IGNORE INTO tblStatementAccount (Name) VALUES (?)"), {name});
    if (!added)
        return added.error();
    return {};
}

} // namespace

Result<QStringList> accountNames(const Connection& connection)
{
    return connection.texts(QStringLiteral("SELECT Name FROM tblStatementAccount ORDER BY Name"));
}

Result<NamedAccount> accountOf(const Connection& connection, const QString& fileAccount)
{
    Result<Rows> rows = connection.select(
        QStringLiteral("SELECT a.ID, a.Name FROM tblFileAccount f "
                       "JOIN tblStatementAccount a ON a.ID = f.AccountID WHERE f.Account = ?"),
        {fileAccount});
    if (!rows)
        return rows.error();
    if (rows.value().values.isEmpty())
        return NamedAccount{};
    const QVariantList& row = rows.value().values.first();
    return NamedAccount{row[0].toLongLong(), row[1].toString()};
}

Result<NamedAccount> accountNamed(const Connection& connection, const QString& name)
{
    Result<Rows> rows = connection.select(
        QStringLiteral("SELECT ID, Name FROM tblStatementAccount WHERE Name = ?"),
        {name.trimmed()});
    if (!rows)
        return rows.error();
    if (rows.value().values.isEmpty())
        return NamedAccount{0, name.trimmed()};
    const QVariantList& row = rows.value().values.first();
    return NamedAccount{row[0].toLongLong(), row[1].toString()};
}

Status setAccountOf(const Connection& connection, const QString& fileAccount, const QString& name)
{
    const QString wanted = name.trimmed();
    if (wanted.isEmpty())
        return Error{QStringLiteral("[Account] Please, enter required data.")};
    Transaction work(connection);
    if (!work.status())
        return work.status();
    if (Status added = addAccount(connection, wanted); !added)
        return added;
    Result<int> set = connection.execute(
        QStringLiteral("INSERT OR REPLACE INTO tblFileAccount (Account, AccountID) "
                       "SELECT ?, ID FROM tblStatementAccount WHERE Name = ?"),
        {fileAccount, wanted});
    if (!set)
        return set.error();
    return work.commit();
}

Result<QList<FileAccount>> unnamedAccounts(const Connection& connection, const Statement& statement)
{
    QSet<QString> seen;
    QList<FileAccount> unnamed;
    for (const StatementLine& line : statement.lines) {
        if (seen.contains(line.account))
            continue;
        seen.insert(line.account);
        Result<NamedAccount> named = accountOf(connection, line.account);
        if (!named)
            return named.error();
        if (!named.value().name.isEmpty())
            continue;
        const auto listed = std::find_if(statement.accounts.begin(), statement.accounts.end(),
                                         [&](const FileAccount& a) { return a.account == line.account; });
        unnamed.append(listed != statement.accounts.end() ? *listed : FileAccount{line.account, AccountKind::Unknown, {}});
    }
    return unnamed;
}

} // namespace halvo
