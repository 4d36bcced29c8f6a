#include "login_window.h"

#include "controls/links.h"
#include "password_fields.h"
#include "password_store.h"

#include "hyperlink/vey_hyperlink_label.h"
#include "platform/prompts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QVBoxLayout>

namespace halvo {

frmLogin::frmLogin(const QString& dataFolder, QWidget* parent)
    : QWidget(parent, Qt::Window), folder(dataFolder)
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(tr("Login"));

    auto* grid = new QGridLayout;
    txtPass = addPasswordRow(grid, 0, this, tr("&Enter login password"), QStringLiteral("txtPass"));

    Login = makeLink(this, QStringLiteral("Login"), tr("Login"));
    cmdExit = makeLink(this, QStringLiteral("cmdExit"), tr("Close"));
    connect(Login, &VeyHyperLinkLabel::Click, this, &frmLogin::Login_Click);
    connect(cmdExit, &VeyHyperLinkLabel::Click, this, &frmLogin::cmdExit_Click);
    connect(txtPass, &QLineEdit::returnPressed, this, &frmLogin::Login_Click);

    layOutWithLogo(this, grid, commandRow({Login, cmdExit}));
    setTabOrder(txtPass, Login);
    setTabOrder(Login, cmdExit);
    centreOnScreen(this);
}

void frmLogin::Login_Click()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Result<bool> right = PasswordStore(folder).matches(txtPass->text());
    QApplication::restoreOverrideCursor();
    // A password that cannot be read counts as a wrong one.
    if (!right || !right.value()) {
        prompts().message(this, tr("Password is incorrect!"), tr("Login Failed"),
                          Prompts::Buttons::Ok, Prompts::Icon::Critical);
        return;
    }
    hide();
    emit loggedIn();
}

void frmLogin::cmdExit_Click() { emit exitRequested(); }

void frmLogin::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit exitRequested();
}

} // namespace halvo
