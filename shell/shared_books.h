#pragma once
// Shared books on a PostgreSQL server, seen from the windows: opening them (without a password
// first, as .pgpass may give it, then with the one the user types), the session they were
// opened in, and the "Open Shared Books" window.

#include "data/connection.h"
#include "server/server_backup.h"

#include <QDialog>
#include <QString>
#include <functional>
#include <optional>

class QDialogButtonBox;
class QLineEdit;
class QSpinBox;

namespace halvo {

// The shared books in use: where they were opened and the password they were opened with, kept
// in memory for this run only (the backup's programs and the lock when away need it); never
// written anywhere.
struct SharedSession {
    ServerAddress address;
    QString password;
    // Whether the local file's password was given in this run (the login was the file's).
    bool fileOpened = false;
};
SharedSession& sharedSession();

// The user the server is asked to take: the one named, else the service's, else the user's own
// login name (libpq's default).
QString serverUserName(const ServerAddress& address);

// "Password of <user> on the server:"
QString serverPasswordQuestion(const ServerAddress& address);

// Shared books opened, and the password they took (empty when none was needed).
struct OpenedBooks {
    Connection books;
    QString password;
};
// The code of the error when the user cancelled the password question.
inline constexpr int PasswordNotGiven = -1102;

// Opens the books at `address` with `password` (none: without one, or .pgpass gives it); when the
// server asks for one, asks the user for it (through the prompts, over `parent`) and tries again
// with it. A service, when named, is the whole address: the other fields are not used.
Result<OpenedBooks> openSharedBooks(QWidget* parent, const ServerAddress& address,
                                    const QString& password = {});

// Asks where shared books are in the "Open Shared Books" window, under another caption (a move of
// the books), and opens them; none when the user cancelled. A failure is told and the window
// stays, with what was typed.
std::optional<Connection> askSharedBooks(QWidget* parent, const QString& caption,
                                         const QString& programFolder);

// The lock when away with shared books: the password typed opens a session on the server. An
// empty password is refused, as it would let .pgpass answer for the user.
bool serverPasswordAccepted(QWidget* parent, const QString& typed);

// "Open Shared Books": where the shared books are. OK tries them through `opener`, which says what
// went wrong itself; the window closes only when they are open, and otherwise keeps what was
// typed. F1 opens its section of the guide.
class frmOpenShared : public QDialog {
    Q_OBJECT
public:
    using Opener = std::function<bool(const ServerAddress&)>;
    frmOpenShared(const ServerAddress& remembered, const QString& programFolder, Opener opener,
                  QWidget* parent = nullptr);

    ServerAddress address() const;

    QLineEdit* txtService = nullptr;
    QLineEdit* txtServer = nullptr;
    QSpinBox* txtPort = nullptr;
    QLineEdit* txtDatabase = nullptr;
    QLineEdit* txtUser = nullptr;
    QDialogButtonBox* buttons = nullptr;

public slots:
    void accept() override;

private:
    QString programFolder;
    Opener opener;
};

} // namespace halvo
