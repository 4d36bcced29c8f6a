#include "attachments_window.h"

#include "attachments/attachment_viewer.h"
#include "controls/links.h"
#include "controls/writing_commands.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "platform/prompts.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QLocale>
#include <QMimeData>
#include <QVBoxLayout>

namespace halvo {

namespace {

QString sizeText(qint64 bytes)
{
    const QLocale english(QLocale::English);
    return bytes < 1024 * 1024 ? english.toString(qMax<qint64>(1, bytes / 1024)) + " KB"
                               : english.toString(double(bytes) / (1024 * 1024), 'f', 1) + " MB";
}

} // namespace

frmAttachments::frmAttachments(const Connection& c, RecordRef r, const QString& what,
                               QWidget* parent)
    : QDialog(parent), connection(c), record(std::move(r))
{
    setObjectName(QStringLiteral("frmAttachments"));
    setWindowTitle(unattached() ? QStringLiteral("Unattached Documents")
                                : QStringLiteral("Attachments: %1").arg(what));
    setAcceptDrops(!unattached());
    auto* heading = new QLabel(
        unattached() ? QStringLiteral("&Documents kept when their records were deleted:")
                     : QStringLiteral("&Documents (PDF, JPEG or PNG, at most 25 MB; drop files "
                                      "here to attach them):"),
        this);
    lstAttachments = new QListWidget(this);
    lstAttachments->setObjectName(QStringLiteral("lstAttachments"));
    lstAttachments->setAccessibleName(QStringLiteral("Attachments"));
    heading->setBuddy(lstAttachments);
    connect(lstAttachments, &QListWidget::itemActivated, this, &frmAttachments::View_Click);

    Add = writesBooks(makeLink(this, QStringLiteral("Add"), QStringLiteral("Add...")));
    View = makeLink(this, QStringLiteral("View"), QStringLiteral("View"));
    SaveCopy = makeLink(this, QStringLiteral("SaveCopy"), QStringLiteral("Save a Copy..."));
    Remove = writesBooks(makeLink(this, QStringLiteral("Remove"), QStringLiteral("Remove")));
    Close = makeLink(this, QStringLiteral("Close"), QStringLiteral("Close"));
    connect(Add, &VeyHyperLinkLabel::Click, this, &frmAttachments::Add_Click);
    connect(View, &VeyHyperLinkLabel::Click, this, &frmAttachments::View_Click);
    connect(SaveCopy, &VeyHyperLinkLabel::Click, this, &frmAttachments::SaveCopy_Click);
    connect(Remove, &VeyHyperLinkLabel::Click, this, &frmAttachments::Remove_Click);
    connect(Close, &VeyHyperLinkLabel::Click, this, &QDialog::accept);
    commands = new QHBoxLayout;
    Add->setVisible(!unattached());
    for (VeyHyperLinkLabel* link : {Add, View, SaveCopy, Remove})
        commands->addWidget(link);
    commands->addStretch();
    commands->addWidget(Close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(lstAttachments, 1);
    layout->addLayout(commands);
    resize(fontMetrics().averageCharWidth() * 90, fontMetrics().height() * 16);
    showList();
    lstAttachments->setFocus();
}

void frmAttachments::showList(qint64 currentLink)
{
    Result<QList<AttachmentInfo>> read =
        unattached() ? unattachedAttachments(connection) : attachmentsOf(connection, record);
    if (!read)
        prompts().message(this, read.error().description, windowTitle(), Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
    items = read ? read.value() : QList<AttachmentInfo>{};
    lstAttachments->clear();
    int row = 0;
    for (int i = 0; i < items.size(); ++i) {
        const AttachmentInfo& a = items.at(i);
        QString line = QStringLiteral("%1   (%2, %3)")
                           .arg(a.name, attachmentKindName(a.kind), sizeText(a.size));
        if (unattached())
            line += QStringLiteral("   from a deleted ") + recordKindName(a.recordTable);
        lstAttachments->addItem(line);
        if (a.linkId == currentLink)
            row = i;
    }
    if (!items.isEmpty())
        lstAttachments->setCurrentRow(row);
    for (VeyHyperLinkLabel* link : QList<VeyHyperLinkLabel*>{View, SaveCopy, Remove} + ownCommands)
        link->setEnabled(!items.isEmpty());
    emit countChanged(int(items.size()));
}

const AttachmentInfo* frmAttachments::current() const
{
    const int row = lstAttachments->currentRow();
    return row >= 0 && row < items.size() ? &items.at(row) : nullptr;
}

bool frmAttachments::attach(const QStringList& paths)
{
    qint64 last = 0;
    for (const QString& path : paths) {
        Result<qint64> link = attachFile(connection, record, path);
        if (!link) {
            prompts().message(this, link.error().description, windowTitle(), Prompts::Buttons::Ok,
                              Prompts::Icon::Warning);
            continue;
        }
        last = link.value();
    }
    showList(last);
    return last != 0;
}

void frmAttachments::Add_Click()
{
    const QString path = prompts().openFileName(
        this, QStringLiteral("Attach a Document"), QDir::homePath(),
        QStringLiteral("Documents (*.pdf *.jpg *.jpeg *.png);;All files (*)"));
    if (!path.isEmpty())
        attach({path});
}

std::optional<QByteArray> frmAttachments::bytesOf(const AttachmentInfo& info)
{
    Result<QByteArray> bytes = attachmentBytes(connection, info.attachmentId);
    if (!bytes) {
        prompts().message(this, bytes.error().description, windowTitle(), Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
        return std::nullopt;
    }
    return bytes.value();
}

void frmAttachments::View_Click()
{
    const AttachmentInfo* a = current();
    if (!a)
        return;
    std::optional<QByteArray> bytes = bytesOf(*a);
    if (!bytes)
        return;
    frmAttachmentViewer viewer(*a, std::move(*bytes), this);
    if (!viewer.failure().isEmpty()) {
        prompts().message(this, viewer.failure(), windowTitle(), Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
        return;
    }
    viewer.exec();
}

void frmAttachments::SaveCopy_Click()
{
    const AttachmentInfo* a = current();
    if (!a)
        return;
    const std::optional<QByteArray> bytes = bytesOf(*a);
    if (!bytes)
        return;
    const QString path = prompts().saveFileName(this, QStringLiteral("Save a Copy"),
                                                QDir::home().filePath(a->name),
                                                QStringLiteral("All files (*)"));
    if (path.isEmpty())
        return;
    if (Status saved = saveAttachmentCopy(*bytes, path); !saved)
        prompts().message(this, saved.error().description, windowTitle(), Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
}

void frmAttachments::Remove_Click()
{
    const AttachmentInfo* a = current();
    if (!a)
        return;
    const QString question =
        unattached() ? QStringLiteral("Delete \"%1\" from the database file? No record holds it.")
                     : QStringLiteral("Remove \"%1\" from this record?");
    if (prompts().message(this, question.arg(a->name),
                          windowTitle(), Prompts::Buttons::YesNo, Prompts::Icon::Question)
        != Prompts::Answer::Yes)
        return;
    if (Status removed = detach(connection, a->linkId); !removed)
        prompts().message(this, removed.error().description, windowTitle(), Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
    showList();
}

VeyHyperLinkLabel* frmAttachments::addCommand(const QString& name, const QString& caption)
{
    // The commands windows add here (attach elsewhere, delete) change the books.
    VeyHyperLinkLabel* command = writesBooks(makeLink(this, name, caption));
    commands->insertWidget(commands->indexOf(Close) - 1, command);
    setTabOrder(Remove, command);
    setTabOrder(command, Close);
    command->setEnabled(!items.isEmpty());
    ownCommands.append(command);
    return command;
}

void frmAttachments::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void frmAttachments::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    if (!paths.isEmpty()) {
        event->acceptProposedAction();
        attach(paths);
    }
}

} // namespace halvo
