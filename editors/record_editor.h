#pragma once
// The record editor: one window over one table, showing its current record in bound fields, its
// records in a grid (DataGrid1), a bar to move between them (datPrimaryRS), a record counter and
// a row of link commands (Add, Save, Delete, Refresh, Close, and E-mail and WebSite links).
//
// Each editor is a description (caption, record source, fields, required fields in order,
// pickers, grid columns, where Save moves to) plus the few hooks its window adds. The pattern
// does the rest the same way for every editor:
//   opening    open the record set, ShowRecordCount, fill the pickers, lay out the grid;
//   Add        re-open the record set, add a blank record;
//   Save       check the required fields in order (the first empty one is reported and nothing
//              is written), prepare, write, ShowRecordCount, move to the first or last record;
//   Delete     ask, delete, ShowRecordCount, move to the next record or else the last;
//   Refresh    re-open, ShowRecordCount;
//   Close      write what is pending (an untouched blank record is dropped) and close.
// A command ends quietly at its first failing step. Errors the record set meets on its own
// (moving, writing a record that is left) are shown as "Data error event hit err:" + what
// happened. Pickers are kept in step with the record when it moves or is edited, not by polling.

#include "data/connection.h"
#include "data/record_set.h"
#include "editors/record_grid.h"

#include <QHash>
#include <QList>
#include <QPointer>
#include <QWidget>
#include <functional>

class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QTableView;
class VeyHyperLinkLabel;

namespace halvo {

class DataControl;
class DatePicker;
class Picker;

enum class FieldKind {
    Text,   // a text box
    Money,  // a text box showing an amount with a money pattern
    Number, // a text box showing a number with a display pattern ("0.00")
    Date,   // a date picker
    Picker, // a drop-down bound to the column itself
};

// One bound field of an editor.
struct Field {
    QString control; // objectName and member name: "txtFields(2)", "cboState", "DTPicker2"
    QString label;   // as shown ("Company:"); empty for a box that a link or picker labels
    QString column;
    FieldKind kind = FieldKind::Text;
    QString format;    // display pattern of a money or number field
    int maxLength = 0; // 0: no limit
    QStringList items; // a picker's fixed list
    bool readOnly = false;
    bool rightAligned = false;
};

// Fields as the editors describe them.
Field textField(const QString& control, const QString& label, const QString& column,
                int maxLength = 0);
Field moneyField(const QString& control, const QString& label, const QString& column);
Field numberField(const QString& control, const QString& label, const QString& column,
                  const QString& format);
Field dateField(const QString& control, const QString& label, const QString& column);
Field pickerField(const QString& control, const QString& label, const QString& column,
                  const QStringList& items);

// An unbound picker that mirrors a bound box: choosing an entry copies it into the box (and so
// into the record); moving to a record shows the box's value in the picker.
struct MirroredPicker {
    QString picker;      // "cboNickName"
    QString box;         // the bound box it mirrors, a Field of the editor: "txtNickname(0)"
    QString label;       // "Property:"
    QStringList items;   // a fixed list, or:
    QString lookupSql;   // a look-up record set whose column fills the list, in its order
    QString lookupColumn;
};

// A field that Save requires, in the order Save checks them. Blanks count as content.
struct RequiredField {
    QString label;   // "Company": the message reads "[Company] Please, enter required data."
    QString control; // the field's control
};

struct EditorDescription {
    QString name;    // "frmVendor"
    QString caption; // "Vendor"
    QString recordSource;
    QString connectionString; // empty: the standard one of the program folder
    QString countBox;         // "txtFields(8)"
    QString addCommand;       // "AddVendor"
    QString addCaption;       // "Add Vendor"
    QList<Field> fields;
    QList<MirroredPicker> mirrors;
    QList<RequiredField> required;
    QList<GridColumn> grid;
    int gridWidthTwips = 0; // 0: the grid takes what the layout gives it
    bool editableGrid = false;
    bool blankRecordWhenEmpty = true;
    bool showPosition = true; // the data control's caption "Record: " + position
    enum class AfterSave { FirstRecord, LastRecord } afterSave = AfterSave::FirstRecord;
    bool countBeforeWrite = false; // the category editor counts (and so writes) before writing
    QString emailBox;   // the box the E-mail link takes its address from
    QString webSiteBox; // the box the WebSite link opens
    QString deleteQuestion = QStringLiteral("Delete current record?");
};

class RecordEditor : public QWidget {
    Q_OBJECT
public:
    RecordEditor(EditorDescription description, QString programFolder, QWidget* parent = nullptr);
    ~RecordEditor() override;

