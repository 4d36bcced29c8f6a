#include "statement_account_window.h"

#include "dialog_rows.h"
#include "controls/links.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "platform/prompts.h"
#include "statements/statement_accounts.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace halvo {

namespace {

const QString Title = QStringLiteral("Name the Account");

QString kindCaption(AccountKind kind)
{
    switch (kind) {
    case AccountKind::Checking: return QStringLiteral("Checking");
    case AccountKind::Savings: return QStringLiteral("Savings");
    case AccountKind::MoneyMarket: return QStringLiteral("Money market");
    case AccountKind::CreditLine: return QStringLiteral("Line of credit");
    case AccountKind::CashManagement: return QStringLiteral("Cash management");
    case AccountKind::CreditCard: return QStringLiteral("Credit card");
    case AccountKind::Investment: return QStringLiteral("Investment");
    case AccountKind::Unknown: break;
    }
    return {};
}

} // namespace

QString fileAccountCaption(const FileAccount& account)
{
    const QString kind = kindCaption(account.kind);
    if (kind.isEmpty() || account.number.isEmpty())
        return account.account.simplified();
    return kind + QLatin1Char(' ') + account.number;
}

frmStatementAccounts::frmStatementAccounts(const Connection& connection,
                                           const QList<FileAccount>& accounts, QWidget* parent)
    : QDialog(parent), accounts(accounts)
{
    setObjectName(QStringLiteral("frmStatementAccounts"));
    setWindowTitle(Title);
    const bool one = accounts.size() == 1;
    auto* intro = new QLabel(
        one ? QStringLiteral("HALVO has not imported from this account before. Give it a name of "
                             "your own, or choose the account it is if you named it before (as "
                             "a CSV mapping of the same bank did):")
            : QStringLiteral("HALVO has not imported from these accounts before. Give each a name "
                             "of your own, or choose the account it is if you named it before (as "
                             "a CSV mapping of the same bank did):"),
        this);
    intro->setWordWrap(true);
    const QStringList known = accountNames(connection).valueOr({});
    auto* grid = new QGridLayout;
    for (qsizetype i = 0; i < accounts.size(); ++i) {
        auto* name = new QComboBox(this);
        name->setObjectName(QStringLiteral("cboAccount(%1)").arg(i));
        name->setEditable(true);
        name->setInsertPolicy(QComboBox::NoInsert);
        name->addItems(known);
        name->setEditText(fileAccountCaption(accounts[i]));
        // The digit is the row's Alt key: the captions are the bank's, and share their letters.
        const QString caption = fileAccountCaption(accounts[i]) + QLatin1Char(':');
        addRow(grid, i < 9 ? QStringLiteral("&%1. %2").arg(i + 1).arg(caption) : caption, name);
        cboAccount.append(name);
    }
    grid->setColumnStretch(1, 1);

    auto* ok = makeLink(this, QStringLiteral("OK"), QStringLiteral("OK"));
    auto* cancel = makeLink(this, QStringLiteral("Cancel"), QStringLiteral("Cancel"));
    connect(ok, &VeyHyperLinkLabel::Click, this, &frmStatementAccounts::OK_Click);
    connect(cancel, &VeyHyperLinkLabel::Click, this, &QDialog::reject);
    // Enter in a name takes the names, as OK does.
    for (QComboBox* name : std::as_const(cboAccount))
        connect(name->lineEdit(), &QLineEdit::returnPressed, this, &frmStatementAccounts::OK_Click);
    auto* commands = new QHBoxLayout;
    commands->addStretch();
    commands->addWidget(ok);
    commands->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(intro);
    layout->addLayout(grid);
    layout->addLayout(commands);
    setMinimumWidth(fontMetrics().averageCharWidth() * 70);
    if (!cboAccount.isEmpty()) {
        cboAccount.first()->setFocus();
        cboAccount.first()->lineEdit()->selectAll();
    }
}

QHash<QString, QString> frmStatementAccounts::names() const
{
    QHash<QString, QString> chosen;
    for (qsizetype i = 0; i < accounts.size(); ++i)
        chosen.insert(accounts[i].account, cboAccount[i]->currentText().trimmed());
    return chosen;
}

void frmStatementAccounts::OK_Click()
{
    for (qsizetype i = 0; i < accounts.size(); ++i) {
        const QString name = cboAccount[i]->currentText().trimmed();
        if (name.isEmpty()) {
            prompts().message(this,
                              QStringLiteral("[%1] Please, enter required data.")
                                  .arg(fileAccountCaption(accounts[i])),
                              Title, Prompts::Buttons::Ok, Prompts::Icon::Warning);
            cboAccount[i]->setFocus();
            return;
        }
        // The accounts of one file are so many accounts: one name for two would merge them.
        for (qsizetype j = 0; j < i; ++j)
            if (cboAccount[j]->currentText().trimmed().compare(name, Qt::CaseInsensitive) == 0) {
                prompts().message(this,
                                  QStringLiteral("%1 and %2 are two accounts of the statement: "
                                                 "they cannot both be \"%3\".")
                                      .arg(fileAccountCaption(accounts[j]),
                                           fileAccountCaption(accounts[i]), name),
                                  Title, Prompts::Buttons::Ok, Prompts::Icon::Warning);
                cboAccount[i]->setFocus();
                return;
            }
    }
    accept();
}

} // namespace halvo
