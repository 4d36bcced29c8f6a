#include "password_windows.h"

#include "controls/links.h"
#include "password_fields.h"
#include "database_lock.h"
#include "password_store.h"

#include "hyperlink/vey_hyperlink_label.h"
#include "data/connection_string.h"
#include "lock/file_lock.h"
#include "platform/prompts.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace halvo {

frmSetPass::frmSetPass(const QString& dataFolder, QWidget* parent)
    : QWidget(parent, Qt::Window), folder(dataFolder)
{
    setObjectName(QStringLiteral("frmSetPass"));
    setWindowTitle(tr("User Password"));

    auto* grid = new QGridLayout;
    auto* firstTime = new QLabel(tr("This is the first time executing this application"), this);
    QFont emphasis = firstTime->font();
    emphasis.setBold(true);
    firstTime->setFont(emphasis);
    grid->addWidget(firstTime, 0, 0, 1, 2);
    txtUserPass = addPasswordRow(grid, 1, this, tr("&User Password"), QStringLiteral("txtUserPass"));
    txtConfirmPass = addPasswordRow(grid, 2, this, tr("&Confirm New Password"),
                                    QStringLiteral("txtConfirmPass"));

    Save = makeLink(this, QStringLiteral("Save"), tr("Save"));
    connect(Save, &VeyHyperLinkLabel::Click, this, &frmSetPass::Save_Click);
    // Enter in either box saves, as the window's one command.
    connect(txtUserPass, &QLineEdit::returnPressed, txtConfirmPass, qOverload<>(&QWidget::setFocus));
    connect(txtConfirmPass, &QLineEdit::returnPressed, this, &frmSetPass::Save_Click);

    layOutWithLogo(this, grid, commandRow({Save}));
    setTabOrder(txtUserPass, txtConfirmPass);
    setTabOrder(txtConfirmPass, Save);
    centreOnScreen(this);
}

void frmSetPass::Save_Click()
{
    if (txtUserPass->text() != txtConfirmPass->text()) {
        prompts().message(this, tr("The User Password does not match with the confirmed password!"),
                          tr("Set Pass Failed"));
        return;
    }
    Status saved = [&] {
        BusyPointer busy;
        return PasswordStore(folder).setFirst(txtUserPass->text());
    }();
    if (!saved) {
        // Handing over to a login that cannot succeed would leave the user stuck; the window
        // stays, so the user can put things right and save again.
        prompts().message(this,
                          tr("The password could not be saved.\n\n%1").arg(saved.error().description),
                          tr("Set Pass Failed"), Prompts::Buttons::Ok, Prompts::Icon::Critical);
        return;
    }
    offerToLock(this, folder, txtUserPass->text());
    hide();
    emit passwordSaved();
}

void frmSetPass::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit closedByUser();
}

frmChangePass::frmChangePass(const QString& dataFolder, QWidget* parent)
    : QDialog(parent), folder(dataFolder)
{
    setObjectName(QStringLiteral("frmChangePass"));
    setWindowTitle(tr("Change Password"));
    setModal(true);

    auto* grid = new QGridLayout;
    txtOldPass = addPasswordRow(grid, 0, this, tr("&Old Password"), QStringLiteral("txtOldPass"));
    txtNewPass = addPasswordRow(grid, 1, this, tr("&New Password"), QStringLiteral("txtNewPass"));
    txtConfirmPass = addPasswordRow(grid, 2, this, tr("&Confirm New Password"),
                                    QStringLiteral("txtConfirmPass"));

    Save = makeLink(this, QStringLiteral("Save"), tr("Save"));
    connect(Save, &VeyHyperLinkLabel::Click, this, &frmChangePass::Save_Click);
    connect(txtOldPass, &QLineEdit::returnPressed, txtNewPass, qOverload<>(&QWidget::setFocus));
    connect(txtNewPass, &QLineEdit::returnPressed, txtConfirmPass, qOverload<>(&QWidget::setFocus));
    connect(txtConfirmPass, &QLineEdit::returnPressed, this, &frmChangePass::Save_Click);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addSpacing(8);
    layout->addLayout(commandRow({Save}));
    setTabOrder(txtOldPass, txtNewPass);
    setTabOrder(txtNewPass, txtConfirmPass);
    setTabOrder(txtConfirmPass, Save);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void frmChangePass::Save_Click()
{
    PasswordStore store(folder);
    Result<bool> oldIsRight = [&] {
        BusyPointer busy;
        return passwordOpens(folder, txtOldPass->text());
    }();
    if (!oldIsRight) {
        prompts().message(this,
                          tr("The password could not be read.\n\n%1")
                              .arg(oldIsRight.error().description),
                          tr("Password Error"), Prompts::Buttons::Ok, Prompts::Icon::Critical);
        return;
    }
    if (!oldIsRight.value()) {
        prompts().message(this, tr("Old Password is not correct!"), tr("Password Error"),
                          Prompts::Buttons::Ok, Prompts::Icon::Critical);
        return;
    }
    if (txtConfirmPass->text() != txtNewPass->text()) {
        prompts().message(this, tr("The new password does not match with the confirmed password!"),
                          tr("Password Error"), Prompts::Buttons::Ok, Prompts::Icon::Critical);
        return;
    }
    // A locked file is keyed anew with the new password, which the stored one follows; the old
    // password opens it no more.
    Status replaced = [&] {
        if (isLockedFile(databasePath(folder)))
            return lockDatabase(this, folder, txtNewPass->text());
        BusyPointer busy;
        return store.replace(txtNewPass->text());
    }();
    if (!replaced) {
        // Nothing was changed: the old password is still in force, and the user is told so.
        prompts().message(this,
                          tr("The password could not be changed; the old password is still in "
                             "force.\n\n%1")
                              .arg(replaced.error().description),
                          tr("Password Error"), Prompts::Buttons::Ok, Prompts::Icon::Critical);
        return;
    }
    prompts().message(this, tr("Password has been changed!"), tr("Password Changed"),
                      Prompts::Buttons::Ok, Prompts::Icon::Information);
    accept();
}

} // namespace halvo
