#include "startup.h"

#include "database_as_left.h"
#include "database_check.h"
#include "idle_lock.h"
#include "login_window.h"
#include "main_window.h"
#include "password_store.h"
#include "password_fields.h"
#include "password_windows.h"
#include "shared_books.h"
#include "window_table.h"

#include "platform/instance_lock.h"
#include "platform/prompts.h"
#include "platform/settings.h"

#include "data/connection_string.h"
#include "reports/data_environment.h"
#include "server/books_place.h"

#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <utility>

namespace halvo {

namespace {

// Runs `then` once the window has been painted the first time, so that it is on the screen
// before anything slow runs; at the latest after a fifth of a second, should no paint come.
void afterFirstPaint(QWidget* window, std::function<void()> then)
{
    struct Watch : QObject {
        std::function<void()> then;
        bool eventFilter(QObject*, QEvent* event) override
        {
            if (event->type() == QEvent::Paint)
                QTimer::singleShot(0, this, [this] { run(); });
            return false;
        }
        void run()
        {
            if (then)
                std::exchange(then, {})();
            deleteLater();
        }
    };
    auto* watch = new Watch;
    watch->setParent(window);
    watch->then = std::move(then);
    window->installEventFilter(watch);
    QTimer::singleShot(200, watch, [watch] { watch->run(); });
}

} // namespace

Startup::Startup(const Folders& folders, const QString& lockFolder, QObject* parent)
    : QObject(parent), folders(folders),
      lock(std::make_unique<InstanceLock>(QStringLiteral("halvo.lock"), lockFolder))
{
}

// The windows and their connections go first. A file with a password set that the user worked on
// is then remembered as the program leaves it, once the last connection has emptied its log
// into it.
Startup::~Startup()
{
    idle.reset();
    main.reset();
    login.reset();
    setPass.reset();
    const QString path = databasePath(folders.data);
    // The shared books' session ends with the windows; what follows is the file's.
    Connection::putAway(path);
    if (!worked)
        return;
    const Result<StoredPassword> stored = PasswordStore(folders.data).read();
    DataEnvironment::end(); // the reports' rows, read once for the run
    releaseDatabase(path);
    if (stored && stored.value() == StoredPassword::Set)
        rememberDatabaseAsLeft(path);
}

bool Startup::start()
{
    // Before anything else: a second copy is refused; the running one is left as it is.
    if (!lock->acquire()) {
        prompts().message(nullptr, tr("Program is already running!"));
        return false;
    }

    // The first start of an install that keeps its data apart from its programs puts the empty
    // database into the data folder.
    if (Status placed = placeDeliveredFile(folders, DatabaseFileName); !placed) {
        prompts().message(nullptr, placed.error().description, {}, Prompts::Buttons::Ok,
                          Prompts::Icon::Critical);
        return false;
    }
    Settings::keepIn(folders.data);
    createWindows();

    // Shared books, where the user chose them last: the file, its password and its lock are not
    // used, unless the server cannot be reached and the user takes the file instead.
    if (BooksPlace::read().shared) {
        switch (startShared()) {
        case SharedStart::Opened: return true;
        case SharedStart::Ended: return false;
        case SharedStart::Local: break;
        }
    }

    // The file as the program left it, with a password set: the login is up at once, and the
    // file is checked right after, before anything the user does reaches it.
    if (databaseAsLeft(databasePath(folders.data))) {
        login->show();
        afterFirstPaint(login.get(), [this] {
            const Result<StoredPassword> stored = checkDatabase();
            if (!stored || PasswordStore::isFirstRun(stored.value()))
                login->hide();
            if (!stored) {
                refuse(stored.error());
                emit finished();
            } else if (PasswordStore::isFirstRun(stored.value())) {
                setPassWindow()->show();
            }
        });
        return true;
    }
    const Result<StoredPassword> stored = checkDatabase();
    if (!stored) {
        refuse(stored.error());
        return false;
    }
    // No row, or the empty text, means no password is set yet. A NULL is a password that
    // matches nothing: the login is shown.
    if (PasswordStore::isFirstRun(stored.value()))
        setPassWindow()->show();
    else
        login->show();
    return true;
}

frmSetPass* Startup::setPassWindow()
{
    if (!setPass) {
        setPass = std::make_unique<frmSetPass>(folders.data);
        connect(setPass.get(), &frmSetPass::passwordSaved, this, &Startup::showLogin);
        connect(setPass.get(), &frmSetPass::closedByUser, this, &Startup::finished);
    }
    return setPass.get();
}

void Startup::createWindows()
{
    login = std::make_unique<frmLogin>(folders.data);
    connect(login.get(), &frmLogin::loggedIn, this, &Startup::openMain);
    connect(login.get(), &frmLogin::exitRequested, this, &Startup::finished);
}

// A file that is not the user's database, or one the program cannot work on, ends the start
// before any window that could save a password into it: the user is told what is wrong with
// which file, and the file is left as it is. Only a database that opens and whose tblUser can be
// read goes on to the first run or the login; its password's state is the answer.
Result<StoredPassword> Startup::checkDatabase()
{
    DatabaseFileCheck file = checkDatabaseFile(folders.data);
    Result<StoredPassword> stored = StoredPassword::Unreadable;
    if (file.state == DatabaseFile::Usable) {
        stored = PasswordStore(folders.data).read();
        if (!stored) {
            file.state = DatabaseFile::Unreadable;
            file.detail = stored.error().description;
        }
    }
    // A locked file has a password by being locked: the login opens it, and what it holds is
    // read from then on.
    if (file.state == DatabaseFile::Locked)
        stored = StoredPassword::Set;
    if (file.state != DatabaseFile::Usable && file.state != DatabaseFile::Locked)
        return Error{databaseFileMessage(file)};
    // The user's data, now known to be theirs, is theirs alone; a file the start refused is left
    // exactly as it was.
    keepDataPrivate(folders);
    return stored;
}

void Startup::refuse(const Error& why)
{
    prompts().message(nullptr, why.description, {}, Prompts::Buttons::Ok, Prompts::Icon::Critical);
}

void Startup::showLogin()
{
    login->show();
    login->raise();
    login->activateWindow();
}

Startup::SharedStart Startup::startShared()
{
    const ServerAddress address = BooksPlace::read().address;
    const QString path = databasePath(folders.data);
    // The books are put in place of the file before any window opens them.
    const auto useBooks = [path, address](const Connection& books, const QString& password) {
        Connection::putInPlaceOf(path, books);
        sharedSession().address = address;
        sharedSession().password = password;
    };
    // First without a password: none may be needed, or the user's .pgpass gives it.
    Result<Connection> books = [&] {
        BusyPointer busy;
        return Connection::openServer(conninfo(address), {});
    }();
    if (books) {
        useBooks(books.value(), {});
        openMain();
        return SharedStart::Opened;
    }
    if (books.error().code == ServerWantsPassword) {
        login->askForServer(serverPasswordQuestion(address),
                            [this, address, useBooks](const QString& typed) {
                                Result<Connection> opened = [&] {
                                    BusyPointer busy;
                                    return Connection::openServer(conninfo(address), typed);
                                }();
                                if (!opened) {
                                    prompts().message(login.get(), opened.error().description,
                                                      tr("Login Failed"), Prompts::Buttons::Ok,
                                                      Prompts::Icon::Critical);
                                    return false;
                                }
                                useBooks(opened.value(), typed);
                                return true;
                            });
        login->show();
        return SharedStart::Opened;
    }
    // The server cannot be reached (or refuses): the choice stays, so that the next start tries
    // the shared books again.
    if (prompts().message(nullptr,
                          books.error().description
                              + tr("\r\n\r\nOpen the local books instead?"),
                          tr("Open Shared Books"), Prompts::Buttons::YesNo,
                          Prompts::Icon::Warning)
        == Prompts::Answer::Yes)
        return SharedStart::Local;
    return SharedStart::Ended;
}

void Startup::openMain()
{
    worked = true;
    // Whether this run has had the file's password: Open Local Books asks for it otherwise.
    if (!Connection::inPlaceOf(databasePath(folders.data)))
        sharedSession().fileOpened = true;
    if (!main) {
        main = std::make_unique<frmMain>(folders);
        installWindows(*main);
        connect(main.get(), &frmMain::closed, this, &Startup::finished);
        idle = std::make_unique<IdleLock>(folders.data);
        main->show();
        main->activateWindow();
        showLoginReminders(*main);
        return;
    }
    main->show();
    main->activateWindow();
}

} // namespace halvo
