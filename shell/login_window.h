#pragma once
// The login window: asks for the program password before the main window opens.

#include <QString>
#include <QWidget>

class QLineEdit;
class VeyHyperLinkLabel;

namespace halvo {

class frmLogin : public QWidget {
    Q_OBJECT
public:
    explicit frmLogin(const QString& dataFolder, QWidget* parent = nullptr);

    QLineEdit* txtPass = nullptr;
    VeyHyperLinkLabel* Login = nullptr;
    VeyHyperLinkLabel* cmdExit = nullptr;

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
};

} // namespace halvo
