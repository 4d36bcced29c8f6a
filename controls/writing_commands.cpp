#include "writing_commands.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>

namespace halvo {

namespace {

const char* const writesProperty = "halvoWritesBooks";

// Watches every widget shown, and every change of a marked command's availability: a window
// that makes a command available again (a list that gained a row) does not undo the holding back.
class HoldBack : public QObject {
public:
    bool readOnly = false;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (readOnly
            && (event->type() == QEvent::Show || event->type() == QEvent::EnabledChange)) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && widget->isEnabled() && widget->property(writesProperty).toBool())
                widget->setEnabled(false);
        }
        return false;
    }
};

// Made the first time commands are held back: until then no event of the program passes it.
HoldBack* watcher = nullptr;

} // namespace

void markWritesBooks(QWidget* command)
{
    command->setProperty(writesProperty, true);
}

void holdBackWritingCommands(bool readOnly)
{
    if (!watcher && !readOnly)
        return;
    if (!watcher) {
        watcher = new HoldBack;
        qApp->installEventFilter(watcher);
    }
    watcher->readOnly = readOnly;
    if (!readOnly)
        return;
    for (QWidget* widget : QApplication::allWidgets())
        if (widget->property(writesProperty).toBool())
            widget->setEnabled(false);
}

} // namespace halvo
