#include "note_editor.h"

#include "data/dates.h"
#include "data/statements.h"
#include "controls/pickers.h"
#include "platform/desktop.h"
#include "platform/prompts.h"

#include <QGridLayout>
#include <QLabel>

namespace halvo {

namespace {

const QString allProperties = QStringLiteral("All Properties");
const QString dateBox = QStringLiteral("DTPicker2");
const QString timeBox = QStringLiteral("txtTime");
const QString propertyPicker = QStringLiteral("cboNickname");
const QString noteBox = QStringLiteral("txtNote");

// The grid by the columns' places in "SELECT * FROM tblNotes": ID, NoteDate, NoteTime,
// NickName, Notes.
QList<GridColumn> gridByPosition()
{
    GridColumn id = gridColumn(QString(), QString(), 500);
    id.position = 0;
    GridColumn date = gridColumn(QStringLiteral("Date"), QString(), 2200);
    date.position = 1;
    GridColumn time = hiddenColumn(QString(), QString());
    time.position = 2;
    GridColumn property = gridColumn(QStringLiteral("Property"), QString(), 1000);
    property.position = 3;
    property.wraps = true;
    GridColumn note = gridColumn(QString(), QString(), 5500);
    note.position = 4;
    note.wraps = true;
    return {id, date, time, property, note};
}

} // namespace

EditorDescription frmNote::describe()
{
    EditorDescription d;
    d.name = QStringLiteral("frmNote");
    d.caption = QStringLiteral("Note");
    d.recordSource = Statements::NotesInOrder;
    d.countBox = QStringLiteral("txtFields(30)");
    d.addCommand = QStringLiteral("AddNote");
    d.addCaption = QStringLiteral("Add Note");
    d.fields = {
        dateField(dateBox, QStringLiteral("Date:"), QStringLiteral("NoteDate")),
        textField(timeBox, QStringLiteral("Time:"), QStringLiteral("NoteTime")),
        textField(QStringLiteral("txtNickname(19)"), QString(), QStringLiteral("NickName")),
        memoField(noteBox, QStringLiteral("Note:"), QStringLiteral("Notes")),
    };
    d.mirrors = {{propertyPicker, QStringLiteral("txtNickname(19)"), QStringLiteral("Property:"), {},
                  Statements::PropertiesByNickname, QStringLiteral("BldNickName")}};
    d.grid.name = QStringLiteral("DataGrid2");
    d.grid.allColumns = true;
    d.grid.below = true;
    d.grid.columns = gridByPosition();
    d.afterSave = EditorDescription::AfterSave::LastRecord;
    return d;
}

frmNote::frmNote(const QString& dataFolder, QWidget* parent)
    : RecordEditor(describe(), dataFolder, parent)
{
    auto* label = new QLabel(tr("&Filter:"), this);
    cboPropSelect = new Picker(this);
    cboPropSelect->setObjectName(QStringLiteral("cboPropSelect"));
    cboPropSelect->setAccessibleName(tr("Filter"));
    cboPropSelect->setMinimumContentsLength(allProperties.size() + 2);
    cboPropSelect->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    label->setBuddy(cboPropSelect);
    connect(cboPropSelect, &QComboBox::activated, this, [this](int index) {
        cboPropSelect->setText(cboPropSelect->itemText(index));
        cboPropSelect_Click(cboPropSelect->itemText(index));
    });
    QGridLayout* area = extraArea();
    area->addWidget(label, 0, 0);
    area->addWidget(cboPropSelect, 0, 1);
    area->setRowStretch(1, 1);
}

void frmNote::fillFilter()
{
    cboPropSelect->clear();
    cboPropSelect->addItem(allProperties);
    if (!connection())
        return;
    const Result<Rows> rows = connection()->select(Statements::PropertiesByNickname);
    if (!rows)
        return;
    const int name = rows.value().columns.indexOf(QStringLiteral("BldNickName"));
    for (const QVariantList& row : rows.value().values)
        if (!row.value(name).isNull())
            cboPropSelect->addItem(row.value(name).toString());
}

// A new window shows every note, the last one current. On an empty table it stands on a new
// note, ready for typing, as the record counter left it: moving to the last record would drop
// that untouched note again.
void frmNote::afterOpen()
{
    fillFilter();
    cboPropSelect->setText(allProperties);
    cboPropSelect_Click(allProperties);
    if (records().recordCount() > 0)
        moveLast();
    else
        ShowRecordCount();
}

// The nickname goes into the statement as a bound value, so a nickname with a quote in it is
// looked for as it is written.
void frmNote::cboPropSelect_Click(const QString& choice)
{
    if (choice == allProperties)
        (void)openSource(Statements::AllNotes);
    else
        (void)openSource(Statements::NotesOfProperty, {choice});
}

// A new note goes on the set as it stands: the filter and the rows shown stay.
Status frmNote::reopenForAdd() { return {}; }

// Stamped with the time of day, then today's date.
void frmNote::newRecordAdded()
{
    const QDateTime now = Clock::now();
    setFieldText(timeBox, Dates::format(now.time(), Dates::ClockTime));
    setFieldText(dateBox, Dates::format(now.date(), Dates::ShortDate));
    focusFirstField();
}

bool frmNote::checkBeforeSave()
{
    if (fieldText(propertyPicker).isEmpty()) {
        prompts().message(this, requiredMessage(QStringLiteral("Property")));
        return false;
    }
    if (fieldText(dateBox).isEmpty())
        setFieldText(dateBox, Dates::format(Clock::today(), Dates::ShortDate));
    if (fieldText(noteBox).isEmpty()) {
        prompts().message(this, requiredMessage(QStringLiteral("Note")));
        return false;
    }
    return true;
}

void frmNote::afterRefresh() { layOutGrid(); }

} // namespace halvo
