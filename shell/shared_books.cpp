#include "shared_books.h"

#include "help_window.h"
#include "password_fields.h"

#include "platform/prompts.h"
#include "server/books_place.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QVBoxLayout>

namespace halvo {

SharedSession& sharedSession()
{
    static SharedSession session;
    return session;
}

QString serverUserName(const ServerAddress& address)
{
    if (!address.user.isEmpty())
        return address.user;
    if (!address.service.isEmpty())
        return address.service;
    return qEnvironmentVariable("PGUSER", qEnvironmentVariable("USER"));
}

QString serverPasswordQuestion(const ServerAddress& address)
{
    return QObject::tr("Password of %1 on the server:").arg(serverUserName(address));
}

Result<OpenedBooks> openSharedBooks(QWidget* parent, const ServerAddress& address,
                                    const QString& password)
{
    const QString info = conninfo(address);
    Result<Connection> books = [&] {
        BusyPointer busy;
        return Connection::openServer(info, password);
    }();
    if (books)
        return OpenedBooks{books.value(), password};
    if (books.error().code != ServerWantsPassword)
        return books.error();
    // The password is used for this session only; .pgpass is where a user keeps it.
    const std::optional<QString> typed = prompts().password(
        parent, serverPasswordQuestion(address), QObject::tr("Open Shared Books"));
    if (!typed)
        return Error{QObject::tr("No password was given."), PasswordNotGiven};
    books = [&] {
        BusyPointer busy;
        return Connection::openServer(info, *typed);
    }();
    if (!books)
        return books.error();
    return OpenedBooks{books.value(), *typed};
}

std::optional<Connection> askSharedBooks(QWidget* parent, const QString& caption,
                                         const QString& programFolder)
{
    std::optional<Connection> opened;
    frmOpenShared window(
        BooksPlace::read().address, programFolder,
        [&](const ServerAddress& address) {
            Result<OpenedBooks> books = openSharedBooks(&window, address);
            if (books)
                opened = books.value().books;
            else if (books.error().code != PasswordNotGiven)
                prompts().message(&window, books.error().description, caption,
                                  Prompts::Buttons::Ok, Prompts::Icon::Critical);
            return books.ok();
        },
        parent);
    window.setWindowTitle(caption);
    if (window.exec() != QDialog::Accepted)
        return std::nullopt;
    return opened;
}

bool serverPasswordAccepted(QWidget* parent, const QString& typed)
{
    Result<Connection> session =
        typed.isEmpty() ? Result<Connection>(Error{QObject::tr("Password is incorrect!")})
                        : [&] {
                              BusyPointer busy;
                              return Connection::openServer(
                                  conninfo(sharedSession().address), typed);
                          }();
    if (session)
        return true;
    prompts().message(parent, session.error().description, QObject::tr("Login Failed"),
                      Prompts::Buttons::Ok, Prompts::Icon::Critical);
    return false;
}

namespace {

QLineEdit* addTextRow(QFormLayout* form, QWidget* parent, const QString& caption,
                      const QString& name, const QString& text)
{
    auto* box = new QLineEdit(text, parent);
    box->setObjectName(name);
    auto* label = new QLabel(caption, parent);
    label->setBuddy(box);
    box->setAccessibleName(QString(caption).remove(QLatin1Char('&')).remove(QLatin1Char(':')));
    form->addRow(label, box);
    return box;
}

} // namespace

frmOpenShared::frmOpenShared(const ServerAddress& remembered, const QString& programFolder,
                             Opener opener, QWidget* parent)
    : QDialog(parent), programFolder(programFolder), opener(std::move(opener))
{
    setObjectName(QStringLiteral("frmOpenShared"));
    setWindowTitle(tr("Open Shared Books"));
    setProperty("helpTopic", QStringLiteral("sharedbooks"));

    auto* form = new QFormLayout;
    txtService = addTextRow(form, this, tr("&Service:"), QStringLiteral("txtService"),
                            remembered.service);
    txtService->setToolTip(tr("A service named in your pg_service.conf; with it, the other fields "
                              "are not needed"));
    txtServer =
        addTextRow(form, this, tr("Se&rver:"), QStringLiteral("txtServer"), remembered.host);
    txtPort = new QSpinBox(this);
    txtPort->setObjectName(QStringLiteral("txtPort"));
    txtPort->setRange(1, 65535);
    txtPort->setValue(remembered.port);
    txtPort->setAccessibleName(tr("Port"));
    auto* portLabel = new QLabel(tr("&Port:"), this);
    portLabel->setBuddy(txtPort);
    form->addRow(portLabel, txtPort);
    txtDatabase = addTextRow(form, this, tr("&Database:"), QStringLiteral("txtDatabase"),
                             remembered.database);
    txtUser = addTextRow(form, this, tr("&User:"), QStringLiteral("txtUser"), remembered.user);

    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("buttons"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("cmdOK"));
    buttons->button(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &frmOpenShared::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // Wide enough for a server's full name or a socket folder's path, seen whole.
    for (QLineEdit* box : {txtService, txtServer, txtDatabase, txtUser})
        box->setMinimumWidth(box->fontMetrics().averageCharWidth() * 36);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);

    // A modal window keeps F1 from the main window's Help: it opens its own section.
    auto* help = new QShortcut(QKeySequence::HelpContents, this);
    connect(help, &QShortcut::activated, this, [this] {
        static QPointer<QWidget> shown;
        QString failure;
        if (QWidget* window = HelpWindow::show(this->programFolder, shown, this, &failure,
                                               property("helpTopic").toString()))
            shown = window;
        else
            prompts().message(this, failure);
    });
}

ServerAddress frmOpenShared::address() const
{
    return ServerAddress{txtService->text().trimmed(), txtServer->text().trimmed(),
                         txtPort->value(), txtDatabase->text().trimmed(),
                         txtUser->text().trimmed()};
}

void frmOpenShared::accept()
{
    const ServerAddress typed = address();
    if (typed.service.isEmpty() && typed.database.isEmpty()) {
        prompts().message(this, tr("Enter the database of the shared books, or a service."),
                          windowTitle(), Prompts::Buttons::Ok, Prompts::Icon::Warning);
        txtDatabase->setFocus();
        return;
    }
    if (opener && opener(typed))
        QDialog::accept();
}

} // namespace halvo
