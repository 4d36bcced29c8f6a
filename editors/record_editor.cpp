#include "record_editor.h"

#include "data/connection_string.h"
#include "data/money.h"
#include "editors/data_control.h"
#include "editors/links.h"
#include "editors/pickers.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "platform/prompts.h"
#include "platform/twips.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>

namespace halvo {

namespace {

const QString dataErrorPrefix = QStringLiteral("Data error event hit err:");
const QString discardQuestion =
    QStringLiteral("The change to this record could not be saved. Close the window and discard it?");
// Letters the main window's menus answer to with Alt; labels leave them to the menus.
const QString menuLetters = QStringLiteral("fvdrbah");

QString plainLabel(const QString& label)
{
    QString text = label;
    text.remove(QLatin1Char('&'));
    if (text.endsWith(QLatin1Char(':')))
        text.chop(1);
    return text.trimmed();
}

// Light grey boxes hold a value that a picker beside them chooses.
void styleMirrorBox(QLineEdit* box)
{
    box->setFrame(false);
    QPalette p = box->palette();
    p.setColor(QPalette::Base, QColor(224, 224, 224));
    box->setPalette(p);
}

} // namespace

QString requiredMessage(const QString& label)
{
    return QStringLiteral("[") + label + QStringLiteral("] Please, enter required data.");
}

Field textField(const QString& control, const QString& label, const QString& column,
                int maxLength)
{
    Field f;
    f.control = control;
    f.label = label;
    f.column = column;
    f.maxLength = maxLength;
    return f;
}

Field moneyField(const QString& control, const QString& label, const QString& column)
{
    Field f = textField(control, label, column);
    f.kind = FieldKind::Money;
    f.format = MoneyFormat::Bound;
    return f;
}

Field numberField(const QString& control, const QString& label, const QString& column,
                  const QString& format)
{
    Field f = textField(control, label, column);
    f.kind = FieldKind::Number;
    f.format = format;
    return f;
}

Field dateField(const QString& control, const QString& label, const QString& column)
{
    Field f = textField(control, label, column);
    f.kind = FieldKind::Date;
    return f;
}

Field pickerField(const QString& control, const QString& label, const QString& column,
                  const QStringList& items)
{
    Field f = textField(control, label, column);
    f.kind = FieldKind::Picker;
    f.items = items;
    return f;
}

RecordEditor::RecordEditor(EditorDescription description, QString programFolder, QWidget* parent)
    : QWidget(parent), desc(std::move(description)), folder(std::move(programFolder))
{
    setObjectName(desc.name);
    setWindowTitle(desc.caption);
    setAttribute(Qt::WA_DeleteOnClose);
    createLayout();
    createShortcuts();
    connect(&datPrimaryRS, &RecordSet::moveComplete, this, &RecordEditor::datPrimaryRS_MoveComplete);
    connect(&datPrimaryRS, &RecordSet::error, this, &RecordEditor::datPrimaryRS_Error);
}

RecordEditor::~RecordEditor() = default;

// ---- building the window ----

void RecordEditor::createLayout()
{
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(createDataControl());
    auto* middle = new QHBoxLayout;
    middle->addLayout(createFieldsArea(), desc.fields.isEmpty() ? 0 : 1);
    extras = new QGridLayout;
    middle->addLayout(extras);
    outer->addLayout(middle, 1);
    outer->addLayout(createBottomRow());
    // Made last, so that Tab goes through the fields, then the commands, then the grid.
    middle->insertWidget(0, createGrid(), desc.gridWidthTwips > 0 ? 0 : 1);
    assignMnemonics();
    setFocusProxy(firstInput());
}

DataControl* RecordEditor::createDataControl()
{
    datControl = new DataControl(this);
    datControl->setCaption(desc.caption);
    connect(datControl, &DataControl::firstRequested, this, &RecordEditor::moveFirst);
    connect(datControl, &DataControl::previousRequested, this, &RecordEditor::movePrevious);
    connect(datControl, &DataControl::nextRequested, this, &RecordEditor::moveNext);
    connect(datControl, &DataControl::lastRequested, this, &RecordEditor::moveLast);
    return datControl;
}

// The fields in two columns of label and input, in the order of the description; a mirrored
// picker and its box share a row.
QGridLayout* RecordEditor::createFieldsArea()
{
    auto* area = new QGridLayout;
    area->setHorizontalSpacing(8);
    const int perColumn = int(desc.fields.size() + 1) / 2;
    int placed = 0;
    auto place = [&](QWidget* label, QWidget* input) {
        const int column = placed < perColumn ? 0 : 2;
        const int row = placed % perColumn;
        if (label)
            area->addWidget(label, row, column, Qt::AlignRight | Qt::AlignVCenter);
        auto* cell = new QHBoxLayout;
        cell->setSpacing(2);
        cell->addWidget(input, 1);
        cells.insert(input->objectName(), cell);
        area->addLayout(cell, row, column + 1);
        ++placed;
    };
    for (const Field& field : desc.fields) {
        QWidget* input = createField(field);
        if (const MirroredPicker* mirror = mirrorOf(field)) {
            createMirror(*mirror);
            auto* pair = new QWidget(this);
            auto* pairLayout = new QHBoxLayout(pair);
            pairLayout->setContentsMargins(0, 0, 0, 0);
            pairLayout->addWidget(controls.value(mirror->picker), 1);
            pairLayout->addWidget(input, 1);
            place(labels.value(mirror->picker), pair);
        } else {
            place(createFieldLabel(field, input), input);
        }
    }
    area->setColumnStretch(1, 1);
    area->setColumnStretch(3, 1);
    area->setRowStretch(perColumn, 1);
    return area;
}

// A field's label: its text as the input's buddy, or the E-mail or WebSite link for the box
// that holds the address.
QWidget* RecordEditor::createFieldLabel(const Field& field, QWidget* input)
{
    QString caption = field.label;
    if (field.control == desc.emailBox || field.control == desc.webSiteBox) {
        const bool email = field.control == desc.emailBox;
        caption = email ? QStringLiteral("E-mail:") : QStringLiteral("WebSite:");
        VeyHyperLinkLabel* link = makeLink(this, email ? QStringLiteral("Email") : QStringLiteral("WebSite"), caption);
        controls.insert(link->objectName(), link);
        input->setAccessibleName(plainLabel(caption));
        return link;
    }
    input->setAccessibleName(plainLabel(caption));
    if (caption.isEmpty())
        return nullptr;
    auto* label = new QLabel(caption, this);
    label->setBuddy(input);
    labels.insert(field.control, label);
    return label;
}

const MirroredPicker* RecordEditor::mirrorOf(const Field& field) const
{
    for (const MirroredPicker& m : desc.mirrors)
        if (m.box == field.control)
            return &m;
    return nullptr;
}

QHBoxLayout* RecordEditor::createBottomRow()
{
    auto* bottom = new QHBoxLayout;
    createCommands(bottom);
    bottom->addStretch(1);
    countBox = new QLineEdit(QStringLiteral("ID"), this);
    countBox->setObjectName(desc.countBox);
    countBox->setReadOnly(true);
    countBox->setFrame(false);
    countBox->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    countBox->setFocusPolicy(Qt::NoFocus);
    countBox->setAccessibleName(tr("Record count"));
    QPalette p = countBox->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Button));
    countBox->setPalette(p);
    countBox->setMinimumWidth(countBox->fontMetrics().horizontalAdvance(QStringLiteral("Record Count: 0000000")));
    controls.insert(desc.countBox, countBox);
    bottom->addWidget(countBox);
    return bottom;
}

