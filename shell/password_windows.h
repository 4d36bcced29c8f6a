#pragma once
// The two windows that write the program password: the first-run window and the change dialog.

#include <QDialog>
#include <QString>
#include <QWidget>

class QLineEdit;
class VeyHyperLinkLabel;

namespace halvo {

// Shown at start-up when no password is set. Saving hands over to the login window.
class frmSetPass : public QWidget {
    Q_OBJECT
public:
    explicit frmSetPass(const QString& dataFolder, QWidget* parent = nullptr);

    QLineEdit* txtUserPass = nullptr;
    QLineEdit* txtConfirmPass = nullptr;
    VeyHyperLinkLabel* Save = nullptr;

public slots:
    void Save_Click();

signals:
    // The password is stored: the login window takes over.
    void passwordSaved();
    // The user closed the window before a password was saved.
    void closedByUser();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QString folder;
};

// Opened modally from the main window's File menu.
class frmChangePass : public QDialog {
    Q_OBJECT
public:
    explicit frmChangePass(const QString& dataFolder, QWidget* parent = nullptr);

    QLineEdit* txtOldPass = nullptr;
    QLineEdit* txtNewPass = nullptr;
    QLineEdit* txtConfirmPass = nullptr;
    VeyHyperLinkLabel* Save = nullptr;

public slots:
    void Save_Click();

private:
    QString folder;
};

} // namespace halvo
