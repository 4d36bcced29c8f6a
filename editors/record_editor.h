#pragma once
// The record editor: one window over one table, showing its current record in bound fields, its
// records in a grid, a bar to move between them (datPrimaryRS), a record counter and a row of
// link commands (Add, Save, Delete, Refresh, Close, and E-mail and WebSite links).
//
// Each editor is a description (editor_description.h) plus the steps it changes. The window is
// built by EditorLayout, its fields kept in step with the record set by RecordBinding, and each
// command is a fixed sequence of named steps that an editor may override:
//   opening  open the record set, fill the pickers, ShowRecordCount, lay out the grid,
//            afterOpen();
//   Add      beforeAdd(), reopenForAdd() (re-open the record set), add a blank record,
//            newRecordAdded();
//   Save     checkBeforeSave() (the required fields in order: the first empty one is reported
//            and nothing is written), prepareSave(), writeRecord(), afterWrite() (ShowRecordCount
//            and the move the description names), afterSave();
//   Delete   ask, delete, ShowRecordCount, move to the next record or else the last,
//            afterDelete();
//   Refresh  re-open, ShowRecordCount, afterRefresh();
//   Close    write what is pending (an untouched blank record is dropped) and close.
// A window whose records hold documents (the description names their table) has an Attachments
// command between Refresh and Close, captioned with the record's count; files dropped on the
// window are attached to its record. Delete then asks whether the documents go too.
// A command ends quietly at its first failing step, except that a write that fails is always
// told, with what failed and the engine's reason: the record stays on the screen, pending, with
// what the user typed, and Add or Refresh do not go past it until a Save has written it. Errors
// the record set meets on its own (moving, writing a record that is left) are shown as
// "Data error event hit err:" + what happened. A window without a count box keeps no record
// count: ShowRecordCount does nothing.

#include "attachments/attachment_store.h"
#include "data/connection.h"
#include "data/record_set.h"
#include "editors/editor_description.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>

class QGridLayout;
class QLineEdit;
class QTableView;
class QTimer;
class VeyHyperLinkLabel;

namespace halvo {

class DataControl;
class EditorLayout;
class frmAttachments;
class Picker;
class RecordBinding;

class RecordEditor : public QWidget {
    Q_OBJECT
public:
    RecordEditor(EditorDescription description, QString dataFolder, QWidget* parent = nullptr);
    ~RecordEditor() override;

    const EditorDescription& description() const { return desc; }
    QString dataFolder() const { return folder; }
    RecordSet& records() { return datPrimaryRS; }

    // A control of the window by its name ("txtFields(2)", "cboState", "Save", "DataGrid1").
    QWidget* control(const QString& name) const;
    QLineEdit* box(const QString& name) const;
    Picker* picker(const QString& name) const;
    VeyHyperLinkLabel* link(const QString& name) const;
    QTableView* grid() const;
    DataControl* dataControl() const;
    // The text a user sees in a field: a box's text, a picker's text, a date in the short form.
    QString fieldText(const QString& control) const;

public slots:
    // The window's commands, as their links run them.
    void Add();
    void Save();
    void Delete();
    void Refresh();
    void Close();
    // The documents attached to the record shown, in a window of their own.
    void Attachments();
    // The record counter, and on editors that never stand on an empty set, a blank record.
    void ShowRecordCount();

    // Moves, as the data control and the grid make them: the record left is written first.
    bool moveFirst();
    bool movePrevious();
    bool moveNext();
    bool moveLast();
    bool moveTo(int position);
    // Moves to the first record, in the window's order, that meets a condition on its table
    // ("ID = ?"); false when none does.
    bool moveToFirstWhere(const QString& condition, const QVariantList& params);

    // The record shown, as its documents know it; none while a new one is not yet saved, or on a
    // window whose records hold none.
    std::optional<RecordRef> attachmentRecord() const;
    // What the record is called in its attachments' caption.
    QString recordName() const;
    // Opens the window of the record's attachments (writing what is pending first); null when
    // the record cannot hold any yet, the user having been told why.
    frmAttachments* openAttachments();
    // Shows the record's count of attachments beside the command again.
    void showAttachmentCount();

protected:
    // The steps single editors change; each runs inside its command's error trap.
    virtual void afterOpen() {}
    virtual void beforeAdd() {}
    virtual Status reopenForAdd();
    virtual void newRecordAdded();
    virtual bool checkBeforeSave();
    virtual void prepareSave() {}
    virtual Status writeRecord();
    virtual void afterWrite();
    virtual void afterSave() {}
    virtual void afterDelete(bool /*deleted*/) {}
    virtual void afterRefresh() {}
    virtual void recordShown() {}
    virtual void fieldEdited(const QString& /*control*/) {}
    // The window of the record's attachments is about to open (an editor adds its commands).
    virtual void attachmentsOpened(frmAttachments* /*window*/) {}

    // Runs a command under one error trap: data errors inside it are not shown on their own.
    void runCommand(const std::function<void()>& command);
    // Checks the required fields in the description's order; the first empty one is reported.
    bool requiredFieldsFilled();
    // Sets a field's text as a user would type it: shown, and written to the record's buffer.
    bool setFieldText(const QString& control, const QString& text);
    // Opens the record set over another source (a filter), keeping what the window shows.
    Status openSource(const QString& source, const QVariantList& params = {});
    // Fills every mirrored picker that reads a look-up record set, in the description's order.
    void fillPickers();
    // Lays the grid out as the description says, for the record set as it is now open.
    void layOutGrid();
    // The window's connection to its database; empty when it could not be opened.
    const Connection* connection() const { return db ? &*db : nullptr; }
    void focusFirstField();
    // Shows the current record again as the record set holds it (after a write read it back).
    void showCurrentRecord() { datPrimaryRS_MoveComplete(); }
    // The area beside the fields where an editor adds its own controls (a picture, a picker).
    QGridLayout* extraArea() const;
    // Puts a widget right of a field's or picker's input, in the same row (a "..." button).
    void addBeside(const QString& control, QWidget* widget);

    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    EditorDescription desc;
    QString folder;
    std::optional<Connection> db;
    // Among the window's children, so that what a window holds is found from the window itself.
    RecordSet datPrimaryRS{this};
    std::unique_ptr<EditorLayout> layout_;
    RecordBinding* binding = nullptr;
    int commandDepth = 0;
    bool gridFollowing = false;
    bool opened = false;

    void bindFields();
    void connectCommands();
    void createShortcuts();
    void claimMoveKeys();
    void Form_Load();
    void fitFrame();
    void moveAfterSave();
    void datPrimaryRS_MoveComplete();
    void datPrimaryRS_Error(const Error& error);
    void showRecord();
    void updateLinks();
    bool recordCanBeLeft();
    bool pendingChangeWritten();
    void tellWriteFailed(const QString& what, const Error& error);

    // Shared books (record_editor_shared.cpp): what the window does about the other desktops.
    static constexpr int SettledByUser = -1003; // a failed write the user has answered already
    QTimer* othersSaved = nullptr;
    void followSharedBooks();
    void changedElsewhere(const ChangeElsewhere& change);
    void showOthersChanges();
    Status settled(Status written);
    bool move(const std::function<Status()>& how);
};

} // namespace halvo