QTableView* RecordEditor::createGrid()
{
    DataGrid1 = new QTableView(this);
    DataGrid1->setObjectName(QStringLiteral("DataGrid1"));
    DataGrid1->setAccessibleName(tr("Records"));
    gridModel = new RecordGridModel(&datPrimaryRS, desc.grid, this);
    gridModel->setEditable(desc.editableGrid);
    DataGrid1->setModel(gridModel);
    DataGrid1->setSelectionBehavior(desc.editableGrid ? QAbstractItemView::SelectItems
                                                       : QAbstractItemView::SelectRows);
    DataGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DataGrid1->setEditTriggers(desc.editableGrid
                                   ? QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                                         | QAbstractItemView::AnyKeyPressed
                                   : QAbstractItemView::NoEditTriggers);
    DataGrid1->verticalHeader()->setDefaultSectionSize(DataGrid1->fontMetrics().height() + 6);
    DataGrid1->setTabKeyNavigation(false);
    if (desc.fields.isEmpty())
        DataGrid1->horizontalHeader()->setStretchLastSection(true);
    // Choosing a row makes its record current; the grid follows the record set back.
    connect(DataGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!gridFollowing && current.isValid()
                    && current.row() != datPrimaryRS.absolutePosition() - 1)
                    moveTo(current.row() + 1);
            });
    return DataGrid1;
}

