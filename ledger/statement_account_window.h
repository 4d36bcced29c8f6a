#pragma once
// frmStatementAccounts: the accounts of a statement that HALVO has not imported from before, each
// named once. A bank's file names an account only by its numbers; the user gives it a name of
// their own ("First Bank checking"), or chooses one named before, such as the account a CSV
// mapping of the same bank chose. From then on the lines of either file are that account's, and
// the duplicate check compares them with each other.

#include "statements/statement.h"
#include "data/connection.h"

#include <QDialog>
#include <QHash>

class QComboBox;

namespace halvo {

// How the window and the import preview speak of a file's account: "Checking 0042-778", or the
// file's own text where it says no more.
QString fileAccountCaption(const FileAccount& account);

class frmStatementAccounts : public QDialog {
    Q_OBJECT
public:
    frmStatementAccounts(const Connection& connection, const QList<FileAccount>& accounts,
                         QWidget* parent = nullptr);

    // One for each account, in order: a name typed, or one of the accounts there are.
    QList<QComboBox*> cboAccount;
    // The names chosen, by the file's own name of each account.
    QHash<QString, QString> names() const;
    // Closes with the names; tells the user why not when an account has none, or two have one.
    void OK_Click();

private:
    QList<FileAccount> accounts;
};

} // namespace halvo
