#pragma once
// Locking when away: after a time without a key press or a mouse click or move (the setting
// "LockWhenAwayMinutes", 15 unless set, "never" for never), every window of the program is
// covered and a small window in front of them all asks for the password again. The windows are
// covered, not hidden: a dialog hidden while it runs would end, and a statement's lines ticked in
// the import preview would be gone with it. Under the cover every window and dialog stays as it
// was, with whatever was typed in it and not yet saved: nothing is saved, ended or lost by the
// lock.

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <optional>

class QLineEdit;
class VeyHyperLinkLabel;

namespace halvo {

// "HALVO is locked": the password, and Unlock. It cannot be closed; only the password opens.
class frmLocked : public QWidget {
    Q_OBJECT
public:
    explicit frmLocked(const QString& dataFolder, QWidget* parent = nullptr);

    QLineEdit* txtPass = nullptr;
    VeyHyperLinkLabel* Unlock = nullptr;

public slots:
    void Unlock_Click();

signals:
    void unlocked();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    QString folder;
};

class IdleLock : public QObject {
    Q_OBJECT
public:
    static const QString SettingKey; // "LockWhenAwayMinutes"
    // The minutes of the setting's text; none for "never" (or 0).
    static std::optional<int> minutesFrom(const QString& setting);

    explicit IdleLock(const QString& dataFolder, QObject* parent = nullptr);
    ~IdleLock() override;

    // Covers every window and asks for the password, as the time away does. While a restore is
    // putting another file in the database's place, the lock waits until it is done: the
    // password is checked against the file.
    void lockNow();
    bool isLocked() const { return locked; }
    frmLocked* lockWindow() const { return window.get(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString folder;
    QTimer away;
    bool enabled = false; // a time is set: not "never"
    bool locked = false;
    QList<QPointer<QWidget>> covers; // one over each window shown when the lock came
    std::unique_ptr<frmLocked> window;

    void unlock();
};

} // namespace halvo