// Where the window's own focus goes: its first field, or the grid when it has none.
QWidget* RecordEditor::firstInput() const
{
    for (const Field& field : desc.fields) {
        const MirroredPicker* mirror = mirrorOf(field);
        QWidget* input = controls.value(mirror ? mirror->picker : field.control);
        if (input && (input->focusPolicy() & Qt::TabFocus))
            return input;
    }
    return DataGrid1;
}

QWidget* RecordEditor::createField(const Field& field)
{
    QWidget* input = nullptr;
    switch (field.kind) {
    case FieldKind::Date: {
        auto* date = new DatePicker(this);
        connect(date, &DatePicker::edited, this, [this, field](const QDate& d) {
            fieldChanged(field, d.isValid() ? QVariant(d) : QVariant(), QString());
        });
        input = date;
        break;
    }
    case FieldKind::Picker: {
        auto* list = new Picker(this);
        list->addItems(field.items);
        connect(list, &QComboBox::activated, this, [this, field, list](int index) {
            list->setText(list->itemText(index));
            fieldChanged(field, list->itemText(index), list->itemText(index));
        });
        input = list;
        break;
    }
    case FieldKind::Text:
    case FieldKind::Money:
    case FieldKind::Number: {
        auto* box = new QLineEdit(this);
        if (field.maxLength > 0)
            box->setMaxLength(field.maxLength);
        box->setReadOnly(field.readOnly);
        if (field.rightAligned || field.kind != FieldKind::Text)
            box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        connect(box, &QLineEdit::textEdited, this,
                [this, field](const QString& text) { fieldChanged(field, text, text); });
        input = box;
        break;
    }
    }
    input->setObjectName(field.control);
    // Room for a name or an address at a glance, whatever the window's first size.
    if (field.maxLength == 0 || field.maxLength > 8)
        input->setMinimumWidth(fontMetrics().averageCharWidth() * 24);
    controls.insert(field.control, input);
    return input;
}

void RecordEditor::createMirror(const MirroredPicker& mirror)
{
    auto* list = new Picker(this);
    list->setObjectName(mirror.picker);
    list->addItems(mirror.items);
    list->setAccessibleName(plainLabel(mirror.label));
    controls.insert(mirror.picker, list);
    auto* label = new QLabel(mirror.label, this);
    label->setBuddy(list);
    labels.insert(mirror.picker, label);
    if (auto* box = qobject_cast<QLineEdit*>(controls.value(mirror.box))) {
        box->setReadOnly(true);
        box->setFocusPolicy(Qt::NoFocus);
        box->setAlignment(Qt::AlignCenter);
        styleMirrorBox(box);
    }
    connect(list, &QComboBox::activated, this, [this, mirror, list](int index) {
        const QString chosen = list->itemText(index);
        list->setText(chosen);
        setFieldText(mirror.box, chosen);
    });
}

