#include "child_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollArea>
#include <algorithm>

namespace halvo {

namespace {

// The scroll area between a frame and its window. The frame knows only it: it passes on the
// frame's close to the window (which may decline, with a change the user keeps), and takes the
// window's title, and its hiding and showing, for its own.
class ChildScroller : public QScrollArea {
public:
    explicit ChildScroller(QWidget* window)
    {
        setObjectName(QStringLiteral("childScroller"));
        setFrameShape(QFrame::NoFrame);
        setWidgetResizable(true);
        setFocusPolicy(Qt::NoFocus);
        setWidget(window);
        setFocusProxy(window);
        setWindowTitle(window->windowTitle());
        window->installEventFilter(this);
        // Whatever brings a field or command into focus (Tab, its Alt key, a click) brings it
        // into sight.
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
            if (now && widget() && widget()->isAncestorOf(now))
                ensureWidgetVisible(now);
        });
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (widget() && !widget()->close())
            event->ignore();
        else
            event->accept();
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (watched == widget()) {
            switch (event->type()) {
            case QEvent::WindowTitleChange: setWindowTitle(widget()->windowTitle()); break;
            // A window that hides itself takes its frame along, so that no empty frame is left.
            case QEvent::HideToParent: hide(); break;
            case QEvent::ShowToParent: show(); break;
            // A window that has grown (its lists filled, a grid laid out) gets a frame to match,
            // as far as the work area allows.
            case QEvent::LayoutRequest:
                QMetaObject::invokeMethod(this, [this] { fitChildFrame(widget()); },
                                          Qt::QueuedConnection);
                break;
            default: break;
            }
        }
        return QScrollArea::eventFilter(watched, event);
    }
};

} // namespace

QMdiSubWindow* addChildFrame(QMdiArea* area, QWidget* window)
{
    return area->addSubWindow(new ChildScroller(window));
}

QMdiSubWindow* childFrame(const QWidget* window)
{
    for (QWidget* up = window ? window->parentWidget() : nullptr; up; up = up->parentWidget()) {
        if (auto* frame = qobject_cast<QMdiSubWindow*>(up))
            return frame;
        if (up->isWindow())
            return nullptr;
    }
    return nullptr;
}

QWidget* windowIn(const QMdiSubWindow* frame)
{
    QWidget* held = frame ? frame->widget() : nullptr;
    if (auto* scroller = qobject_cast<QScrollArea*>(held); scroller && scroller->widget())
        return scroller->widget();
    return held;
}

void closeFramed(QWidget* window)
{
    if (QMdiSubWindow* frame = childFrame(window))
        frame->close();
    else
        window->close();
}

void hideFramed(QWidget* window)
{
    if (QMdiSubWindow* frame = childFrame(window))
        frame->hide();
    else
        window->hide();
}

void showFramed(QWidget* window)
{
    if (QMdiSubWindow* frame = childFrame(window))
        frame->show();
    window->show();
}

namespace {

// Set on a frame made smaller than its window to fit the work area.
const char* const shrunkToFit = "halvoShrunkToFit";

// `grow`: as large as the window wants, where there is room; otherwise only kept inside.
void fit(QMdiSubWindow* frame, QWidget* window, QPoint at, bool grow)
{
    if (!frame->mdiArea() || !frame->widget() || !window)
        return;
    const QSize area = frame->mdiArea()->viewport()->size();
    // The frame's own title bar and borders around what it holds.
    const QSize decoration = frame->sizeHint() - frame->widget()->sizeHint();
    const QSize whole =
        window->sizeHint().expandedTo(window->minimumSizeHint()).expandedTo(window->minimumSize())
        + decoration;
    const QSize size = (grow ? whole.expandedTo(frame->size()) : frame->size()).boundedTo(area);
    frame->setProperty(shrunkToFit, size.width() < whole.width() || size.height() < whole.height());
    frame->resize(size);
    frame->move(std::clamp(at.x(), 0, std::max(0, area.width() - size.width())),
                std::clamp(at.y(), 0, std::max(0, area.height() - size.height())));
}

} // namespace

void fitChildFrame(QWidget* window)
{
    if (QMdiSubWindow* frame = childFrame(window))
        fit(frame, window, frame->pos(), true);
}

void fitChildFrame(QWidget* window, QPoint at)
{
    if (QMdiSubWindow* frame = childFrame(window))
        fit(frame, window, at, true);
}

void refitChildFrames(QMdiArea* area)
{
    for (QMdiSubWindow* frame : area->subWindowList())
        if (!frame->isMaximized() && !frame->isMinimized())
            fit(frame, windowIn(frame), frame->pos(), frame->property(shrunkToFit).toBool());
}

} // namespace halvo
