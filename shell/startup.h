#pragma once
// The program's start: one running copy only, then the first-run window or the login, then the
// main window. The session owns the three windows for the whole run.

#include "platform/folders.h"
#include "shell/password_store.h"

#include <QObject>
#include <QString>
#include <memory>

namespace halvo {

class InstanceLock;
class frmLogin;
class frmMain;
class frmSetPass;
class IdleLock;

class Startup : public QObject {
    Q_OBJECT
public:
    // lockFolder: where the running copy's lock lives (empty: the user's runtime folder).
    explicit Startup(const Folders& folders, const QString& lockFolder = {},
                     QObject* parent = nullptr);
    ~Startup() override;

    // Runs the start-up steps. False when another copy is running, or when the database file
    // is not one the program can work on: the user has been told, and the program ends.
    bool start();

    // The first-run window, made when it is first needed or asked for.
    frmSetPass* setPassWindow();
    frmLogin* loginWindow() const { return login.get(); }
    // The main window, once the login has opened it.
    frmMain* mainWindow() const { return main.get(); }
    // Locks the program when the user is away, once the main window is open.
    IdleLock* idleLock() const { return idle.get(); }

signals:
    // The program's work is over: the user closed the last window, or chose Close or Exit.
    void finished();

private:
    Folders folders;
    std::unique_ptr<InstanceLock> lock;
    std::unique_ptr<frmSetPass> setPass;
    std::unique_ptr<frmLogin> login;
    std::unique_ptr<frmMain> main;
    std::unique_ptr<IdleLock> idle;

    bool worked = false; // the user got past the login

    // How a start with shared books went: they are open or the login asks for their password;
    // the user chose the local file instead; or the program ends.
    enum class SharedStart { Opened, Local, Ended };
    SharedStart startShared();

    void createWindows();
    Result<StoredPassword> checkDatabase();
    void refuse(const Error& why);
    void showLogin();
    void openMain();
};

} // namespace halvo