void RecordEditor::createCommands(QLayout* row)
{
    const QList<QPair<QString, QString>> commands{
        {desc.addCommand, desc.addCaption}, {QStringLiteral("Save"), QStringLiteral("Save")},
        {QStringLiteral("Delete"), QStringLiteral("Delete")},
        {QStringLiteral("Refresh"), QStringLiteral("Refresh")},
        {QStringLiteral("Close"), QStringLiteral("Close")}};
    const QList<void (RecordEditor::*)()> handlers{&RecordEditor::Add, &RecordEditor::Save,
                                                   &RecordEditor::Delete, &RecordEditor::Refresh,
                                                   &RecordEditor::Close};
    for (int i = 0; i < commands.size(); ++i) {
        VeyHyperLinkLabel* link = makeLink(this, commands[i].first, commands[i].second);
        connect(link, &VeyHyperLinkLabel::Click, this, handlers[i]);
        controls.insert(commands[i].first, link);
        row->addWidget(link);
    }
}

void RecordEditor::createShortcuts()
{
    const QList<QPair<QKeySequence, bool (RecordEditor::*)()>> keys{
        {QKeySequence(Qt::CTRL | Qt::Key_Home), &RecordEditor::moveFirst},
        {QKeySequence(Qt::CTRL | Qt::Key_PageUp), &RecordEditor::movePrevious},
        {QKeySequence(Qt::CTRL | Qt::Key_PageDown), &RecordEditor::moveNext},
        {QKeySequence(Qt::CTRL | Qt::Key_End), &RecordEditor::moveLast}};
    for (const auto& [sequence, handler] : keys) {
        auto* shortcut = new QShortcut(sequence, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, handler);
    }
}

// Every label gets an Alt key of its own: the first letter of its text not yet taken by another
// label or by the main window's menus.
void RecordEditor::assignMnemonics()
{
    QString taken = menuLetters;
    QList<QLabel*> ordered;
    for (const Field& f : desc.fields)
        if (QLabel* l = labels.value(f.control))
            ordered.append(l);
    for (const MirroredPicker& m : desc.mirrors)
        if (QLabel* l = labels.value(m.picker))
            ordered.append(l);
    for (QLabel* label : ordered) {
        QString text = label->text();
        for (int i = 0; i < text.size(); ++i) {
            const QChar c = text.at(i).toLower();
            if (c.isLetter() && !taken.contains(c)) {
                taken += c;
                text.insert(i, QLatin1Char('&'));
                break;
            }
        }
        label->setText(text);
    }
}

void RecordEditor::addBeside(const QString& control, QWidget* widget)
{
    if (QHBoxLayout* cell = cells.value(control)) {
        cell->addWidget(widget);
        setTabOrder(controls.value(control), widget);
    }
}

// ---- opening ----

void RecordEditor::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!opened)
        Form_Load();
}

void RecordEditor::Form_Load()
{
    opened = true;
    const QString text = desc.connectionString.isEmpty() ? standardConnectionString(folder)
                                                         : desc.connectionString;
    Result<Connection> opening = Connection::open(text);
    if (!opening) {
        datPrimaryRS_Error(opening.error());
        setEnabled(true);
        return;
    }
    connection = opening.value();
    if (Status s = datPrimaryRS.open(*connection, desc.recordSource); !s)
        datPrimaryRS_Error(s.error());
    for (const MirroredPicker& mirror : desc.mirrors)
        fillLookup(mirror);
    ShowRecordCount();
    for (int i = 0; i < desc.grid.size(); ++i) {
        const GridColumn& column = desc.grid[i];
        if (column.widthTwips > 0)
            DataGrid1->setColumnWidth(i, twipsToPixels(column.widthTwips, this));
        DataGrid1->setColumnHidden(i, column.hidden);
    }
    if (desc.gridWidthTwips > 0)
        DataGrid1->setFixedWidth(twipsToPixels(desc.gridWidthTwips, this));
    else if (!desc.fields.isEmpty())
        DataGrid1->setFixedWidth(gridWidthForColumns());
    showRecord();
    focusFirstField();
}

