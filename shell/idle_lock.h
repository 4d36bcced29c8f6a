#pragma once
// Locking when away: after a time without a key press or a mouse click or move (the setting
// "LockWhenAwayMinutes", 15 unless set, "never" for never), every window of the program is
// hidden and a small window asks for the password again. The hidden windows stay as they were,
// with whatever was typed in them and not yet saved: nothing is saved or lost by the lock.

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

    // Hides every window and asks for the password, as the time away does.
    void lockNow();
    bool isLocked() const { return !hidden.isEmpty(); }
    frmLocked* lockWindow() const { return window.get(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString folder;
    QTimer away;
    bool enabled = false; // a time is set: not "never"
    QList<QPointer<QWidget>> hidden;
    std::unique_ptr<frmLocked> window;

    void unlock();
};

} // namespace halvo
