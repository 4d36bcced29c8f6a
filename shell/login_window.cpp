#include "login_window.h"

#include "controls/links.h"
#include "password_fields.h"
#include "database_lock.h"

#include "hyperlink/vey_hyperlink_label.h"
#include "platform/desktop.h"
#include "platform/prompts.h"
#include "platform/settings.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>
#include <algorithm>

namespace halvo {

namespace {

// Wrong passwords in a row, and the moment the login takes the next one. Both are kept in the
// settings, so that closing and starting the program does not cut the wait short. The first four
// wrong passwords cost nothing; from the fifth the login waits, 1 second, then twice as long
// after each further one, up to 30 seconds.
class LoginWait {
public:
    static constexpr int freeTries = 4;
    static constexpr int longestWait = 30;

    int secondsLeft() const
    {
        const QDateTime until =
            QDateTime::fromString(Settings::value(untilKey), Qt::ISODateWithMs);
        if (!until.isValid())
            return 0;
        // The end is kept to the millisecond and a second begun counts whole: one second after
        // "try again in 30 seconds" the wait is 29 seconds, and it ends when it was said to.
        const qint64 left = (Clock::now().msecsTo(until) + 999) / 1000;
        // A clock put back does not make the wait longer than the longest.
        return int(std::clamp<qint64>(left, 0, longestWait));
    }
    // Counts a wrong password; the seconds until the next try.
    int wrong()
    {
        const int count = Settings::value(countKey).toInt() + 1;
        Settings::setValue(countKey, QString::number(count));
        if (count <= freeTries)
            return 0;
        const int wait = count - freeTries > 5 ? longestWait
                                               : std::min(longestWait, 1 << (count - freeTries - 1));
        Settings::setValue(untilKey, Clock::now().addSecs(wait).toString(Qt::ISODateWithMs));
        return wait;
    }
    void right()
    {
        Settings::setValue(countKey, {});
        Settings::setValue(untilKey, {});
    }

private:
    const QString countKey = QStringLiteral("WrongPasswords");
    const QString untilKey = QStringLiteral("LoginWaitUntil");
};

QString seconds(int n)
{
    return n == 1 ? QObject::tr("1 second") : QObject::tr("%1 seconds").arg(n);
}

} // namespace

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

bool passwordAccepted(QWidget* parent, const QString& dataFolder, const QString& typed)
{
    LoginWait wait;
    if (const int left = wait.secondsLeft(); left > 0) {
        prompts().message(parent, QObject::tr("Wait %1 before you try again.").arg(seconds(left)),
                          QObject::tr("Login Failed"), Prompts::Buttons::Ok,
                          Prompts::Icon::Critical);
        return false;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Result<bool> right = passwordOpens(dataFolder, typed);
    QApplication::restoreOverrideCursor();
    // The password is right, but the file it opens cannot be used: that is said as it is, and is
    // no wrong try.
    if (!right && right.error().code == RightPasswordFileUnusable) {
        prompts().message(parent,
                          QObject::tr("The database file cannot be opened:\n\n%1")
                              .arg(right.error().description),
                          QObject::tr("Login Failed"), Prompts::Buttons::Ok,
                          Prompts::Icon::Critical);
        return false;
    }
    // A password that cannot be read counts as a wrong one.
    if (!right || !right.value()) {
        QString text = QObject::tr("Password is incorrect!");
        if (const int next = wait.wrong(); next > 0)
            text += QObject::tr("\n\nYou can try again in %1.").arg(seconds(next));
        prompts().message(parent, text, QObject::tr("Login Failed"), Prompts::Buttons::Ok,
                          Prompts::Icon::Critical);
        return false;
    }
    wait.right();
    return true;
}

void frmLogin::askForServer(const QString& question, std::function<bool(const QString&)> open)
{
    serverOpen = std::move(open);
    for (QLabel* label : findChildren<QLabel*>())
        if (label->buddy() == txtPass)
            label->setText(QStringLiteral("&") + question);
    txtPass->setAccessibleName(question);
    adjustSize();
}

void frmLogin::Login_Click()
{
    if (serverOpen) {
        if (!serverOpen(txtPass->text()))
            return;
        hide();
        emit loggedIn();
        return;
    }
    if (!passwordAccepted(this, folder, txtPass->text()))
        return;
    hide();
    offerToLock(this, folder, txtPass->text());
    emit loggedIn();
}

void frmLogin::cmdExit_Click() { emit exitRequested(); }

void frmLogin::closeEvent(QCloseEvent* event)
{
    event->accept();
    emit exitRequested();
}

} // namespace halvo