void RecordEditor::focusFirstField()
{
    if (QWidget* first = focusProxy())
        first->setFocus();
}

// A grid beside fields is as wide as its columns, so that the fields keep the room.
int RecordEditor::gridWidthForColumns() const
{
    int width = 2 * DataGrid1->frameWidth() + DataGrid1->verticalScrollBar()->sizeHint().width();
    if (!DataGrid1->verticalHeader()->isHidden())
        width += DataGrid1->verticalHeader()->width();
    for (int i = 0; i < desc.grid.size(); ++i)
        if (!DataGrid1->isColumnHidden(i))
            width += DataGrid1->columnWidth(i);
    return width;
}

void RecordEditor::fillLookup(const MirroredPicker& mirror)
{
    if (mirror.lookupSql.isEmpty() || !connection)
        return;
    auto* list = picker(mirror.picker);
    RecordSet lookup;
    if (!lookup.open(*connection, mirror.lookupSql))
        return;
    const int column = lookup.columnIndex(mirror.lookupColumn);
    QStringList entries;
    for (int row = 0; row < lookup.recordCount(); ++row) {
        const QVariant value = lookup.valueAt(row, column);
        if (!value.isNull())
            entries.append(value.toString());
    }
    list->clear();
    list->addItems(entries);
    list->setText(fieldText(mirror.box));
}

// ---- the record counter ----

void RecordEditor::ShowRecordCount()
{
    // Each step on its own: a set that cannot move still gets its count written.
    (void)datPrimaryRS.moveLast();
    countBox->setText(QStringLiteral("Record Count: ") + QString::number(datPrimaryRS.recordCount()));
    (void)datPrimaryRS.moveFirst();
    if (desc.blankRecordWhenEmpty && datPrimaryRS.isOpen() && datPrimaryRS.recordCount() < 1)
        (void)datPrimaryRS.addNew();
}

// ---- commands ----

void RecordEditor::runCommand(const std::function<void()>& command)
{
    ++commandDepth;
    command();
    --commandDepth;
}

void RecordEditor::Add()
{
    runCommand([this] {
        if (!recordCanBeLeft())
            return;
        beforeAdd();
        if (!datPrimaryRS.requery() || !datPrimaryRS.addNew())
            return;
        focusFirstField();
    });
}

void RecordEditor::Save()
{
    runCommand([this] {
        for (const RequiredField& required : desc.required) {
            if (fieldText(required.control).isEmpty()) {
                prompts().message(this, requiredMessage(required.label));
                return;
            }
        }
        if (!recordCanBeLeft())
            return;
        prepareSave();
        if (desc.countBeforeWrite)
            ShowRecordCount();
        if (!datPrimaryRS.update())
            return;
        if (!desc.countBeforeWrite)
            ShowRecordCount();
        if (desc.afterSave == EditorDescription::AfterSave::LastRecord && !datPrimaryRS.moveLast())
            return;
        afterSave();
    });
}

void RecordEditor::Delete()
{
    runCommand([this] {
        if (prompts().message(this, desc.deleteQuestion, QStringLiteral("Delete"),
                              Prompts::Buttons::YesNo)
            != Prompts::Answer::Yes)
            return;
        const Status deleted = datPrimaryRS.deleteCurrent();
        badText.clear();
        if (!deleted) {
            afterDelete(false);
            return;
        }
        ShowRecordCount();
        // After the only record went, the window stands on the blank record ShowRecordCount
        // added, ready for typing; moving on would drop it again.
        if (datPrimaryRS.editMode() != RecordSet::EditMode::Adding) {
            (void)datPrimaryRS.moveNext();
            if (datPrimaryRS.eof())
                (void)datPrimaryRS.moveLast();
        }
        afterDelete(true);
    });
}

void RecordEditor::Refresh()
{
    runCommand([this] {
        if (!recordCanBeLeft() || !datPrimaryRS.requery())
            return;
        ShowRecordCount();
        afterRefresh();
    });
}

