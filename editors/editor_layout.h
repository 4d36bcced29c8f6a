#pragma once
// Builds an editor window's controls from its description, in small steps: the data control's
// bar on top; the fields in two columns of label and input (a mirrored picker and its box share
// a row); the area beside them for the editor's own controls; the bottom row of link commands
// and the record counter; and the grid, made last so that Tab runs fields, commands, grid.
// Every control is found by its name afterwards.

#include "editors/editor_description.h"

#include <QHash>
#include <QString>

class QGridLayout;
class QHBoxLayout;
class QLabel;
class QLayout;
class QLineEdit;
class QTableView;
class QWidget;
class VeyHyperLinkLabel;

namespace halvo {

class DataControl;
class Picker;
class RecordGridModel;
class RecordSet;

class EditorLayout {
public:
    EditorLayout(QWidget* window, const EditorDescription& description, RecordSet* records);

    // A control of the window by its name ("txtFields(2)", "cboState", "Save", "DataGrid1").
    QWidget* control(const QString& name) const;
    // The link commands in their row order: Add, Save, Delete, Refresh, Attachments (on a
    // window whose records hold documents), Close.
    QList<VeyHyperLinkLabel*> commands() const { return commandLinks; }

    DataControl* dataControl() const { return datControl; }
    QTableView* grid() const { return gridView; }
    RecordGridModel* gridModel() const { return model; }
    QLineEdit* countBox() const { return counter; }     // nullptr on a window without one
    QGridLayout* extraArea() const { return extras; }   // beside the fields
    QHBoxLayout* commandRow() const { return bottom; }  // the commands' row

    // Puts a widget right of a field's or picker's input, in the same row (a "..." button).
    void addBeside(const QString& control, QWidget* widget);
    // Where the window's own focus goes: its first field, or the grid when it has none.
    QWidget* firstInput() const;
    // A grid beside fields is as wide as its shown columns, so that the fields keep the room.
    int gridWidthForColumns() const;

private:
    QWidget* window;
    const EditorDescription& desc;
    RecordSet* records;
    DataControl* datControl = nullptr;
    QTableView* gridView = nullptr;
    RecordGridModel* model = nullptr;
    QLineEdit* counter = nullptr;
    QGridLayout* extras = nullptr;
    QHBoxLayout* bottom = nullptr;
    QList<VeyHyperLinkLabel*> commandLinks;
    QHash<QString, QWidget*> controls;
    QHash<QString, QLabel*> labels;
    QHash<QString, QHBoxLayout*> cells; // the row cell of each field's and picker's input

    QGridLayout* createFieldsArea();
    QWidget* createField(const Field& field);
    QWidget* createFieldLabel(const Field& field, QWidget* input);
    QLabel* createMirror(const MirroredPicker& mirror);
    QHBoxLayout* createBottomRow();
    void createCountBox();
    QTableView* createGrid();
    void assignMnemonics();
    const MirroredPicker* mirrorOf(const Field& field) const;
};

} // namespace halvo
