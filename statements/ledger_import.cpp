#include "ledger_import.h"

#include "statement_accounts.h"

#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace halvo {

namespace {

constexpr int DuplicateDays = 3;

// Stored by word, so that the order of the enumeration may change.
const QString matchNames[] = {QStringLiteral("starts"), QStringLiteral("contains"),
                              QStringLiteral("is")};

PayeeRule::Match matchFromName(const QString& name)
{
    for (int i = 0; i < 3; ++i)
        if (matchNames[i] == name)
            return PayeeRule::Match(i);
    return PayeeRule::Match::StartsWith;
}

int particularity(PayeeRule::Match match)
{
    switch (match) {
    case PayeeRule::Match::Is: return 0;
    case PayeeRule::Match::StartsWith: return 1;
    case PayeeRule::Match::Contains: break;
    }
    return 2;
}

QStringList payeeWords(const QString& payee)
{
    static const QRegularExpression apart(QStringLiteral("[^\\p{L}\\p{N}]+"));
    return payee.toCaseFolded().split(apart, Qt::SkipEmptyParts);
}

QString text(const QVariant& value) { return value.toString(); }

Status applyRules(QList<ImportLine>& lines, const QList<PayeeRule>& rules)
{
    for (ImportLine& line : lines) {
        line.payee = line.bank.payee.trimmed().isEmpty() ? line.bank.memo.trimmed()
                                                         : line.bank.payee.trimmed();
        if (const PayeeRule* rule = ruleFor(rules, line.bank.payee)) {
            line.fromRule = true;
            if (!rule->property.isEmpty())
                line.property = rule->property;
            if (!rule->payee.isEmpty())
                line.payee = rule->payee;
            if (!rule->category.isEmpty())
                line.category = rule->category;
        }
    }
    return {};
}

// The accounts of the statement's lines, by the file's own name of each: the account that
// stands for it, or the one the user named for it now (not yet made, or one there is).
using Accounts = QHash<QString, NamedAccount>;

Result<Accounts> accountsOf(const Connection& connection, const Statement& statement,
                            const QHash<QString, QString>& names)
{
    Accounts accounts;
    for (const StatementLine& line : statement.lines) {
        if (accounts.contains(line.account))
            continue;
        Result<NamedAccount> named = accountOf(connection, line.account);
        if (named && named.value().name.isEmpty()
            && !names.value(line.account).trimmed().isEmpty())
            named = accountNamed(connection, names.value(line.account));
        if (!named)
            return named.error();
        accounts.insert(line.account, named.value());
    }
    return accounts;
}

// The lines of one account share their bank ids, whichever file of it they came from; a file's
// account that no account stands for yet is one by itself.
QString accountKey(const QString& fileAccount, const NamedAccount& account)
{
    return account.id != 0 ? QStringLiteral("#%1").arg(account.id) : QLatin1Char('@') + fileAccount;
}

// The bank ids already imported, by account, for the accounts of this statement.
Result<QSet<QString>> importedIds(const Connection& connection, const Accounts& accounts)
{
    QSet<QString> ids;
    for (auto a = accounts.begin(); a != accounts.end(); ++a) {
        const QString key = accountKey(a.key(), a.value());
        Status read = connection.eachRow(
            QStringLiteral("SELECT BankID FROM tblImportLine WHERE Account = ? OR Account IN "
                           "(SELECT Account FROM tblFileAccount WHERE AccountID = ?)"),
            {a.key(), a.value().id}, [&](const QStringList&, QVariantList row) {
                ids.insert(key + QLatin1Char('\n') + text(row[0]));
                return true;
            });
        if (!read)
            return read.error();
    }
    return ids;
}

// A ledger row of the same kind and amount within a few days, with a similar payee, typed by
// hand or imported from the same account, from whichever file of it. Two accounts that pay the
// same bill each month are kept apart: their rows are never taken for each other.
Result<std::optional<Duplicate>> matchingRow(const Connection& connection, const ImportLine& line,
                                             const NamedAccount& account)
{
    const QString sql = QStringLiteral(
        "SELECT f.RecDate, f.Payee, i.Account, a.AccountID FROM tblFinance f "
        "LEFT JOIN tblImportLine i ON i.FinanceID = f.ID "
        "LEFT JOIN tblFileAccount a ON a.Account = i.Account "
        "WHERE f.%1 = ? AND f.RecDate BETWEEN ? AND ?")
                            .arg(line.income() ? QStringLiteral("Income") : QStringLiteral("Expense"));
    const Money amount = line.income() ? line.bank.amount : -line.bank.amount;
    const QDate date = line.bank.date;
    std::optional<Duplicate> found;
    Status read = connection.eachRow(
        sql,
        {QVariant::fromValue(amount), date.addDays(-DuplicateDays), date.addDays(DuplicateDays)},
        [&](const QStringList&, QVariantList row) {
            const QString payee = text(row[1]);
            const bool sameAccount =
                row[2].isNull() || text(row[2]) == line.bank.account
                || (account.id != 0 && !row[3].isNull() && row[3].toLongLong() == account.id);
            if (!sameAccount
                || !(similarPayee(payee, line.bank.payee) || similarPayee(payee, line.payee)))
                return true;
            found = Duplicate{Duplicate::Kind::LedgerRow, amount, payee, row[0].toDate()};
            return false;
        });
    if (!read)
        return read.error();
    return found;
}

Status markDuplicates(const Connection& connection, const Accounts& accounts,
                      QList<ImportLine>& lines)
{
    Result<QSet<QString>> imported = importedIds(connection, accounts);
    if (!imported)
        return imported.error();
    QSet<QString> seen = imported.value();
    const QSet<QString>& before = imported.value();
    for (ImportLine& line : lines) {
        const NamedAccount account = accounts.value(line.bank.account);
        const QString key =
            accountKey(line.bank.account, account) + QLatin1Char('\n') + line.bank.bankId;
        if (!line.bank.bankId.isEmpty() && seen.contains(key)) {
            line.duplicateOf = Duplicate{before.contains(key) ? Duplicate::Kind::ImportedBefore
                                                              : Duplicate::Kind::EarlierInFile,
                                         {}, {}, {}};
        } else {
            seen.insert(key);
            Result<std::optional<Duplicate>> match = matchingRow(connection, line, account);
            if (!match)
                return match.error();
            line.duplicateOf = match.value();
        }
        // An investment account's cash is the user's to choose: it is offered, never ticked.
        line.ticked =
            !line.duplicateOf && !line.bank.amount.isZero() && !line.bank.investment;
    }
    return {};
}

QString stamp(const QDateTime& at) { return at.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")); }

} // namespace

bool PayeeRule::matches(const QString& bankPayee) const
{
    const QString wanted = text.trimmed();
    if (wanted.isEmpty())
        return false;
    const QString payee = bankPayee.trimmed();
    switch (match) {
    case Match::StartsWith: return payee.startsWith(wanted, Qt::CaseInsensitive);
    case Match::Contains: return payee.contains(wanted, Qt::CaseInsensitive);
    case Match::Is: break;
    }
    return payee.compare(wanted, Qt::CaseInsensitive) == 0;
}

Result<QList<PayeeRule>> loadPayeeRules(const Connection& connection)
{
    Result<Rows> rows = connection.select(QStringLiteral(
        "SELECT ID, Match, Text, NickName, Payee, Category FROM tblPayeeRule ORDER BY ID"));
    if (!rows)
        return rows.error();
    QList<PayeeRule> rules;
    for (const QVariantList& r : rows.value().values)
        rules.append(PayeeRule{r[0].toLongLong(), matchFromName(text(r[1])), text(r[2]),
                               text(r[3]), text(r[4]), text(r[5])});
    std::stable_sort(rules.begin(), rules.end(), [](const PayeeRule& a, const PayeeRule& b) {
        if (particularity(a.match) != particularity(b.match))
            return particularity(a.match) < particularity(b.match);
        return a.text.trimmed().size() > b.text.trimmed().size();
    });
    return rules;
}

Outcome<qint64, ImportRefusal> savePayeeRule(const Connection& connection, const PayeeRule& rule)
{
    if (rule.text.trimmed().isEmpty())
        return ImportRefusal{ImportRefusal::Kind::RuleWithoutText, 0, {}};
    const QVariantList values{matchNames[int(rule.match)], rule.text.trimmed(), rule.property,
                              rule.payee, rule.category};
    if (rule.id != 0) {
        Result<int> changed = connection.execute(
            QStringLiteral("UPDATE tblPayeeRule SET Match = ?, Text = ?, NickName = ?, Payee = ?, "
                           "Category = ? WHERE ID = ?"),
            values + QVariantList{rule.id});
        if (!changed)
            return changed.error();
        return rule.id;
    }
    Result<int> added = connection.execute(
        QStringLiteral("INSERT INTO tblPayeeRule (Match, Text, NickName, Payee, Category) "
                       "VALUES (?, ?, ?, ?, ?)"),
        values);
    if (!added)
        return added.error();
    Result<QVariant> id = connection.scalar(QStringLiteral("SELECT last_insert_rowid()"));
    if (!id)
        return id.error();
    return id.value().toLongLong();
}

Status deletePayeeRule(const Connection& connection, qint64 id)
{
    Result<int> removed =
        connection.execute(QStringLiteral("DELETE FROM tblPayeeRule WHERE ID = ?"), {id});
    if (!removed)
        return removed.error();
    return {};
}

const PayeeRule* ruleFor(const QList<PayeeRule>& rules, const QString& bankPayee)
{
    for (const PayeeRule& rule : rules)
        if (rule.matches(bankPayee))
            return &rule;
    return nullptr;
}

ImportLine::State ImportLine::state() const
{
    if (duplicateOf)
        return State::Duplicate;
    return category.trimmed().isEmpty() ? State::NeedsCategory : State::New;
}

// Similar when the words of one begin the words of the other ("city water" and "city water dept
// 123"), or when both begin with the same word of four letters or more ("amazon mktp" and
// "amazon.com"); a bank's payee text is often cut short or carries a branch number after it.
bool similarPayee(const QString& a, const QString& b)
{
    const QStringList x = payeeWords(a), y = payeeWords(b);
    if (x.isEmpty() || y.isEmpty())
        return false;
    const qsizetype common = std::min(x.size(), y.size());
    if (std::equal(x.begin(), x.begin() + common, y.begin()))
        return true;
    return x.first() == y.first() && x.first().size() >= 4;
}

Result<QList<ImportLine>> planImport(const Connection& connection, const Statement& statement,
                                     const QHash<QString, QString>& names)
{
    Result<QList<PayeeRule>> rules = loadPayeeRules(connection);
    if (!rules)
        return rules.error();
    Result<Accounts> accounts = accountsOf(connection, statement, names);
    if (!accounts)
        return accounts.error();
    QList<ImportLine> lines;
    lines.reserve(statement.lines.size());
    for (const StatementLine& bank : statement.lines) {
        ImportLine line;
        line.bank = bank;
        line.account = accounts.value().value(bank.account).name;
        lines.append(std::move(line));
    }
    if (Status ruled = applyRules(lines, rules.value()); !ruled)
        return ruled.error();
    if (Status marked = markDuplicates(connection, accounts.value(), lines); !marked)
        return marked.error();
    return lines;
}

namespace {

// What the ledger requires of a row that the line lacks, if anything.
std::optional<ImportRefusal> unwritable(const ImportLine& line)
{
    using Kind = ImportRefusal::Kind;
    const auto refused = [&line](Kind kind) {
        return ImportRefusal{kind, line.bank.line, line.bank.date};
    };
    if (line.bank.amount.isZero())
        return refused(Kind::AmountZero);
    if (line.payee.trimmed().isEmpty())
        return refused(Kind::NoPayee);
    if (!line.bank.date.isValid())
        return refused(Kind::NoDate);
    return std::nullopt;
}

Status writeLine(const Connection& connection, qint64 batch, const ImportLine& line)
{
    const Money amount = line.income() ? line.bank.amount : -line.bank.amount;
    const QVariant zero = QVariant::fromValue(Money());
    Result<int> added = connection.execute(
        QStringLiteral("INSERT INTO tblFinance (NickName, RecDate, CheckNo, Payee, Category, Memo, "
                       "Income, Expense) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
        {line.property, line.bank.date, line.bank.number, line.payee.trimmed(), line.category,
         line.bank.memo, line.income() ? QVariant::fromValue(amount) : zero,
         line.income() ? zero : QVariant::fromValue(amount)});
    if (!added)
        return added.error();
    Result<int> kept = connection.execute(
        QStringLiteral("INSERT INTO tblImportLine (BatchID, FinanceID, Account, BankID) "
                       "VALUES (?, last_insert_rowid(), ?, ?)"),
        {batch, line.bank.account, line.bank.bankId});
    if (!kept)
        return kept.error();
    return {};
}

// The names the user gave the file's accounts at this import are kept with it: from now on
// they stand for the files' accounts. An account that has a name already keeps it.
Status keepAccountNames(const Connection& connection, const QList<ImportLine>& lines)
{
    QSet<QString> kept;
    for (const ImportLine& line : lines) {
        if (line.account.trimmed().isEmpty() || kept.contains(line.bank.account))
            continue;
        kept.insert(line.bank.account);
        for (const auto& [sql, values] :
             {std::pair{"INSERT OR IGNORE INTO tblStatementAccount (Name) VALUES (?)",
                        QVariantList{line.account.trimmed()}},
              std::pair{"INSERT OR IGNORE INTO tblFileAccount (Account, AccountID) "
                        "SELECT ?, ID FROM tblStatementAccount WHERE Name = ?",
                        QVariantList{line.bank.account, line.account.trimmed()}}})
            if (Result<int> done = connection.execute(QString::fromLatin1(sql), values); !done)
                return done.error();
    }
    return {};
}

} // namespace

Outcome<ImportBatch, ImportRefusal> writeImport(const Connection& connection,
                                                const QList<ImportLine>& lines,
                                                const QString& source)
{
    int count = 0;
    for (const ImportLine& line : lines) {
        if (!line.ticked)
            continue;
        if (std::optional<ImportRefusal> refused = unwritable(line))
            return *refused;
        ++count;
    }
    if (count == 0)
        return ImportRefusal{ImportRefusal::Kind::NothingTicked, 0, {}};
    Transaction work(connection);
    if (!work.status())
        return work.status().error();
    ImportBatch batch{0, source, QDateTime::currentDateTime(), count};
    Result<int> opened = connection.execute(
        QStringLiteral("INSERT INTO tblImportBatch (ImportedAt, Source, Lines) VALUES (?, ?, ?)"),
        {stamp(batch.importedAt), source, count});
    if (!opened)
        return opened.error();
    Result<QVariant> id = connection.scalar(QStringLiteral("SELECT last_insert_rowid()"));
    if (!id)
        return id.error();
    batch.id = id.value().toLongLong();
    for (const ImportLine& line : lines)
        if (line.ticked)
            if (Status written = writeLine(connection, batch.id, line); !written)
                return written.error();
    if (Status named = keepAccountNames(connection, lines); !named)
        return named.error();
    if (Status done = work.commit(); !done)
        return done.error();
    return batch;
}

Result<std::optional<ImportBatch>> lastImport(const Connection& connection)
{
    Result<Rows> rows = connection.select(QStringLiteral(
        "SELECT ID, Source, ImportedAt, Lines FROM tblImportBatch ORDER BY ID DESC LIMIT 1"));
    if (!rows)
        return rows.error();
    if (rows.value().values.isEmpty())
        return std::optional<ImportBatch>();
    const QVariantList& r = rows.value().values.first();
    return std::optional<ImportBatch>(ImportBatch{
        r[0].toLongLong(), text(r[1]),
        QDateTime::fromString(text(r[2]), QStringLiteral("yyyy-MM-dd HH:mm:ss")), r[3].toInt()});
}

Result<int> undoImport(const Connection& connection, qint64 batchId)
{
    Transaction work(connection);
    if (!work.status())
        return work.status().error();
    Result<int> removed = connection.execute(
        QStringLiteral("DELETE FROM tblFinance WHERE ID IN "
                       "(SELECT FinanceID FROM tblImportLine WHERE BatchID = ?)"),
        {batchId});
    if (!removed)
        return removed.error();
    for (const char* sql : {"DELETE FROM tblImportLine WHERE BatchID = ?",
                            "DELETE FROM tblImportBatch WHERE ID = ?"})
        if (Result<int> gone = connection.execute(QString::fromLatin1(sql), {batchId}); !gone)
            return gone.error();
    if (Status done = work.commit(); !done)
        return done.error();
    return removed.value();
}

} // namespace halvo