void RecordEditor::Close()
{
    if (auto* frame = qobject_cast<QMdiSubWindow*>(parentWidget()))
        frame->close();
    else
        close();
}

// A change still pending is written as a move would write it; an untouched blank record is
// dropped. A change that cannot be written keeps the window open, so that nothing is lost.
void RecordEditor::closeEvent(QCloseEvent* event)
{
    if (!recordCanBeLeft()) {
        event->ignore();
        return;
    }
    if (Status s = datPrimaryRS.close(); !s) {
        // A change that can never be written (its record was deleted meanwhile) must not keep
        // the window open for good: the user decides whether to give it up.
        datPrimaryRS_Error(s.error());
        if (prompts().message(this, discardQuestion, QString(), Prompts::Buttons::YesNo,
                              Prompts::Icon::Warning)
            != Prompts::Answer::Yes) {
            event->ignore();
            return;
        }
        datPrimaryRS.cancelUpdate();
        (void)datPrimaryRS.close();
    }
    opened = false; // shown again, the window opens anew
    event->accept();
}

// ---- moving ----

bool RecordEditor::move(const std::function<Status()>& how)
{
    return recordCanBeLeft() && how().ok();
}

bool RecordEditor::moveFirst() { return move([this] { return datPrimaryRS.moveFirst(); }); }
bool RecordEditor::movePrevious()
{
    return move([this] {
        Status s = datPrimaryRS.movePrevious();
        // The bar stops at the first record rather than standing before it.
        if (s && datPrimaryRS.bof())
            s = datPrimaryRS.moveFirst();
        return s;
    });
}
bool RecordEditor::moveNext()
{
    return move([this] {
        Status s = datPrimaryRS.moveNext();
        if (s && datPrimaryRS.eof())
            s = datPrimaryRS.moveLast();
        return s;
    });
}
bool RecordEditor::moveLast() { return move([this] { return datPrimaryRS.moveLast(); }); }
bool RecordEditor::moveTo(int position)
{
    const bool moved = move([this, position] { return datPrimaryRS.moveTo(position); });
    if (!moved)
        datPrimaryRS_MoveComplete(); // the grid goes back to the record that stays current
    return moved;
}

// A field whose typed text does not fit its column (letters in an amount) keeps the record
// from being left or written until it is mended; the data control names the field and the text.
bool RecordEditor::recordCanBeLeft()
{
    if (badText.isEmpty())
        return true;
    for (const Field& field : desc.fields) {
        if (!badText.contains(field.control))
            continue;
        const QString name = plainLabel(field.label.isEmpty() ? field.column : field.label);
        prompts().message(this, dataErrorPrefix
                                    + QStringLiteral("\"%1\" is not a valid value for %2.")
                                          .arg(badText.value(field.control), name));
        if (QWidget* w = controls.value(field.control))
            w->setFocus();
        break;
    }
    return false;
}

// ---- showing the record ----

void RecordEditor::datPrimaryRS_MoveComplete()
{
    if (desc.showPosition)
        datControl->setCaption(QStringLiteral("Record: ")
                               + QString::number(datPrimaryRS.absolutePosition()));
    showRecord();
    gridFollowing = true;
    const int row = datPrimaryRS.absolutePosition() - 1;
    if (row >= 0)
        DataGrid1->setCurrentIndex(gridModel->index(row, std::max(0, DataGrid1->currentIndex().column())));
    else
        DataGrid1->clearSelection();
    gridFollowing = false;
}

void RecordEditor::datPrimaryRS_Error(const Error& error)
{
    if (commandDepth > 0)
        return; // a command ends quietly at its failing step
    prompts().message(this, dataErrorPrefix + error.description);
}

void RecordEditor::showRecord()
{
    showingRecord = true;
    badText.clear();
    for (const Field& field : desc.fields)
        showField(field);
    for (const MirroredPicker& mirror : desc.mirrors)
        picker(mirror.picker)->setText(fieldText(mirror.box));
    updateLinks();
    showingRecord = false;
    recordShown();
}

