#include "attachment_viewer.h"

#include "controls/links.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "platform/prompts.h"

#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>
#include <poppler-qt6.h>

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
    resize(fontMetrics().averageCharWidth() * 110, fontMetrics().height() * 40);

    if (a.kind == AttachmentKind::Pdf) {
        pdf = Poppler::Document::loadFromData(bytes);
        if (!pdf || pdf->isLocked() || pdf->numPages() < 1) {
            problem = QStringLiteral("The PDF file \"%1\" cannot be shown: it is damaged or "
                                     "locked with a password of its own.")
                          .arg(a.name);
            pdf.reset();
            return;
        }
        pdf->setRenderHint(Poppler::Document::Antialiasing);
        pdf->setRenderHint(Poppler::Document::TextAntialiasing);
        showPage(0);
        return;
    }
    if (!image.loadFromData(bytes)) {
        problem = QStringLiteral("The picture \"%1\" cannot be shown: it is damaged.").arg(a.name);
        return;
    }
    lblPicture->setPixmap(QPixmap::fromImage(image));
    lblPage->setText(QStringLiteral("%1 x %2 pixels").arg(image.width()).arg(image.height()));
}

frmAttachmentViewer::~frmAttachmentViewer() = default;

int frmAttachmentViewer::pageCount() const { return pdf ? pdf->numPages() : (image.isNull() ? 0 : 1); }

void frmAttachmentViewer::showPage(int wanted)
{
    if (!pdf || wanted < 0 || wanted >= pdf->numPages())
        return;
    page = wanted;
    const std::unique_ptr<Poppler::Page> p = pdf->page(page);
    image = p ? p->renderToImage(PageDpi, PageDpi) : QImage();
    if (image.isNull()) {
        lblPicture->setText(QStringLiteral("Page %1 cannot be drawn.").arg(page + 1));
    } else {
        lblPicture->setPixmap(QPixmap::fromImage(image));
    }
    lblPage->setText(QStringLiteral("Page %1 of %2").arg(page + 1).arg(pdf->numPages()));
}

void frmAttachmentViewer::keyPressEvent(QKeyEvent* event)
{
    if (pdf && (event->key() == Qt::Key_PageDown || event->key() == Qt::Key_PageUp)) {
        showPage(page + (event->key() == Qt::Key_PageDown ? 1 : -1));
        return;
    }
    QDialog::keyPressEvent(event);
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
