#pragma once
// frmAttachments: the documents attached to one record, with Add... (or files dropped on the
// window), View (or Enter), Save a Copy..., Remove and Close. The record's window shows the
// count beside its Attachments command. Opened on no record (an empty table), it lists the
// documents whose records were deleted without them: "Unattached Documents", with no Add.

#include "attachments/attachment_store.h"

#include <QDialog>

class QHBoxLayout;
class QListWidget;
class VeyHyperLinkLabel;

namespace halvo {

class frmAttachments : public QDialog {
    Q_OBJECT
public:
    // `what` names the record in the caption ("Attachments: Ann Lee").
    frmAttachments(const Connection& connection, RecordRef record, const QString& what,
                   QWidget* parent = nullptr);

    QListWidget* lstAttachments = nullptr;
    VeyHyperLinkLabel* Add = nullptr;
    VeyHyperLinkLabel* View = nullptr;
    VeyHyperLinkLabel* SaveCopy = nullptr;
    VeyHyperLinkLabel* Remove = nullptr;
    VeyHyperLinkLabel* Close = nullptr;

    void Add_Click();
    void View_Click();
    void SaveCopy_Click();
    void Remove_Click();
    // Attaches the files, telling the user of each one refused; true when any was attached.
    bool attach(const QStringList& paths);
    QList<AttachmentInfo> shown() const { return items; }
    const AttachmentInfo* current() const;
    bool unattached() const { return record.table.isEmpty(); }
    // A command of the record's window of its own, before Close ("Use as Picture").
    VeyHyperLinkLabel* addCommand(const QString& name, const QString& caption);

signals:
    void countChanged(int count);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    Connection connection;
    RecordRef record;
    QList<AttachmentInfo> items;
    QHBoxLayout* commands = nullptr;
    QList<VeyHyperLinkLabel*> ownCommands; // those a record's window added
    void showList(qint64 currentLink = 0);
    std::optional<QByteArray> bytesOf(const AttachmentInfo& info);
};

} // namespace halvo
