#include "report_preview.h"

#include "platform/prompts.h"
#include "reports/report_document.h"
#include "reports/report_page_view.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <array>
#include <cmath>

namespace halvo {

namespace {

constexpr double MinZoom = 0.25;
constexpr double MaxZoom = 4.0;
// The steps Zoom In and Zoom Out go through.
constexpr std::array<double, 10> ZoomSteps{0.25, 0.5, 0.75, 1.0, 1.25, 1.5, 2.0, 2.5, 3.0, 4.0};

enum class Glyph { First, Previous, Next, Last, ZoomIn, ZoomOut, FitPage, ActualSize, Print, Pdf };

// The toolbar's pictures, drawn here so that they look the same on every desktop, whatever icon
// theme it has; drawn at twice their size for screens that scale.
QIcon glyphIcon(Glyph glyph, const QColor& ink)
{
    constexpr int size = 20;
    QIcon icon;
    for (const qreal ratio : {1.0, 2.0}) {
        QPixmap pixmap(QSize(size, size) * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        QPen pen(ink, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
        p.setPen(pen);
        auto triangle = [&](qreal tipX, bool left) {
            QPainterPath path;
            const qreal baseX = left ? tipX + 7 : tipX - 7;
            path.moveTo(tipX, 10);
            path.lineTo(baseX, 4.5);
            path.lineTo(baseX, 15.5);
            path.closeSubpath();
            p.fillPath(path, ink);
        };
        auto magnifier = [&] {
            p.drawEllipse(QPointF(8.5, 8.5), 5.5, 5.5);
            p.setPen(QPen(ink, 2.4, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(12.8, 12.8), QPointF(17.5, 17.5));
            p.setPen(pen);
            p.drawLine(QPointF(6, 8.5), QPointF(11, 8.5));
        };
        auto sheet = [&](const QRectF& r) {
            QPainterPath path;
            path.moveTo(r.left(), r.top());
            path.lineTo(r.right() - 4, r.top());
            path.lineTo(r.right(), r.top() + 4);
            path.lineTo(r.right(), r.bottom());
            path.lineTo(r.left(), r.bottom());
            path.closeSubpath();
            p.drawPath(path);
        };
        switch (glyph) {
        case Glyph::First:
            p.drawLine(QPointF(5, 4.5), QPointF(5, 15.5));
            triangle(7, true);
            break;
        case Glyph::Previous: triangle(6.5, true); break;
        case Glyph::Next: triangle(13.5, false); break;
        case Glyph::Last:
            p.drawLine(QPointF(15, 4.5), QPointF(15, 15.5));
            triangle(13, false);
            break;
        case Glyph::ZoomIn:
            magnifier();
            p.drawLine(QPointF(8.5, 6), QPointF(8.5, 11));
            break;
        case Glyph::ZoomOut: magnifier(); break;
        case Glyph::FitPage:
            sheet(QRectF(5, 2.5, 10, 15));
            p.drawLine(QPointF(7.5, 8), QPointF(12.5, 8));
            p.drawLine(QPointF(7.5, 11), QPointF(12.5, 11));
            p.drawLine(QPointF(7.5, 14), QPointF(10.5, 14));
            break;
        case Glyph::ActualSize: {
            QFont f = QApplication::font();
            f.setPixelSize(10);
            f.setBold(true);
            p.setFont(f);
            p.drawRoundedRect(QRectF(1.5, 3.5, 17, 13), 2, 2);
            p.drawText(QRectF(1.5, 3.5, 17, 13), Qt::AlignCenter, QStringLiteral("1:1"));
            break;
        }
        case Glyph::Print:
            p.drawRect(QRectF(6, 2.5, 8, 5));
            p.drawRoundedRect(QRectF(2.5, 7.5, 15, 7), 1.5, 1.5);
            p.fillRect(QRectF(6, 12, 8, 6), Qt::white);
            p.drawRect(QRectF(6, 12, 8, 5.5));
            break;
        case Glyph::Pdf: {
            sheet(QRectF(4, 2, 12, 16));
            QFont f = QApplication::font();
            f.setPixelSize(6);
            f.setBold(true);
            p.setFont(f);
            p.drawText(QRectF(4, 8, 12, 8), Qt::AlignCenter, QStringLiteral("PDF"));
            break;
        }
        }
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

struct ReportPreview::Private {
    std::shared_ptr<const RowSource> ownRows; // rows made for this report alone, if any
    std::unique_ptr<ReportDocument> document;
    int page = 0;
    double zoom = 1.0;
    bool zoomChosen = false; // until the user or the caller picks one, the page fits the width
    bool fitting = false;    // Fit Page: the zoom follows the window's size

    QToolBar* toolbar = nullptr;
    QAction* first = nullptr;
    QAction* previous = nullptr;
    QAction* next = nullptr;
    QAction* last = nullptr;
    QAction* zoomIn = nullptr;
    QAction* zoomOut = nullptr;
    QAction* fitPage = nullptr;
    QAction* actualSize = nullptr;
    QAction* printPages = nullptr;
    QAction* savePdf = nullptr;
    QLabel* pageNumber = nullptr;
    QLabel* zoomFactor = nullptr;
    QScrollArea* scroll = nullptr;
    ReportPageView* view = nullptr;
};

ReportPreview::ReportPreview(std::unique_ptr<ReportDocument> document, QWidget* parent)
    : QWidget(parent), d(std::make_unique<Private>())
{
    d->document = std::move(document);
    setWindowFlag(Qt::Window);
    setObjectName(d->document->layout().name);
    setWindowTitle(d->document->layout().caption);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    d->toolbar = new QToolBar(this);
    d->toolbar->setObjectName(QStringLiteral("PreviewToolbar"));
    d->toolbar->setIconSize(QSize(20, 20));
    d->toolbar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    layout->addWidget(d->toolbar);

    const QColor ink = palette().color(QPalette::ButtonText);
    auto command = [&](const QString& name, const QString& text, Glyph glyph,
                       const QList<QKeySequence>& keys, auto slot) {
        auto* a = new QAction(glyphIcon(glyph, ink), text, this);
        a->setObjectName(name);
        // One key for one command: the standard keys of a desktop may repeat ours.
        QList<QKeySequence> unique;
        for (const QKeySequence& k : keys)
            if (!k.isEmpty() && !unique.contains(k))
                unique.append(k);
        a->setShortcuts(unique);
        a->setShortcutContext(Qt::WindowShortcut);
        QString tip = text;
        if (!keys.isEmpty())
            tip += QStringLiteral(" (%1)").arg(keys.first().toString(QKeySequence::NativeText));
        a->setToolTip(tip);
        connect(a, &QAction::triggered, this, slot);
        addAction(a);
        return a;
    };
    d->first = command(QStringLiteral("First"), tr("First Page"), Glyph::First,
                       {QKeySequence(Qt::Key_Home), QKeySequence(Qt::CTRL | Qt::Key_Home)},
                       [this] { showPage(0); });
    d->previous = command(QStringLiteral("Previous"), tr("Previous Page"), Glyph::Previous,
                          {QKeySequence(Qt::Key_PageUp)}, [this] { showPage(d->page - 1); });
    d->next = command(QStringLiteral("Next"), tr("Next Page"), Glyph::Next,
                      {QKeySequence(Qt::Key_PageDown)}, [this] { showPage(d->page + 1); });
    d->last = command(QStringLiteral("Last"), tr("Last Page"), Glyph::Last,
                      {QKeySequence(Qt::Key_End), QKeySequence(Qt::CTRL | Qt::Key_End)},
                      [this] { showPage(d->document->pageCount() - 1); });
    d->zoomOut = command(QStringLiteral("ZoomOut"), tr("Zoom Out"), Glyph::ZoomOut,
                         {QKeySequence::ZoomOut, QKeySequence(Qt::CTRL | Qt::Key_Minus)},
                         [this] {
                             double z = ZoomSteps.front();
                             for (double step : ZoomSteps)
                                 if (step < d->zoom - 0.001)
                                     z = step;
                             setZoom(z);
                         });
    d->zoomIn = command(QStringLiteral("ZoomIn"), tr("Zoom In"), Glyph::ZoomIn,
                        {QKeySequence::ZoomIn, QKeySequence(Qt::CTRL | Qt::Key_Plus),
                         QKeySequence(Qt::CTRL | Qt::Key_Equal)},
                        [this] {
                            double z = ZoomSteps.back();
                            for (auto it = ZoomSteps.rbegin(); it != ZoomSteps.rend(); ++it)
                                if (*it > d->zoom + 0.001)
                                    z = *it;
                            setZoom(z);
                        });
    d->fitPage = command(QStringLiteral("FitPage"), tr("Fit Page"), Glyph::FitPage,
                         {QKeySequence(Qt::CTRL | Qt::Key_9)}, [this] {
                             setZoom(fitPageZoom());
                             d->fitting = true;
                         });
    d->actualSize = command(QStringLiteral("ActualSize"), tr("Actual Size"), Glyph::ActualSize,
                            {QKeySequence(Qt::CTRL | Qt::Key_0)}, [this] { setZoom(1.0); });
    d->printPages = command(QStringLiteral("Print"), tr("Print..."), Glyph::Print,
                            {QKeySequence::Print}, [this] { print(); });
    d->savePdf = command(QStringLiteral("SaveAsPdf"), tr("Save as PDF..."), Glyph::Pdf,
                         {QKeySequence::Save}, [this] { saveAsPdf(); });
    auto* closeAction = new QAction(tr("Close"), this);
    closeAction->setObjectName(QStringLiteral("Close"));
    closeAction->setShortcuts({QKeySequence(Qt::Key_Escape), QKeySequence::Close});
    connect(closeAction, &QAction::triggered, this, &QWidget::close);
    addAction(closeAction);

    d->pageNumber = new QLabel(this);
    d->pageNumber->setObjectName(QStringLiteral("PageNumber"));
    d->pageNumber->setAlignment(Qt::AlignCenter);
    d->pageNumber->setContentsMargins(8, 0, 8, 0);
    d->zoomFactor = new QLabel(this);
    d->zoomFactor->setObjectName(QStringLiteral("ZoomFactor"));
    d->zoomFactor->setAlignment(Qt::AlignCenter);
    d->zoomFactor->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("0000%")));

    d->toolbar->addAction(d->first);
    d->toolbar->addAction(d->previous);
    d->toolbar->addWidget(d->pageNumber);
    d->toolbar->addAction(d->next);
    d->toolbar->addAction(d->last);
    d->toolbar->addSeparator();
    d->toolbar->addAction(d->zoomOut);
    d->toolbar->addWidget(d->zoomFactor);
    d->toolbar->addAction(d->zoomIn);
    d->toolbar->addAction(d->fitPage);
    d->toolbar->addAction(d->actualSize);
    d->toolbar->addSeparator();
    d->toolbar->addAction(d->printPages);
    d->toolbar->addAction(d->savePdf);
    // The two commands that leave the preview carry their names beside their pictures.
    for (QAction* a : {d->printPages, d->savePdf})
        if (auto* button = qobject_cast<QToolButton*>(d->toolbar->widgetForAction(a)))
            button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);

    d->scroll = new QScrollArea(this);
    d->scroll->setObjectName(QStringLiteral("PageArea"));
    d->scroll->setFrameShape(QFrame::NoFrame);
    d->scroll->setAlignment(Qt::AlignCenter);
    d->scroll->setBackgroundRole(QPalette::Dark);
    d->scroll->setFocusPolicy(Qt::StrongFocus);
    d->view = new ReportPageView;
    d->view->setObjectName(QStringLiteral("Page"));
    d->scroll->setWidget(d->view);
    d->scroll->viewport()->installEventFilter(this);
    layout->addWidget(d->scroll, 1);
    setFocusProxy(d->scroll);

    // As large as the sheet at its real size where the screen has room, else most of the screen.
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QRect room = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const QSizeF sheet = d->document->pageSizeTwips() * (logicalDpiX() / 1440.0);
    resize(std::min(int(sheet.width()) + 2 * ReportPageView::Gap + 40, room.width() * 9 / 10),
           room.height() * 9 / 10);
    render();
}

ReportPreview::~ReportPreview() = default;

Result<ReportPreview*> ReportPreview::show(ReportLayout layout, const RowSource& rows, QDate today,
                                           QWidget* parent)
{
    auto document = std::make_unique<ReportDocument>(std::move(layout), rows, today);
    if (Status laidOut = document->paginate(); !laidOut)
        return laidOut.error();
    auto* preview = new ReportPreview(std::move(document), parent);
    preview->setAttribute(Qt::WA_DeleteOnClose);
    preview->QWidget::show();
    preview->raise();
    preview->activateWindow();
    return preview;
}

Result<ReportPreview*> ReportPreview::show(ReportLayout layout,
                                           std::shared_ptr<const RowSource> rows, QDate today,
                                           QWidget* parent)
{
    Result<ReportPreview*> shown = show(std::move(layout), *rows, today, parent);
    if (shown)
        shown.value()->d->ownRows = std::move(rows);
    return shown;
}

const ReportDocument& ReportPreview::document() const { return *d->document; }

int ReportPreview::currentPage() const { return d->page; }

void ReportPreview::showPage(int page)
{
    page = std::clamp(page, 0, std::max(0, d->document->pageCount() - 1));
    if (page == d->page && !d->view->image().isNull())
        return;
    d->page = page;
    render();
    d->scroll->verticalScrollBar()->setValue(0);
}

double ReportPreview::zoom() const { return d->zoom; }

void ReportPreview::setZoom(double zoom)
{
    d->zoomChosen = true;
    d->fitting = false;
    zoom = std::clamp(zoom, MinZoom, MaxZoom);
    if (std::abs(zoom - d->zoom) < 1e-6 && !d->view->image().isNull())
        return;
    // The place in the middle of the view stays in the middle.
    QScrollBar* h = d->scroll->horizontalScrollBar();
    QScrollBar* v = d->scroll->verticalScrollBar();
    const double fx = (h->value() + h->pageStep() / 2.0) / std::max(1, d->view->width());
    const double fy = (v->value() + v->pageStep() / 2.0) / std::max(1, d->view->height());
    d->zoom = zoom;
    render();
    h->setValue(int(fx * d->view->width() - h->pageStep() / 2.0));
    v->setValue(int(fy * d->view->height() - v->pageStep() / 2.0));
}

double ReportPreview::fitPageZoom() const
{
    const QSize room = d->scroll->maximumViewportSize() - QSize(2, 2) * ReportPageView::Gap;
    const QSizeF sheet = d->document->pageSizeTwips() * (logicalDpiX() / 1440.0);
    return std::clamp(std::min(room.width() / sheet.width(), room.height() / sheet.height()),
                      MinZoom, MaxZoom);
}

double ReportPreview::fitWidthZoom() const
{
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const int room = d->scroll->maximumViewportSize().width() - 2 * ReportPageView::Gap - bar;
    const double sheet = d->document->pageSizeTwips().width() * (logicalDpiX() / 1440.0);
    return std::clamp(room / sheet, MinZoom, MaxZoom);
}

// Paints the page shown, and only that one, at the zoom's resolution on this screen.
void ReportPreview::render()
{
    const ReportDocument& doc = *d->document;
    const qreal ratio = devicePixelRatioF();
    const int dpi = std::max(1, int(std::lround(logicalDpiX() * d->zoom * ratio)));
    const QSizeF sheet = doc.pageSizeTwips();
    QImage image(std::max(1, int(std::lround(sheet.width() * dpi / 1440.0))),
                 std::max(1, int(std::lround(sheet.height() * dpi / 1440.0))),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDotsPerMeterX(int(std::lround(dpi / 0.0254)));
    image.setDotsPerMeterY(int(std::lround(dpi / 0.0254)));
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        doc.paintPage(painter, d->page);
    }
    image.setDevicePixelRatio(ratio);
    d->view->setImage(std::move(image));

    const int count = doc.pageCount();
    d->pageNumber->setText(tr("Page %1 of %2").arg(d->page + 1).arg(count));
    d->zoomFactor->setText(QStringLiteral("%1%").arg(std::lround(d->zoom * 100)));
    d->first->setEnabled(d->page > 0);
    d->previous->setEnabled(d->page > 0);
    d->next->setEnabled(d->page < count - 1);
    d->last->setEnabled(d->page < count - 1);
    d->zoomOut->setEnabled(d->zoom > MinZoom + 1e-6);
    d->zoomIn->setEnabled(d->zoom < MaxZoom - 1e-6);
}

void ReportPreview::print()
{
    const ReportDocument& doc = *d->document;
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(doc.layout().caption);
    printer.setPageSize(doc.pageSize());
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setFromTo(1, doc.pageCount());
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(tr("Print %1").arg(doc.layout().caption));
    dialog.setMinMax(1, doc.pageCount());
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (Status printed = doc.print(printer); !printed)
        prompts().message(this, printed.error().description, {}, Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
}

void ReportPreview::saveAsPdf()
{
    const ReportDocument& doc = *d->document;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QString path = prompts().saveFileName(
        this, tr("Save as PDF"), QDir(folder).filePath(doc.layout().caption + QStringLiteral(".pdf")),
        tr("PDF files (*.pdf)"));
    if (path.isEmpty())
        return;
    // A name typed without its ending gets the PDF one, as the file list shows only those.
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const Status written = doc.writePdf(path);
    QApplication::restoreOverrideCursor();
    if (!written)
        prompts().message(this, written.error().description, {}, Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
}

bool ReportPreview::eventFilter(QObject* watched, QEvent* event)
{
    // Ctrl and the wheel zoom, as in every viewer.
    if (watched == d->scroll->viewport() && event->type() == QEvent::Wheel) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            if (wheel->angleDelta().y() > 0)
                d->zoomIn->trigger();
            else if (wheel->angleDelta().y() < 0)
                d->zoomOut->trigger();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void ReportPreview::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!d->zoomChosen) {
        d->zoom = std::min(1.0, fitWidthZoom());
        render();
    }
}

void ReportPreview::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (d->fitting) {
        setZoom(fitPageZoom());
        d->fitting = true;
    }
}

} // namespace halvo
