// What a record window does when its books are shared books on a server, kept by several desktops
// at once: it shows what the others save, tells when they delete the record shown, never writes
// over their change without asking, and changes nothing for a role that may only read.

#include "record_editor.h"

#include "controls/pickers.h"
#include "platform/prompts.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

namespace halvo {

namespace {

// Another desktop's saves come in bursts (an import, an office saving at once): the window reads
// its records again once the burst has passed, not once for every row.
constexpr int othersSavedPauseMs = 300;

} // namespace

void RecordEditor::followSharedBooks()
{
    if (!db || !db->isServer())
        return;
    connect(&WriteNotices::instance(), &WriteNotices::changedElsewhere, this,
            &RecordEditor::changedElsewhere);
    othersSaved = new QTimer(this);
    othersSaved->setSingleShot(true);
    othersSaved->setInterval(othersSavedPauseMs);
    connect(othersSaved, &QTimer::timeout, this, &RecordEditor::showOthersChanges);
    // Its commands that change the books are held back with every window's; what is typed into
    // its fields could not be kept either.
    if (db->mayWrite())
        return;
    for (QLineEdit* box : findChildren<QLineEdit*>())
        box->setReadOnly(true);
    for (QComboBox* list : findChildren<QComboBox*>())
        list->setEnabled(false);
    for (QAbstractSpinBox* spin : findChildren<QAbstractSpinBox*>())
        spin->setReadOnly(true);
}

void RecordEditor::changedElsewhere(const ChangeElsewhere& change)
{
    if (!db || change.books != db->filePath()
        || change.table.compare(datPrimaryRS.table(), Qt::CaseInsensitive) != 0)
        return;
    datPrimaryRS.forgetRow(change.id);
    if (change.kind == CommittedWrite::Kind::Delete && change.id != 0
        && change.id == datPrimaryRS.currentKey()) {
        prompts().message(this,
                          QStringLiteral("%1 deleted this record on another desktop.")
                              .arg(change.who),
                          QString(), Prompts::Buttons::Ok, Prompts::Icon::Information);
        datPrimaryRS.cancelUpdate();
        (void)datPrimaryRS.refresh();
        ShowRecordCount();
        return;
    }
    othersSaved->start();
}

// The records as the books hold them now, the same record shown; a change typed and not yet
// saved is left alone, and the records are read again after it is saved.
void RecordEditor::showOthersChanges()
{
    if (datPrimaryRS.isDirty())
        return;
    const qint64 shown = datPrimaryRS.currentKey();
    if (!datPrimaryRS.refresh())
        return;
    if (shown != 0)
        (void)datPrimaryRS.moveTo(
            datPrimaryRS.firstPositionWhere(db->rowKey() + QStringLiteral(" = ?"), {shown})
                .valueOr(datPrimaryRS.absolutePosition()));
    ShowRecordCount();
    showCurrentRecord();
}

// A save over another desktop's change asks whose record stays; the answer is the user's, and a
// write that did not happen is not told again.
Status RecordEditor::settled(Status written)
{
    if (written || written.error().code != RecordChangedElsewhere)
        return written;
    const Prompts::Answer answer = prompts().message(
        this,
        written.error().description
            + QStringLiteral("\n\nShow their record instead of yours? Yes shows theirs and puts "
                             "your change away; No saves yours over theirs; Cancel leaves your "
                             "change on the screen, not saved."),
        QStringLiteral("Save"), Prompts::Buttons::YesNoCancel, Prompts::Icon::Question);
    if (answer == Prompts::Answer::No)
        return datPrimaryRS.writeOverTheirs();
    if (answer == Prompts::Answer::Yes)
        (void)datPrimaryRS.showTheirs();
    return Error{QString(), SettledByUser};
}

} // namespace halvo
