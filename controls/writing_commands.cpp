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

HoldBack& holdBack()
{
    static HoldBack* watcher = [] {
        auto* w = new HoldBack;
        qApp->installEventFilter(w);
        return w;
    }();
    return *watcher;
}

} // namespace

void markWritesBooks(QWidget* command)
{
    command->setProperty(writesProperty, true);
}

void holdBackWritingCommands(bool readOnly)
{
    holdBack().readOnly = readOnly;
    if (!readOnly)
        return;
    for (QWidget* widget : QApplication::allWidgets())
        if (widget->property(writesProperty).toBool())
            widget->setEnabled(false);
}

} // namespace halvo
