#include "attachment_viewer.h"

#include "attachments/pdf_pages.h"

#include "controls/links.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "platform/prompts.h"

#include <QDir>
#include <QHBoxLayout>
#include <algorithm>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace halvo {

namespace {
// A PDF page drawn at this resolution reads well on a screen and stays a modest image.
constexpr double PageDpi = 110;
} // namespace

frmAttachmentViewer::frmAttachmentViewer(const AttachmentInfo& a, QByteArray data, QWidget* parent)
    : QDialog(parent), info(a), bytes(std::move(data))
{
    setObjectName(QStringLiteral("frmAttachmentViewer"));
    setWindowTitle(a.name);
    lblPicture = new QLabel(this);
    lblPicture->setObjectName(QStringLiteral("lblPicture"));
    lblPicture->setAlignment(Qt::AlignCenter);
    lblPicture->setAccessibleName(a.name);
    area = new QScrollArea(this);
    area->setWidget(lblPicture);
    area->setWidgetResizable(true);
    area->setAlignment(Qt::AlignCenter);
    lblPage = new QLabel(this);
    lblPage->setObjectName(QStringLiteral("lblPage"));
    SaveCopy = makeLink(this, QStringLiteral("SaveCopy"), QStringLiteral("Save a Copy..."));
    Close = makeLink(this, QStringLiteral("Close"), QStringLiteral("Close"));
    connect(SaveCopy, &VeyHyperLinkLabel::Click, this, &frmAttachmentViewer::SaveCopy_Click);
    connect(Close, &VeyHyperLinkLabel::Click, this, &QDialog::accept);
    auto* commands = new QHBoxLayout;
    commands->addWidget(lblPage);
    commands->addStretch();
    commands->addWidget(SaveCopy);
    commands->addWidget(Close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(area, 1);
    layout->addLayout(commands);
    for (QWidget* w : std::initializer_list<QWidget*>{this, area, SaveCopy, Close})
        w->installEventFilter(this);
    resize(fontMetrics().averageCharWidth() * 110, fontMetrics().height() * 40);

    if (a.kind == AttachmentKind::Pdf) {
        Result<std::unique_ptr<PdfPages>> opened = openPdf(bytes);
        if (!opened) {
            problem = QStringLiteral("The PDF file \"%1\" cannot be shown: %2")
                          .arg(a.name, opened.error().description);
            return;
        }
        pdf = std::move(opened).value();
        if (!pdf) {
            problem = QStringLiteral("The PDF file \"%1\" cannot be shown: it is damaged or "
                                     "locked with a password of its own.")
                          .arg(a.name);
            return;
        }
        showPage(0);
        fitTo(image.size());
        return;
    }
    if (!image.loadFromData(bytes)) {
        problem = QStringLiteral("The picture \"%1\" cannot be shown: it is damaged.").arg(a.name);
        return;
    }
    lblPicture->setPixmap(QPixmap::fromImage(image));
    lblPage->setText(QStringLiteral("%1 x %2 pixels").arg(image.width()).arg(image.height()));
    fitTo(image.size());
}

// Wide enough for the whole page or picture, where the screen allows, and at least as large as
// the window starts.
void frmAttachmentViewer::fitTo(const QSize& shown)
{
    const QScreen* on = screen();
    const QSize most = on ? on->availableSize() * 9 / 10 : QSize(1200, 900);
    const int frame = 2 * area->frameWidth() + area->verticalScrollBar()->sizeHint().width()
                      + 2 * layout()->contentsMargins().left();
    const int below = lblPage->sizeHint().height() + 3 * layout()->contentsMargins().top();
    resize(std::clamp(shown.width() + frame, width(), std::max(width(), most.width())),
           std::clamp(shown.height() + frame + below, height(), std::max(height(), most.height())));
}

frmAttachmentViewer::~frmAttachmentViewer() = default;

int frmAttachmentViewer::pageCount() const { return pdf ? pdf->count() : (image.isNull() ? 0 : 1); }

void frmAttachmentViewer::showPage(int wanted)
{
    if (!pdf || wanted < 0 || wanted >= pdf->count())
        return;
    page = wanted;
    image = pdf->draw(page, PageDpi);
    if (image.isNull()) {
        lblPicture->setText(QStringLiteral("Page %1 cannot be drawn.").arg(page + 1));
    } else {
        lblPicture->setPixmap(QPixmap::fromImage(image));
    }
    lblPage->setText(QStringLiteral("Page %1 of %2").arg(page + 1).arg(pdf->count()));
}

// Page Up and Page Down turn the pages wherever the focus is, the page itself included: the
// scroll area would otherwise take them to scroll the page.
bool frmAttachmentViewer::eventFilter(QObject* watched, QEvent* event)
{
    if (pdf && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_PageDown || key == Qt::Key_PageUp) {
            showPage(page + (key == Qt::Key_PageDown ? 1 : -1));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmAttachmentViewer::SaveCopy_Click()
{
    const QString path = prompts().saveFileName(this, QStringLiteral("Save a Copy"),
                                                QDir::home().filePath(info.name),
                                                QStringLiteral("All files (*)"));
    if (path.isEmpty())
        return;
    if (Status saved = saveAttachmentCopy(bytes, path); !saved)
        prompts().message(this, saved.error().description, windowTitle(), Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
}

} // namespace halvo
