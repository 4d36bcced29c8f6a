#include "editor_layout.h"

#include "controls/writing_commands.h"
#include "controls/table_width.h"

#include "controls/data_control.h"
#include "controls/links.h"
#include "controls/pickers.h"
#include "editors/record_grid.h"
#include "hyperlink/vey_hyperlink_label.h"

#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <limits>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

namespace halvo {

namespace {

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
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->setAlignment(Qt::AlignCenter);
    box->setFrame(false);
    QPalette p = box->palette();
    p.setColor(QPalette::Base, QColor(224, 224, 224));
    box->setPalette(p);
}

// Hidden on purpose, not merely not shown yet (as every control is before its window is).
bool explicitlyHidden(const QWidget* w)
{
    return w->testAttribute(Qt::WA_WState_ExplicitShowHide) && w->isHidden();
}

} // namespace

EditorLayout::EditorLayout(QWidget* window, const EditorDescription& description,
                           RecordSet* records)
    : window(window), desc(description), records(records)
{
    auto* outer = new QVBoxLayout(window);
    datControl = new DataControl(window);
    datControl->setCaption(desc.caption);
    controls.insert(QStringLiteral("datPrimaryRS"), datControl);
    outer->addWidget(datControl);
    auto* middle = new QHBoxLayout;
    middle->addLayout(createFieldsArea(), desc.fields.isEmpty() ? 0 : 1);
    // Tab follows the order the controls are made in (a window put into the frame keeps no
    // other): the fields, then the commands, then the grid; a window whose grid is its only
    // input starts at the grid, so that Tab goes on from it to the commands.
    QTableView* grid = firstInput() ? nullptr : createGrid();
    extras = new QGridLayout;
    middle->addLayout(extras);
    outer->addLayout(middle, desc.grid.below ? 0 : 1);
    outer->addLayout(createBottomRow());
    if (!grid)
        grid = createGrid();
    if (desc.grid.below)
        outer->insertWidget(2, grid, 1);
    else
        middle->insertWidget(0, grid, desc.grid.widthTwips > 0 ? 0 : 1);
    assignMnemonics();
}

// The fields in two columns of label and input, in the order of the description; a mirrored
// picker and its box share a row. Hidden fields take no row.
QGridLayout* EditorLayout::createFieldsArea()
{
    auto* area = new QGridLayout;
    area->setHorizontalSpacing(8);
    int shown = 0;
    for (const Field& field : desc.fields)
        shown += field.hidden || field.kind == FieldKind::Memo ? 0 : 1;
    const int perColumn = (shown + 1) / 2;
    int placed = 0;
    // Free text takes a row of its own under the two columns, as wide as both.
    int memoRow = perColumn;
    auto placeMemo = [&](QWidget* label, QWidget* input, const QString& name) {
        area->addWidget(label, memoRow, 0, Qt::AlignRight | Qt::AlignTop);
        auto* cell = new QHBoxLayout;
        cell->addWidget(input, 1);
        cells.insert(name, cell);
        area->addLayout(cell, memoRow++, 1, 1, 3);
    };
    auto place = [&](QWidget* label, QWidget* input, const QStringList& names) {
        const int column = placed < perColumn ? 0 : 2;
        const int row = placed % perColumn;
        if (label)
            area->addWidget(label, row, column, Qt::AlignRight | Qt::AlignVCenter);
        auto* cell = new QHBoxLayout;
        cell->setSpacing(2);
        cell->addWidget(input, 1);
        for (const QString& name : names)
            cells.insert(name, cell);
        area->addLayout(cell, row, column + 1);
        ++placed;
    };
    for (const Field& field : desc.fields) {
        QWidget* input = createField(field);
        if (field.hidden) {
            input->hide();
            continue;
        }
        const MirroredPicker* mirror = mirrorOf(field);
        if (field.kind == FieldKind::Memo) {
            placeMemo(createFieldLabel(field, input), input, field.control);
            continue;
        }
        if (!mirror) {
            place(createFieldLabel(field, input), input, {field.control});
            continue;
        }
        QLabel* label = createMirror(*mirror);
        QWidget* picker = controls.value(mirror->picker);
        if (mirror->boxShown == MirroredPicker::BoxShown::Hidden) {
            input->hide();
            place(label, picker, {mirror->picker, field.control});
            continue;
        }
        styleMirrorBox(qobject_cast<QLineEdit*>(input));
        // The pair shares one field's room: each half holds a nickname or a name's beginning.
        const int half = window->fontMetrics().averageCharWidth() * 12;
        picker->setMinimumWidth(half);
        input->setMinimumWidth(half);
        auto* pair = new QWidget(window);
        auto* pairLayout = new QHBoxLayout(pair);
        pairLayout->setContentsMargins(0, 0, 0, 0);
        pairLayout->addWidget(picker, 1);
        pairLayout->addWidget(input, 1);
        place(label, pair, {mirror->picker, field.control});
    }
    area->setColumnStretch(1, 1);
    area->setColumnStretch(3, 1);
    area->setRowStretch(memoRow, 1);
    return area;
}