    const EditorDescription& description() const { return desc; }
    QString programFolder() const { return folder; }
    RecordSet& records() { return datPrimaryRS; }

    // A control of the window by its name ("txtFields(2)", "cboState", "Save", "DataGrid1").
    QWidget* control(const QString& name) const;
    QLineEdit* box(const QString& name) const;
    Picker* picker(const QString& name) const;
    VeyHyperLinkLabel* link(const QString& name) const;
    QTableView* grid() const { return DataGrid1; }
    DataControl* dataControl() const { return datControl; }
    // The text a user sees in a field: a box's text, a picker's text, a date in the short form.
    QString fieldText(const QString& control) const;

public slots:
    // The window's commands, as their links run them.
    void Add();
    void Save();
    void Delete();
    void Refresh();
    void Close();
    // The record counter, and on editors that never stand on an empty set, a blank record.
    void ShowRecordCount();

    // Moves, as the data control and the grid make them: the record left is written first.
    bool moveFirst();
    bool movePrevious();
    bool moveNext();
    bool moveLast();
    bool moveTo(int position);

protected:
    // Hooks for what single editors add to the pattern; each runs inside its command.
    virtual void beforeAdd() {}
    virtual void prepareSave() {}           // after the required fields, before the write
    virtual void afterSave() {}             // after the move that ends Save
    virtual void afterDelete(bool /*deleted*/) {}
    virtual void afterRefresh() {}
    virtual void recordShown() {}           // a record became current, or was re-read
    virtual void fieldEdited(const QString& /*control*/) {}

    // Runs a command under one error trap: data errors inside it are not shown on their own.
    void runCommand(const std::function<void()>& command);
    // Sets a field's text as a user would type it: shown, and written to the record's buffer.
    bool setFieldText(const QString& control, const QString& text);
    // The area beside the fields where an editor adds its own controls (a picture, a picker).
    QGridLayout* extraArea() const { return extras; }
    // Puts a widget right of a field's input, in the same row (a "..." button).
    void addBeside(const QString& control, QWidget* widget);

    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    EditorDescription desc;
    QString folder;
    std::optional<Connection> connection;
    RecordSet datPrimaryRS;
    RecordGridModel* gridModel = nullptr;
    DataControl* datControl = nullptr;
    QTableView* DataGrid1 = nullptr;
    QLineEdit* countBox = nullptr;
    QGridLayout* extras = nullptr;
    QHash<QString, QWidget*> controls;
    QHash<QString, QLabel*> labels;
    QHash<QString, QHBoxLayout*> cells; // the row cell of each field's input
    QHash<QString, QString> badText; // fields whose typed text does not fit their column
    int commandDepth = 0;
    bool showingRecord = false;
    bool gridFollowing = false;
    bool opened = false;

    void createLayout();
    DataControl* createDataControl();
    QGridLayout* createFieldsArea();
    QWidget* createFieldLabel(const Field& field, QWidget* input);
    const MirroredPicker* mirrorOf(const Field& field) const;
    QHBoxLayout* createBottomRow();
    QTableView* createGrid();
    QWidget* createField(const Field& field);
    void createMirror(const MirroredPicker& mirror);
    void createCommands(QLayout* row);
    void createShortcuts();
    QWidget* firstInput() const;
    int gridWidthForColumns() const;
    void Form_Load();
    void fillLookup(const MirroredPicker& mirror);
    void focusFirstField();
    void datPrimaryRS_MoveComplete();
    void datPrimaryRS_Error(const Error& error);
    void showRecord();
    void showField(const Field& field);
    void updateLinks();
    void fieldChanged(const Field& field, const QVariant& value, const QString& typed);
    bool recordCanBeLeft();
    bool move(const std::function<Status()>& how);
    const Field* fieldFor(const QString& control) const;
    void assignMnemonics();
};

// The message Save shows for the first empty required field.
QString requiredMessage(const QString& label);

} // namespace halvo
