#pragma once
// What an editor window is made of, as data: its caption and record source, its bound fields,
// the pickers that mirror a bound box, the fields Save requires in order, and its grid. The
// record editor builds the window from this; each editor adds only the steps it changes.

#include <QList>
#include <QString>
#include <QStringList>
#include <Qt>

namespace halvo {

enum class FieldKind {
    Text,   // a text box
    Memo,   // a text box of several lines, for free text
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
    bool hidden = false; // bound, but never shown (a date kept as text beside its picker)
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
Field memoField(const QString& control, const QString& label, const QString& column);
Field hiddenField(const QString& control, const QString& column);

// An unbound picker that mirrors a bound box: choosing an entry copies it into the box (and so
// into the record); whenever the record is shown or the box changes, the picker shows the box.
struct MirroredPicker {
    QString picker;      // "cboNickName"
    QString box;         // the bound box it mirrors, a Field of the editor: "txtNickname(0)"
    QString label;       // "Property:"
    QStringList items;   // a fixed list, or:
    QString lookupSql;   // a look-up record set whose column fills the list, in its order
    QString lookupColumn;
    enum class BoxShown { Grey, Hidden };
    BoxShown boxShown = BoxShown::Grey; // how the bound box shows beside the picker
};

// A field that Save requires, in the order Save checks them. Blanks count as content.
struct RequiredField {
    QString label;   // "Company": the message reads "[Company] Please, enter required data."
    QString control; // the field's control
};

// A column of the grid. On a grid of listed columns, the list is the grid; on a grid of all
// the record set's columns, an entry changes the column it names (or the one at its position).
struct GridColumn {
    QString caption;
    QString column;     // bound column; empty for a column bound to nothing
    int widthTwips = 0; // 0 leaves the grid's own width
    bool hidden = false;
    Qt::Alignment alignment = {};
    QString format;    // display pattern of an amount ("$0.00")
    bool wraps = false;
    int position = -1; // on a grid of all columns: the column at this 0-based position
};

GridColumn gridColumn(const QString& caption, const QString& column, int widthTwips = 0);
GridColumn hiddenColumn(const QString& caption, const QString& column);

struct GridDescription {
    QString name = QStringLiteral("DataGrid1");
    bool allColumns = false; // every column of the record set, captioned by its name
    QList<GridColumn> columns;
    int widthTwips = 0; // 0: the grid takes what the layout gives it (or its columns' width)
    bool editable = false;
    bool below = false; // under the fields, the window's width, rather than beside them
};

struct EditorDescription {
    QString name;    // "frmVendor"
    QString caption; // "Vendor"
    QString recordSource;
    QString connectionString; // empty: the standard one of the data folder
    QString countBox;         // "txtFields(8)"; empty: the window keeps no record count
    QString addCommand;       // "AddVendor"
    QString addCaption;       // "Add Vendor"
    QList<Field> fields;
    QList<MirroredPicker> mirrors;
    QList<RequiredField> required;
    GridDescription grid;
    bool blankRecordWhenEmpty = true;
    bool showPosition = true; // the data control's caption "Record: " + position
    enum class AfterSave { FirstRecord, LastRecord, Stay } afterSave = AfterSave::FirstRecord;
    QString emailBox;   // the box the E-mail link takes its address from
    QString webSiteBox; // the box the WebSite link opens
    QString deleteQuestion = QStringLiteral("Delete current record?");
    // The table whose records the window's documents are attached to ("tblTenant"); empty: the
    // window has no Attachments command.
    QString attachmentTable;
    // The fields whose texts, joined by spaces, name a record in its attachments' caption.
    QStringList nameFields;
};

// The message Save shows for the first empty required field.
QString requiredMessage(const QString& label);

} // namespace halvo