QWidget* EditorLayout::createField(const Field& field)
{
    QWidget* input = nullptr;
    switch (field.kind) {
    case FieldKind::Date: input = new DatePicker(window); break;
    case FieldKind::Memo: {
        auto* memo = new QPlainTextEdit(window);
        memo->setTabChangesFocus(true); // Tab goes on to the next field, as everywhere else
        memo->setMinimumHeight(memo->fontMetrics().lineSpacing() * 5);
        input = memo;
        break;
    }
    case FieldKind::Picker: {
        auto* list = new Picker(window);
        list->addItems(field.items);
        input = list;
        break;
    }
    case FieldKind::Text:
    case FieldKind::Money:
    case FieldKind::Number: {
        auto* box = new QLineEdit(window);
        // A box takes what its column holds: without a limit of the field's own, any length
        // (a line edit would otherwise cut a text at 32,767 characters, and store it cut).
        box->setMaxLength(field.maxLength > 0 ? field.maxLength : std::numeric_limits<int>::max());
        box->setReadOnly(field.readOnly);
        if (field.rightAligned || field.kind != FieldKind::Text)
            box->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        input = box;
        break;
    }
    }
    input->setObjectName(field.control);
    // Room for a name or an address at a glance, whatever the window's first size.
    if (field.maxLength == 0 || field.maxLength > 8)
        input->setMinimumWidth(window->fontMetrics().averageCharWidth() * 22);
    controls.insert(field.control, input);
    return input;
}

// A field's label: its text as the input's buddy, or the E-mail or WebSite link for the box
// that holds the address.
QWidget* EditorLayout::createFieldLabel(const Field& field, QWidget* input)
{
    QString caption = field.label;
    if (field.control == desc.emailBox || field.control == desc.webSiteBox) {
        const bool email = field.control == desc.emailBox;
        caption = email ? QStringLiteral("E-mail:") : QStringLiteral("WebSite:");
        VeyHyperLinkLabel* link =
            makeLink(window, email ? QStringLiteral("Email") : QStringLiteral("WebSite"), caption);
        controls.insert(link->objectName(), link);
        input->setAccessibleName(plainLabel(caption));
        return link;
    }
    input->setAccessibleName(plainLabel(caption));
    if (caption.isEmpty())
        return nullptr;
    auto* label = new QLabel(caption, window);
    label->setBuddy(input);
    labels.insert(field.control, label);
    return label;
}

QLabel* EditorLayout::createMirror(const MirroredPicker& mirror)
{
    auto* list = new Picker(window);
    list->setObjectName(mirror.picker);
    list->addItems(mirror.items);
    list->setAccessibleName(plainLabel(mirror.label));
    controls.insert(mirror.picker, list);
    auto* label = new QLabel(mirror.label, window);
    label->setBuddy(list);
    labels.insert(mirror.picker, label);
    return label;
}

const MirroredPicker* EditorLayout::mirrorOf(const Field& field) const
{
    for (const MirroredPicker& m : desc.mirrors)
        if (m.box == field.control)
            return &m;
    return nullptr;
}