void RecordEditor::showField(const Field& field)
{
    const QVariant value = datPrimaryRS.value(field.column);
    QWidget* input = controls.value(field.control);
    if (auto* date = qobject_cast<DatePicker*>(input)) {
        date->setValue(value.toDate());
    } else if (auto* list = qobject_cast<Picker*>(input)) {
        // A number chosen from a list shows as the list writes it ("1.0" baths, not "1").
        const bool number = value.metaType().id() == QMetaType::Double
                            || value.metaType().id() == QMetaType::LongLong;
        list->setText(value.isNull()                          ? QString()
                      : number && !field.format.isEmpty() ? formatNumber(value.toDouble(), field.format)
                                                            : value.toString());
    } else if (auto* box = qobject_cast<QLineEdit*>(input)) {
        QString text;
        if (field.kind == FieldKind::Money)
            text = displayText(value, ColumnKind::Money, field.format);
        else if (field.kind == FieldKind::Number && !value.isNull() && !field.format.isEmpty())
            text = formatNumber(value.toDouble(), field.format);
        else
            text = value.isNull() ? QString() : value.toString();
        box->setText(text);
        box->setCursorPosition(0);
    }
}

void RecordEditor::updateLinks()
{
    if (VeyHyperLinkLabel* email = link(QStringLiteral("Email"))) {
        const QString address = fieldText(desc.emailBox).trimmed();
        email->SetURL(address.isEmpty() ? QString() : QStringLiteral("mailto:") + address);
    }
    if (VeyHyperLinkLabel* web = link(QStringLiteral("WebSite")))
        web->SetURL(fieldText(desc.webSiteBox).trimmed());
}

void RecordEditor::fieldChanged(const Field& field, const QVariant& value, const QString& typed)
{
    if (showingRecord || !datPrimaryRS.isOpen())
        return;
    if (datPrimaryRS.setValue(field.column, value))
        badText.remove(field.control);
    else
        badText.insert(field.control, typed);
    if (field.control == desc.emailBox || field.control == desc.webSiteBox)
        updateLinks();
    fieldEdited(field.control);
}

bool RecordEditor::setFieldText(const QString& control, const QString& text)
{
    const Field* field = fieldFor(control);
    QWidget* input = controls.value(control);
    if (!field || !input)
        return false;
    if (auto* box = qobject_cast<QLineEdit*>(input))
        box->setText(text);
    else if (auto* list = qobject_cast<Picker*>(input))
        list->setText(text);
    fieldChanged(*field, text, text);
    return !badText.contains(control);
}

// ---- looking up controls ----

const Field* RecordEditor::fieldFor(const QString& control) const
{
    for (const Field& f : desc.fields)
        if (f.control == control)
            return &f;
    return nullptr;
}

QWidget* RecordEditor::control(const QString& name) const
{
    if (name == QLatin1String("DataGrid1"))
        return DataGrid1;
    if (name == QLatin1String("datPrimaryRS"))
        return datControl;
    // Controls an editor adds of its own are found by their names as well.
    QWidget* found = controls.value(name);
    return found ? found : findChild<QWidget*>(name);
}

QLineEdit* RecordEditor::box(const QString& name) const
{
    return qobject_cast<QLineEdit*>(control(name));
}

Picker* RecordEditor::picker(const QString& name) const
{
    return qobject_cast<Picker*>(control(name));
}

VeyHyperLinkLabel* RecordEditor::link(const QString& name) const
{
    return qobject_cast<VeyHyperLinkLabel*>(control(name));
}

QString RecordEditor::fieldText(const QString& control) const
{
    QWidget* input = controls.value(control);
    if (auto* date = qobject_cast<DatePicker*>(input))
        return date->isEmpty() ? QString() : date->text();
    if (auto* list = qobject_cast<Picker*>(input))
        return list->text();
    if (auto* box = qobject_cast<QLineEdit*>(input))
        return box->text();
    return {};
}

} // namespace halvo
