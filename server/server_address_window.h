#pragma once
// Where the shared books are: the server, its port, the database and the user, with the user's
// password, asked for in a small window of its own (F1 opens its section of the guide).

#include "server/server_backup.h"

#include <QDialog>
#include <functional>
#include <optional>

class QLineEdit;
class QSpinBox;

namespace halvo {

// The address of shared books and the password to open them with (empty: none, or .pgpass).
struct ServerPlace {
    ServerAddress address;
    QString password;
};

class frmServerAddress : public QDialog {
    Q_OBJECT
public:
    // `help` opens the window's section of the guide, over this window.
    frmServerAddress(const QString& caption, std::function<void(QWidget*)> help,
                     QWidget* parent = nullptr);

    ServerPlace place() const;

    QLineEdit* txtHost = nullptr;
    QSpinBox* txtPort = nullptr;
    QLineEdit* txtDatabase = nullptr;
    QLineEdit* txtUser = nullptr;
    QLineEdit* txtPassword = nullptr;

protected:
    void accept() override;

private:
    std::function<void(QWidget*)> help;
};

// Asks where the shared books are; none when the user cancelled.
std::optional<ServerPlace> askServerPlace(QWidget* parent, const QString& caption,
                                          std::function<void(QWidget*)> help);

} // namespace halvo
