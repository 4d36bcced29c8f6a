#pragma once
// The user's own names for the accounts statements come from. A bank's OFX file names an account
// by its bank and account numbers, a CSV file by the mapping it is read with: neither is a name
// the user chose, and the two never agree, so an OFX line and a CSV line of one checking account
// could not be taken for the same payment. A named account stands for the files' own names of it
// (what tblImportLine keeps as each imported line's Account), as many as there are: an OFX
// account's numbers, the names of the CSV mappings that chose it. The user names an OFX account
// at its first import; a CSV mapping chooses its account when it is saved.

#include "statement.h"
#include "data/connection.h"

namespace halvo {

// A named account as the import uses it: id 0 while it is still to be made.
struct NamedAccount {
    qint64 id = 0;
    QString name; // empty: no account of the user's stands for the file's yet
};

// The names of the accounts, in order.
Result<QStringList> accountNames(const Connection& connection);
// The account that a file's own name of an account stands for; none (empty name) when none does.
Result<NamedAccount> accountOf(const Connection& connection, const QString& fileAccount);
// The account of that name (as it is written there), or one still to be made (id 0).
Result<NamedAccount> accountNamed(const Connection& connection, const QString& name);
// From now on fileAccount stands for the account of that name, which is made when there is none.
Status setAccountOf(const Connection& connection, const QString& fileAccount, const QString& name);
// The statement's accounts that have lines and that no named account stands for yet, in the
// order the file lists them.
Result<QList<FileAccount>> unnamedAccounts(const Connection& connection, const Statement& statement);

} // namespace halvo
