#include "shared_books_commands.h"

#include "controls/writing_commands.h"

#include "login_window.h"
#include "main_window.h"
#include "password_fields.h"
#include "password_store.h"
#include "shared_books.h"

#include "data/connection.h"
#include "data/connection_string.h"
#include "lock/file_lock.h"
#include "platform/prompts.h"
#include "reports/data_environment.h"
#include "server/books_place.h"
#include "summary/portfolio_summary.h"

#include <QAction>
#include <QApplication>
#include <QDir>

namespace halvo {

namespace {

const QString openTitle = QStringLiteral("Open Shared Books");
const QString heldBack = QStringLiteral("halvoHeldBack"); // an entry made unavailable here

void tellFailure(QWidget* parent, const QString& text, const QString& title)
{
    prompts().message(parent, text, title, Prompts::Buttons::Ok, Prompts::Icon::Critical);
}

} // namespace

const QStringList SharedBooksCommands::WritingEntries = {
    QStringLiteral("ImportStatement"), QStringLiteral("UndoLastImport"),
    QStringLiteral("PayeeRules"),      QStringLiteral("RestoreDatabase"),
    QStringLiteral("ChangePassword"),  QStringLiteral("MoveBooksToServer"),
    QStringLiteral("SavetoDisk"),
};

SharedBooksCommands::SharedBooksCommands(frmMain& main) : main(&main) {}

QString SharedBooksCommands::dataFolder() const { return main ? main->dataFolder() : QString(); }

bool SharedBooksCommands::isOpen() const
{
    return Connection::inPlaceOf(databasePath(dataFolder())).has_value();
}

// As a restore does: every child window closes (one with a change the user keeps declines), the
// reports let their rows go and the summary lets go of the books.
bool SharedBooksCommands::closeWindows()
{
    if (!main || !main->closeChildWindows())
        return false;
    DataEnvironment::end();
    main->summary()->release();
    return true;
}

void SharedBooksCommands::reopenWindows()
{
    if (!main)
        return;
    showBooks();
    main->summary()->tick();
    main->openWindow(frmMain::entryForKey(QStringLiteral("Property")));
}

void SharedBooksCommands::showBooks()
{
    if (!main)
        return;
    const std::optional<Connection> books = Connection::inPlaceOf(databasePath(dataFolder()));
    main->setWindowTitle(books ? programTitle() + QStringLiteral(" - ") + books->filePath()
                               : programTitle());
    const bool readOnly = books && !books->mayWrite();
    holdBackWritingCommands(readOnly);
    for (const QString& name : WritingEntries) {
        QAction* entry = main->entry(name);
        if (!entry)
            continue;
        // The file's password is not the shared books' login: the server keeps the user's
        // password, and changes it (ALTER ROLE ... PASSWORD).
        const bool unavailable = readOnly || (books && name == QLatin1String("ChangePassword"));
        if (unavailable && entry->isEnabled()) {
            entry->setEnabled(false);
            entry->setProperty(heldBack.toLatin1().constData(), true);
        } else if (!unavailable && entry->property(heldBack.toLatin1().constData()).toBool()) {
            entry->setEnabled(true);
            entry->setProperty(heldBack.toLatin1().constData(), QVariant());
        }
    }
    if (QAction* local = main->entry(QStringLiteral("OpenLocalBooks")))
        local->setEnabled(books.has_value());
}

void SharedBooksCommands::OpenSharedBooks()
{
    if (!main)
        return;
    auto* window = new frmOpenShared(BooksPlace::read().address, main->folders().program,
                                     [this](const ServerAddress& address) {
                                         return openAt(address);
                                     },
                                     main);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->open();
}

bool SharedBooksCommands::openAt(const ServerAddress& address, const QString& password)
{
    if (!main)
        return false;
    QWidget* parent = main->window();
    if (QWidget* modal = QApplication::activeModalWidget())
        parent = modal;
    Result<OpenedBooks> opened = openSharedBooks(parent, address, password);
    if (!opened) {
        if (opened.error().code != PasswordNotGiven)
            tellFailure(parent, opened.error().description, openTitle);
        return false;
    }
    // The books opened: the windows on the books in use close before others take their place.
    if (!closeWindows()) {
        tellFailure(parent,
                    QStringLiteral("The shared books were not opened: a window that shows the "
                                   "data stayed open. Close it and open them again."),
                    openTitle);
        return false;
    }
    Connection::putInPlaceOf(databasePath(dataFolder()), opened.value().books);
    sharedSession().address = address;
    sharedSession().password = opened.value().password;
    BooksPlace{true, address}.write();
    reopenWindows();
    return true;
}

// The local file's password, where this run has not had it yet (it began with shared books):
// asked for as the login asks for it, and checked the same way.
bool SharedBooksCommands::localPasswordGiven()
{
    if (sharedSession().fileOpened)
        return true;
    const QString path = databasePath(dataFolder());
    if (!isLockedFile(path)) {
        const Result<StoredPassword> stored = PasswordStore(dataFolder()).read();
        if (stored && PasswordStore::isFirstRun(stored.value()))
            return true;
    }
    const std::optional<QString> typed =
        prompts().password(main, QObject::tr("Enter login password"), QObject::tr("Open Local Books"));
    return typed && passwordAccepted(main, dataFolder(), *typed);
}

void SharedBooksCommands::OpenLocalBooks()
{
    const QString path = databasePath(dataFolder());
    const std::optional<Connection> shared = Connection::inPlaceOf(path);
    if (!main || !shared)
        return;
    if (!closeWindows()) {
        tellFailure(main,
                    QStringLiteral("The local books were not opened: a window that shows the "
                                   "data stayed open. Close it and open them again."),
                    QObject::tr("Open Local Books"));
        return;
    }
    Connection::putAway(path);
    if (!localPasswordGiven()) {
        // The shared books stay in use.
        Connection::putInPlaceOf(path, *shared);
        reopenWindows();
        return;
    }
    sharedSession().fileOpened = true;
    sharedSession().password.clear();
    BooksPlace place = BooksPlace::read();
    place.shared = false;
    place.write();
    reopenWindows();
}

void SharedBooksCommands::Backup()
{
    const QString title = QStringLiteral("Backup Database");
    const QString folder = QDir(dataFolder()).filePath(QStringLiteral("backup"));
    const Result<QString> dump = [&] {
        BusyPointer busy;
        return backUpServerBooks(sharedSession().address, sharedSession().password, folder);
    }();
    if (!dump) {
        tellFailure(main, dump.error().description, title);
        return;
    }
    prompts().message(main,
                      QStringLiteral("Database has been backed up to: \r\n") + dump.value()
                          + QStringLiteral("..."),
                      title);
}

// A dump is restored into a new database beside the books in use, which are never changed; the
// user may then open it.
void SharedBooksCommands::Restore()
{
    const QString title = QStringLiteral("Restore from Backup");
    const ServerAddress address = sharedSession().address;
    const QString dump = prompts().openFileName(
        main, QStringLiteral("Restore From Backup"),
        QDir(dataFolder()).filePath(QStringLiteral("backup")),
        QStringLiteral("Backup Files (*.dump);;All Files (*.*)"),
        QStringLiteral("Backup Files (*.dump)"));
    if (dump.isEmpty())
        return;
    const std::optional<QString> name = prompts().typedText(
        main, QStringLiteral("Name of the new database the backup is restored into:"), title,
        (address.database.isEmpty() ? address.service : address.database)
            + QStringLiteral(" restored"));
    if (!name)
        return;
    const QString database = name->trimmed();
    const Status restored = [&] {
        BusyPointer busy;
        return restoreServerBooks(address, sharedSession().password, dump, database);
    }();
    if (!restored) {
        tellFailure(main, restored.error().description, title);
        return;
    }
    const QString done =
        QStringLiteral("The backup has been restored into the new database \"%1\". The books in "
                       "use are unchanged.")
            .arg(database);
    // A service names its own database: the restored one is reached by a server and port.
    if (!address.service.isEmpty()) {
        prompts().message(main, done, title);
        return;
    }
    if (prompts().message(main, done + QStringLiteral("\r\n\r\nOpen the restored books now?"),
                          title, Prompts::Buttons::YesNo, Prompts::Icon::Question)
        != Prompts::Answer::Yes)
        return;
    ServerAddress restoredBooks = address;
    restoredBooks.database = database;
    openAt(restoredBooks, sharedSession().password);
}

} // namespace halvo
