#include "idle_lock.h"

#include "database_lock.h"
#include "password_fields.h"

#include "controls/links.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "platform/prompts.h"
#include "platform/settings.h"
#include "data/connection.h"
#include "data/connection_string.h"
#include "login_window.h"
#include "shared_books.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

namespace halvo {

const QString IdleLock::SettingKey = QStringLiteral("LockWhenAwayMinutes");

namespace {

// What stands over a window while the program is locked: the window's own colour over all of
// it, its contents out of sight, the window itself shown and running as it was.
class LockCover : public QWidget {
public:
    explicit LockCover(QWidget* window) : QWidget(window)
    {
        setObjectName(QStringLiteral("lockCover"));
        setAccessibleName(tr("%1 is locked").arg(programTitle()));
        setAutoFillBackground(true);
        setAttribute(Qt::WA_NoMousePropagation);
        window->installEventFilter(this);
        fit();
        show();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        // A window that grows, or a widget added to it, stays behind the cover.
        if (watched == parent()
            && (event->type() == QEvent::Resize || event->type() == QEvent::ChildAdded
                || event->type() == QEvent::LayoutRequest))
            QMetaObject::invokeMethod(this, [this] { fit(); }, Qt::QueuedConnection);
        return false;
    }

private:
    void fit()
    {
        setGeometry(parentWidget()->rect());
        raise();
    }
};

} // namespace

frmLocked::frmLocked(const QString& dataFolder, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint),
      folder(dataFolder)
{
    setObjectName(QStringLiteral("frmLocked"));
    setWindowTitle(tr("%1 is locked").arg(programTitle()));
    auto* grid = new QGridLayout;
    auto* said = new QLabel(tr("%1 was locked while you were away. Your work is kept as you "
                               "left it.")
                                .arg(programTitle()),
                            this);
    said->setWordWrap(true);
    grid->addWidget(said, 0, 0, 1, 2);
    txtPass = addPasswordRow(grid, 1, this, tr("&Enter login password"), QStringLiteral("txtPass"));
    Unlock = makeLink(this, QStringLiteral("Unlock"), tr("Unlock"));
    connect(Unlock, &VeyHyperLinkLabel::Click, this, &frmLocked::Unlock_Click);
    connect(txtPass, &QLineEdit::returnPressed, this, &frmLocked::Unlock_Click);
    layOutWithLogo(this, grid, commandRow({Unlock}));
    setTabOrder(txtPass, Unlock);
    centreOnScreen(this);
}

void frmLocked::Unlock_Click()
{
    // With shared books the password is the user's on the server, as at their login.
    const bool accepted = Connection::inPlaceOf(databasePath(folder))
                              ? serverPasswordAccepted(this, txtPass->text())
                              : passwordAccepted(this, folder, txtPass->text());
    if (!accepted)
        return;
    txtPass->clear();
    emit unlocked();
}

// Only the password opens the program again.
void frmLocked::closeEvent(QCloseEvent* event) { event->ignore(); }

std::optional<int> IdleLock::minutesFrom(const QString& setting)
{
    const QString text = setting.trimmed();
    if (text.compare(QLatin1String("never"), Qt::CaseInsensitive) == 0)
        return std::nullopt;
    bool isNumber = false;
    const int minutes = text.toInt(&isNumber);
    if (!isNumber || minutes < 0)
        return 15;
    if (minutes == 0)
        return std::nullopt;
    return minutes;
}

IdleLock::IdleLock(const QString& dataFolder, QObject* parent) : QObject(parent), folder(dataFolder)
{
    away.setSingleShot(true);
    connect(&away, &QTimer::timeout, this, &IdleLock::lockNow);
    if (const std::optional<int> minutes = minutesFrom(Settings::value(SettingKey))) {
        away.setInterval(std::chrono::minutes(*minutes));
        enabled = true;
        away.start();
    }
    qApp->installEventFilter(this);
}

IdleLock::~IdleLock() { qApp->removeEventFilter(this); }

bool IdleLock::eventFilter(QObject* watched, QEvent* event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::Wheel:
        if (!isLocked() && enabled)
            away.start();
        break;
    default: break;
    }
    return QObject::eventFilter(watched, event);
}

void IdleLock::lockNow()
{
    if (isLocked())
        return;
    if (beingReplaced(databasePath(folder))) {
        // Asked again in a second, unless the user has been back meanwhile.
        QTimer::singleShot(1000, this, [this] {
            if (!away.isActive())
                lockNow();
        });
        return;
    }
    away.stop();
    locked = true;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && w != window.get())
            covers.append(new LockCover(w));
    if (!window) {
        window = std::make_unique<frmLocked>(folder);
        // In front of every window, a dialog running included, and the only one that takes
        // the keyboard and the mouse until the password is given.
        window->setWindowModality(Qt::ApplicationModal);
        connect(window.get(), &frmLocked::unlocked, this, &IdleLock::unlock);
    }
    window->show();
    window->raise();
    window->activateWindow();
    window->txtPass->setFocus();
}

void IdleLock::unlock()
{
    window->hide();
    for (const QPointer<QWidget>& cover : std::as_const(covers))
        delete cover.data();
    covers.clear();
    locked = false;
    if (enabled)
        away.start();
}

} // namespace halvo
