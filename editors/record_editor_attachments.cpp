// The record editor's documents: the Attachments (n) command, the window of the record's
// documents, and files dropped on the editor, attached to the record it shows.

#include "record_editor.h"

#include "attachments/attachments_window.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "platform/prompts.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>

namespace halvo {

std::optional<RecordRef> RecordEditor::attachmentRecord() const
{
    if (desc.attachmentTable.isEmpty() || datPrimaryRS.editMode() == RecordSet::EditMode::Adding
        || datPrimaryRS.bof() || datPrimaryRS.eof())
        return std::nullopt;
    const QVariant id = datPrimaryRS.value(QStringLiteral("ID"));
    if (id.isNull())
        return std::nullopt;
    return RecordRef{desc.attachmentTable, id.toLongLong()};
}

QString RecordEditor::recordName() const
{
    QStringList parts;
    for (const QString& field : desc.nameFields)
        if (const QString text = fieldText(field).trimmed(); !text.isEmpty())
            parts << text;
    return parts.isEmpty() ? desc.caption : parts.join(QLatin1Char(' '));
}

void RecordEditor::Attachments()
{
    runCommand([this] { openAttachments(); });
}

frmAttachments* RecordEditor::openAttachments()
{
    if (!recordCanBeLeft() || !pendingChangeWritten() || !connection())
        return nullptr;
    const std::optional<RecordRef> record = attachmentRecord();
    if (!record) {
        prompts().message(this, QStringLiteral("Save the record before attaching documents to it."),
                          QString(), Prompts::Buttons::Ok, Prompts::Icon::Information);
        return nullptr;
    }
    auto* window = new frmAttachments(*connection(), *record, recordName(), this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    connect(window, &frmAttachments::countChanged, this, [this] { showAttachmentCount(); });
    attachmentsOpened(window);
    window->open();
    return window;
}

void RecordEditor::showAttachmentCount()
{
    VeyHyperLinkLabel* command = link(QStringLiteral("Attachments"));
    if (!command)
        return;
    const std::optional<RecordRef> record = attachmentRecord();
    const int count =
        record && connection() ? attachmentCount(*connection(), *record).valueOr(0) : 0;
    command->SetCaption(QStringLiteral("Attachments (%1)").arg(count));
}

void RecordEditor::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls() && attachmentRecord())
        event->acceptProposedAction();
}

// Files dropped on the window are attached to the record it shows.
void RecordEditor::dropEvent(QDropEvent* event)
{
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    runCommand([this, paths] {
        if (frmAttachments* window = openAttachments())
            window->attach(paths);
    });
}

} // namespace halvo