QHBoxLayout* EditorLayout::createBottomRow()
{
    bottom = new QHBoxLayout;
    QList<QPair<QString, QString>> names{
        {desc.addCommand, desc.addCaption}, {QStringLiteral("Save"), QStringLiteral("Save")},
        {QStringLiteral("Delete"), QStringLiteral("Delete")},
        {QStringLiteral("Refresh"), QStringLiteral("Refresh")}};
    if (!desc.attachmentTable.isEmpty())
        names.append({QStringLiteral("Attachments"), QStringLiteral("Attachments")});
    names.append({QStringLiteral("Close"), QStringLiteral("Close")});
    // Adding, saving and deleting change the books; the others only read them.
    const QStringList writing{desc.addCommand, QStringLiteral("Save"), QStringLiteral("Delete")};
    for (const auto& [name, caption] : names) {
        VeyHyperLinkLabel* link = makeLink(window, name, caption);
        if (writing.contains(name))
            markWritesBooks(link);
        controls.insert(name, link);
        commandLinks.append(link);
        bottom->addWidget(link);
    }
    bottom->addStretch(1);
    createCountBox();
    return bottom;
}

void EditorLayout::createCountBox()
{
    if (desc.countBox.isEmpty())
        return;
    counter = new QLineEdit(QStringLiteral("ID"), window);
    counter->setObjectName(desc.countBox);
    counter->setReadOnly(true);
    counter->setFrame(false);
    counter->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    counter->setFocusPolicy(Qt::NoFocus);
    counter->setAccessibleName(QObject::tr("Record count"));
    QPalette p = counter->palette();
    p.setColor(QPalette::Base, p.color(QPalette::Button));
    counter->setPalette(p);
    counter->setMinimumWidth(
        counter->fontMetrics().horizontalAdvance(QStringLiteral("Record Count: 0000000")));
    controls.insert(desc.countBox, counter);
    bottom->addWidget(counter);
}

QTableView* EditorLayout::createGrid()
{
    const GridDescription& g = desc.grid;
    gridView = new QTableView(window);
    gridView->setObjectName(g.name);
    gridView->setAccessibleName(QObject::tr("Records"));
    model = new RecordGridModel(records, g.allColumns ? QList<GridColumn>() : g.columns, window);
    model->setEditable(g.editable);
    gridView->setModel(model);
    gridView->setSelectionBehavior(g.editable ? QAbstractItemView::SelectItems
                                              : QAbstractItemView::SelectRows);
    gridView->setSelectionMode(QAbstractItemView::SingleSelection);
    gridView->setEditTriggers(g.editable ? QAbstractItemView::DoubleClicked
                                               | QAbstractItemView::EditKeyPressed
                                               | QAbstractItemView::AnyKeyPressed
                                         : QAbstractItemView::NoEditTriggers);
    gridView->verticalHeader()->setDefaultSectionSize(gridView->fontMetrics().height() + 6);
    gridView->setTabKeyNavigation(false);
    if (desc.fields.isEmpty())
        gridView->horizontalHeader()->setStretchLastSection(true);
    controls.insert(g.name, gridView);
    return gridView;
}

// Every label gets an Alt key of its own: the first letter of its text not yet taken by another
// label or by the main window's menus.
void EditorLayout::assignMnemonics()
{
    QString taken = menuLetters;
    QList<QLabel*> ordered;
    for (const Field& f : desc.fields) {
        const MirroredPicker* mirror = mirrorOf(f);
        if (QLabel* l = labels.value(mirror ? mirror->picker : f.control))
            ordered.append(l);
    }
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

void EditorLayout::addBeside(const QString& control, QWidget* widget)
{
    QHBoxLayout* cell = cells.value(control);
    if (!cell)
        return;
    QWidget* last = nullptr;
    for (int i = 0; i < cell->count(); ++i)
        if (QWidget* w = cell->itemAt(i)->widget())
            last = w;
    cell->addWidget(widget);
    // Inside a picker's pair, Tab reaches the button after the picker.
    if (QWidget* input = controls.value(control);
        input && !explicitlyHidden(input) && (input->focusPolicy() & Qt::TabFocus))
        QWidget::setTabOrder(input, widget);
    else if (last)
        QWidget::setTabOrder(last, widget);
}

QWidget* EditorLayout::firstInput() const
{
    for (const Field& field : desc.fields) {
        if (field.hidden)
            continue;
        const MirroredPicker* mirror = mirrorOf(field);
        QWidget* input = controls.value(mirror ? mirror->picker : field.control);
        if (input && (input->focusPolicy() & Qt::TabFocus))
            return input;
    }
    return gridView;
}

int EditorLayout::gridWidthForColumns() const { return tableWidthForColumns(gridView); }

QWidget* EditorLayout::control(const QString& name) const { return controls.value(name); }

} // namespace halvo
