#pragma once
// The login window: asks for the program password before the main window opens.

#include <QString>
#include <QWidget>
#include <functional>

class QLineEdit;
class VeyHyperLinkLabel;

namespace halvo {

// The password typed at the login or at the lock when away: true when it opens the program. The
// first four wrong passwords in a row cost nothing; from the fifth the next try waits, 1 second,
// then twice as long after each further one, up to 30 seconds, also across starts. A wrong one
// and a try within the wait are told, over `parent`.
bool passwordAccepted(QWidget* parent, const QString& dataFolder, const QString& typed);

class frmLogin : public QWidget {
    Q_OBJECT
public:
    explicit frmLogin(const QString& dataFolder, QWidget* parent = nullptr);

    QLineEdit* txtPass = nullptr;
    VeyHyperLinkLabel* Login = nullptr;
    VeyHyperLinkLabel* cmdExit = nullptr;

    // Shared books: the login's password is the user's password on the server. `question` is
    // the field's caption; `open` tries the password typed and says itself why it did not open
    // them. The file's password, its lock and the wait after wrong tries are not used then.
    void askForServer(const QString& question, std::function<bool(const QString&)> open);

public slots:
    // The password check; the stored password is read anew on every try.
    void Login_Click();
    void cmdExit_Click();

signals:
    void loggedIn();
    // Close, or the window closed by any means: the program ends.
    void exitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QString folder;
    std::function<bool(const QString&)> serverOpen;
};

} // namespace halvo
