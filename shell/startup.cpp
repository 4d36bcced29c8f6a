#include "startup.h"

#include "database_check.h"
#include "idle_lock.h"
#include "login_window.h"
#include "main_window.h"
#include "password_store.h"
#include "password_windows.h"
#include "window_table.h"

#include "platform/instance_lock.h"
#include "platform/prompts.h"
#include "platform/settings.h"

#include "data/connection_string.h"

#include <QTimer>

namespace halvo {

Startup::Startup(const Folders& folders, const QString& lockFolder, QObject* parent)
    : QObject(parent), folders(folders),
      lock(std::make_unique<InstanceLock>(QStringLiteral("halvo.lock"), lockFolder))
{
}

Startup::~Startup() = default;

bool Startup::start()
{
    // Before anything else: a second copy is refused; the running one is left as it is.
    if (!lock->acquire()) {
        prompts().message(nullptr, tr("Program is already running!"));
        return false;
    }

    // A file that is not the user's database, or one the program cannot work on, ends the
    // start here, before any window that could save a password into it: the user is told what
    // is wrong with which file, and the file is left as it is. Only a database that opens and
    // whose tblUser can be read goes on to the first run or the login.
    // The first start of an install that keeps its data apart from its programs puts the empty
    // database into the data folder.
    if (Status placed = placeDeliveredFile(folders, DatabaseFileName); !placed) {
        prompts().message(nullptr, placed.error().description, {}, Prompts::Buttons::Ok,
                          Prompts::Icon::Critical);
        return false;
    }
    Settings::keepIn(folders.data);

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
    if (file.state != DatabaseFile::Usable && file.state != DatabaseFile::Locked) {
        prompts().message(nullptr, databaseFileMessage(file), {}, Prompts::Buttons::Ok,
                          Prompts::Icon::Critical);
        return false;
    }
    // The user's data, now known to be theirs, is theirs alone; a file the start refused is left
    // exactly as it was.
    keepDataPrivate(folders);

    setPass = std::make_unique<frmSetPass>(folders.data);
    login = std::make_unique<frmLogin>(folders.data);
    connect(setPass.get(), &frmSetPass::passwordSaved, this, &Startup::showLogin);
    connect(setPass.get(), &frmSetPass::closedByUser, this, &Startup::finished);
    connect(login.get(), &frmLogin::loggedIn, this, &Startup::openMain);
    connect(login.get(), &frmLogin::exitRequested, this, &Startup::finished);

    // No row, or the empty text, means no password is set yet. A NULL is a password that
    // matches nothing: the login is shown.
    if (PasswordStore::isFirstRun(stored.value()))
        setPass->show();
    else
        login->show();
    return true;
}

void Startup::showLogin()
{
    login->show();
    login->raise();
    login->activateWindow();
}

void Startup::openMain()
{
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
