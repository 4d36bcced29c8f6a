#include "record_editor.h"

#include "controls/child_frame.h"
#include "controls/data_control.h"
#include "controls/pickers.h"
#include "data/connection_string.h"
#include "editors/editor_layout.h"
#include "editors/record_binding.h"
#include "editors/record_grid.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "platform/prompts.h"
#include "platform/twips.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QShortcut>
#include <QTableView>

namespace halvo {

namespace {

const QString dataErrorPrefix = QStringLiteral("Data error event hit err:");
const QString notSaved = QStringLiteral("The record could not be saved: %1\n\nWhat you typed is "
                                        "still on the screen. Save it again once that is put "
                                        "right.");
const QString notDeleted = QStringLiteral("The record could not be deleted: %1");
const QString discardQuestion =
    QStringLiteral("The change to this record could not be saved. Close the window and discard it?");

QString plainName(const Field& field)
{
    QString text = field.label.isEmpty() ? field.column : field.label;
    text.remove(QLatin1Char('&'));
    if (text.endsWith(QLatin1Char(':')))
        text.chop(1);
    return text.trimmed();
}

} // namespace

RecordEditor::RecordEditor(EditorDescription description, QString dataFolder, QWidget* parent)
    : QWidget(parent), desc(std::move(description)), folder(std::move(dataFolder))
{
    setObjectName(desc.name);
    setWindowTitle(desc.caption);
    setAttribute(Qt::WA_DeleteOnClose);
    layout_ = std::make_unique<EditorLayout>(this, desc, &datPrimaryRS);
    setFocusProxy(layout_->firstInput());
    bindFields();
    connectCommands();
    createShortcuts();
    connect(&datPrimaryRS, &RecordSet::moveComplete, this, &RecordEditor::datPrimaryRS_MoveComplete);
    connect(&datPrimaryRS, &RecordSet::error, this, &RecordEditor::datPrimaryRS_Error);
}

RecordEditor::~RecordEditor()
{
    // The controls show the record set, which is a member and so would go before them: they
    // go first, while it is whole (a grid asks for its rows as it is hidden).
    qDeleteAll(findChildren<QWidget*>(Qt::FindDirectChildrenOnly));
}

// ---- building the window ----

void RecordEditor::bindFields()
{
    binding = new RecordBinding(&datPrimaryRS, this);
    for (const Field& field : desc.fields)
        binding->bind(field, layout_->control(field.control));
    for (const MirroredPicker& mirror : desc.mirrors)
        binding->mirror(mirror, picker(mirror.picker));
    connect(binding, &RecordBinding::edited, this, [this](const QString& control) {
        if (control == desc.emailBox || control == desc.webSiteBox)
            updateLinks();
        fieldEdited(control);
    });
}

void RecordEditor::connectCommands()
{
    const QList<std::pair<QString, void (RecordEditor::*)()>> handlers{
        {desc.addCommand, &RecordEditor::Add},
        {QStringLiteral("Save"), &RecordEditor::Save},
        {QStringLiteral("Delete"), &RecordEditor::Delete},
        {QStringLiteral("Refresh"), &RecordEditor::Refresh},
        {QStringLiteral("Attachments"), &RecordEditor::Attachments},
        {QStringLiteral("Close"), &RecordEditor::Close}};
    for (const auto& [name, handler] : handlers)
        if (VeyHyperLinkLabel* command = link(name))
            connect(command, &VeyHyperLinkLabel::Click, this, handler);
    setAcceptDrops(!desc.attachmentTable.isEmpty());

    DataControl* bar = layout_->dataControl();
    connect(bar, &DataControl::firstRequested, this, &RecordEditor::moveFirst);
    connect(bar, &DataControl::previousRequested, this, &RecordEditor::movePrevious);
    connect(bar, &DataControl::nextRequested, this, &RecordEditor::moveNext);
    connect(bar, &DataControl::lastRequested, this, &RecordEditor::moveLast);

    // Choosing a row makes its record current; the grid follows the record set back.
    connect(grid()->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (!gridFollowing && current.isValid()
                    && current.row() != datPrimaryRS.absolutePosition() - 1)
                    moveTo(current.row() + 1);
            });
}

namespace {

// The moves between records and their keys, as the data control's buttons name them.
const QList<QPair<QKeySequence, bool (RecordEditor::*)()>>& moveKeys()
{
    static const QList<QPair<QKeySequence, bool (RecordEditor::*)()>> keys{
        {QKeySequence(Qt::CTRL | Qt::Key_Home), &RecordEditor::moveFirst},
        {QKeySequence(Qt::CTRL | Qt::Key_PageUp), &RecordEditor::movePrevious},
        {QKeySequence(Qt::CTRL | Qt::Key_PageDown), &RecordEditor::moveNext},
        {QKeySequence(Qt::CTRL | Qt::Key_End), &RecordEditor::moveLast}};
    return keys;
}

bool isMoveKey(const QKeyEvent* key)
{
    const QKeySequence pressed(key->keyCombination());
    return std::any_of(moveKeys().cbegin(), moveKeys().cend(),
                       [&](const auto& move) { return move.first == pressed; });
}

} // namespace

void RecordEditor::createShortcuts()
{
    for (const auto& [sequence, handler] : moveKeys()) {
        auto* shortcut = new QShortcut(sequence, this);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        connect(shortcut, &QShortcut::activated, this, handler);
    }
}

// A text box would take Ctrl+Home and Ctrl+End for its own cursor: the keys the commands
// advertise move between records from every field instead, those an editor added of its own
// included (which is why this waits for the window to open).
void RecordEditor::claimMoveKeys()
{
    for (QWidget* child : findChildren<QWidget*>())
        child->installEventFilter(this);
}

bool RecordEditor::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride && isMoveKey(static_cast<QKeyEvent*>(event))) {
        event->ignore(); // left to the window's shortcut
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void RecordEditor::addBeside(const QString& control, QWidget* widget)
{
    layout_->addBeside(control, widget);
}

QGridLayout* RecordEditor::extraArea() const { return layout_->extraArea(); }

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
    claimMoveKeys();
    // A window whose design names the database file without a folder finds it in the program
    // folder, whatever the current folder happens to be.
    const QString text = desc.connectionString.isEmpty()
                             ? standardConnectionString(folder)
                             : connectionStringIn(desc.connectionString, folder);
    Result<Connection> opening = Connection::open(text);
    if (!opening) {
        datPrimaryRS_Error(opening.error());
        return;
    }
    db = opening.value();
    if (Status s = datPrimaryRS.open(*db, desc.recordSource); !s)
        datPrimaryRS_Error(s.error());
    followSharedBooks();
    fillPickers();
    ShowRecordCount();
    layOutGrid();
    showRecord();
    focusFirstField();
    afterOpen();
    fitFrame();
}

// The grid's width and the pickers' lists are known once the window has opened: its frame grows
// to hold it whole, so that no label is cut short.
void RecordEditor::fitFrame() { fitChildFrame(this); }

void RecordEditor::fillPickers()
{
    if (!db)
        return;
    for (const MirroredPicker& mirror : desc.mirrors)
        binding->fillPicker(mirror, *db);
}

Status RecordEditor::openSource(const QString& source, const QVariantList& params)
{
    if (!db)
        return Error{QStringLiteral("The database is not open.")};
    if (!recordCanBeLeft())
        return Error{QStringLiteral("The current record cannot be left.")};
    Status opened = datPrimaryRS.open(*db, source, params);
    layOutGrid();
    return opened;
}

// The grid's columns as described: the listed ones, or every column of the record set with
// the described changes to those named (or placed) in the list.
void RecordEditor::layOutGrid()
{
    const GridDescription& g = desc.grid;
    QTableView* view = grid();
    RecordGridModel* model = layout_->gridModel();
    QList<GridColumn> columns = g.columns;
    if (g.allColumns) {
        columns.clear();
        const QList<Column>& all = datPrimaryRS.columns();
        for (int i = 0; i < all.size(); ++i) {
            GridColumn shown = gridColumn(all[i].name, all[i].name);
            for (const GridColumn& change : g.columns)
                if (change.position == i
                    || (change.position < 0 && change.column.compare(all[i].name, Qt::CaseInsensitive) == 0)) {
                    shown = change;
                    shown.column = all[i].name;
                    if (shown.caption.isEmpty())
                        shown.caption = all[i].name;
                }
            columns.append(shown);
        }
        model->setGridColumns(columns);
    }
    bool wraps = false;
    for (int i = 0; i < columns.size(); ++i) {
        if (columns[i].widthTwips > 0)
            view->setColumnWidth(i, twipsToPixels(columns[i].widthTwips, this));
        view->setColumnHidden(i, columns[i].hidden);
        wraps = wraps || columns[i].wraps;
    }
    // Columns whose text wraps get rows of three lines to wrap into.
    view->setWordWrap(wraps);
    view->verticalHeader()->setDefaultSectionSize(view->fontMetrics().height() * (wraps ? 3 : 1) + 6);
    if (g.widthTwips > 0)
        view->setFixedWidth(twipsToPixels(g.widthTwips, this));
    else if (!desc.fields.isEmpty() && !g.allColumns)
        view->setFixedWidth(layout_->gridWidthForColumns());
    else // the window opens wide enough to show every column whole
        view->setMinimumWidth(layout_->gridWidthForColumns());
}

void RecordEditor::focusFirstField()
{
    if (QWidget* first = focusProxy())
        first->setFocus();
}

// ---- the record counter ----

void RecordEditor::ShowRecordCount()
{
    // Each step on its own: a set that cannot move still gets its count written.
    if (QLineEdit* counter = layout_->countBox()) {
        (void)datPrimaryRS.moveLast();
        counter->setText(QStringLiteral("Record Count: %1").arg(datPrimaryRS.recordCount()));
        (void)datPrimaryRS.moveFirst();
    }
    // An empty table opens on a blank record whether or not the window counts its records.
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
        if (!recordCanBeLeft() || !pendingChangeWritten())
            return;
        beforeAdd();
        if (!reopenForAdd() || !datPrimaryRS.addNew())
            return;
        newRecordAdded();
    });
}

// Re-opened when others may have saved since: a new record goes on a set that shows theirs.
Status RecordEditor::reopenForAdd() { return datPrimaryRS.refresh(); }
void RecordEditor::newRecordAdded() { focusFirstField(); }

void RecordEditor::Save()
{
    runCommand([this] {
        if (!checkBeforeSave() || !recordCanBeLeft())
            return;
        prepareSave();
        if (Status written = settled(writeRecord()); !written) {
            tellWriteFailed(notSaved, written.error());
            return;
        }
        afterWrite();
        afterSave();
    });
}

bool RecordEditor::checkBeforeSave() { return requiredFieldsFilled(); }

bool RecordEditor::requiredFieldsFilled()
{
    for (const RequiredField& required : desc.required) {
        if (fieldText(required.control).isEmpty()) {
            prompts().message(this, requiredMessage(required.label));
            return false;
        }
    }
    return true;
}

Status RecordEditor::writeRecord() { return datPrimaryRS.update(); }

void RecordEditor::afterWrite()
{
    ShowRecordCount();
    moveAfterSave();
}

void RecordEditor::moveAfterSave()
{
    switch (desc.afterSave) {
    case EditorDescription::AfterSave::LastRecord: (void)datPrimaryRS.moveLast(); break;
    case EditorDescription::AfterSave::FirstRecord: // as ShowRecordCount left it
    case EditorDescription::AfterSave::Stay: break;
    }
}

void RecordEditor::Delete()
{
    runCommand([this] {
        if (prompts().message(this, desc.deleteQuestion, QStringLiteral("Delete"),
                              Prompts::Buttons::YesNo)
            != Prompts::Answer::Yes)
            return;
        // The record's documents go with it only when the user says so; otherwise they stay in
        // the file, listed as unattached, so that a Delete never loses a receipt by surprise.
        const std::optional<RecordRef> held = attachmentRecord();
        bool documentsToo = false;
        if (held && connection()) {
            const int count = attachmentCount(*connection(), *held).valueOr(0);
            if (count > 0)
                documentsToo =
                    prompts().message(
                        this,
                        count == 1 ? QStringLiteral("Delete its attachment too? If not, it is kept "
                                                    "and listed under Data > Unattached "
                                                    "Documents.")
                                   : QStringLiteral("Delete its %1 attachments too? If not, they "
                                                    "are kept and listed under Data > Unattached "
                                                    "Documents.")
                                         .arg(count),
                        QStringLiteral("Delete"), Prompts::Buttons::YesNoDefaultNo,
                        Prompts::Icon::Question)
                    == Prompts::Answer::Yes;
        }
        const Status deleted = datPrimaryRS.deleteCurrent();
        binding->forgetMistyped();
        if (!deleted) {
            // The record set's own refusals (no current record) end the command quietly; what
            // the database refused is told.
            if (deleted.error().code != 0)
                tellWriteFailed(notDeleted, deleted.error());
            afterDelete(false);
            return;
        }
        if (documentsToo)
            if (Status gone = detachAll(*connection(), *held); !gone)
                tellWriteFailed(notDeleted, gone.error());
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
        if (!recordCanBeLeft() || !pendingChangeWritten() || !datPrimaryRS.requery())
            return;
        ShowRecordCount();
        afterRefresh();
    });
}

void RecordEditor::Close() { closeFramed(this); }

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

bool RecordEditor::moveToFirstWhere(const QString& condition, const QVariantList& params)
{
    const Result<int> position = datPrimaryRS.firstPositionWhere(condition, params);
    return position && position.value() > 0 && moveTo(position.value());
}

// A field whose typed text does not fit its column (letters in an amount) keeps the record
// from being left or written until it is mended; the data control names the field and the text.
bool RecordEditor::recordCanBeLeft()
{
    const std::optional<RecordBinding::Mistyped> wrong = binding->mistyped();
    if (!wrong)
        return true;
    prompts().message(this, dataErrorPrefix
                                + QStringLiteral("\"%1\" is not a valid value for %2.")
                                      .arg(wrong->text, plainName(*wrong->field)));
    if (QWidget* w = control(wrong->field->control))
        w->setFocus();
    return false;
}

// The pending change is written before a command leaves the record; when it cannot be, the
// user is told why and the command goes no further, so that nothing typed is lost or typed over.
bool RecordEditor::pendingChangeWritten()
{
    const Status written = settled(datPrimaryRS.writePendingChange());
    if (!written)
        tellWriteFailed(notSaved, written.error());
    return written.ok();
}

void RecordEditor::tellWriteFailed(const QString& what, const Error& error)
{
    if (error.code == SettledByUser)
        return;
    prompts().message(this, what.arg(error.description), QString(), Prompts::Buttons::Ok,
                      Prompts::Icon::Warning);
}

// ---- showing the record ----

void RecordEditor::datPrimaryRS_MoveComplete()
{
    if (desc.showPosition)
        dataControl()->setCaption(QStringLiteral("Record: ")
                                  + QString::number(datPrimaryRS.absolutePosition()));
    showRecord();
    gridFollowing = true;
    QTableView* view = grid();
    const int row = datPrimaryRS.absolutePosition() - 1;
    if (row >= 0)
        view->setCurrentIndex(view->model()->index(row, std::max(0, view->currentIndex().column())));
    else
        view->clearSelection();
    gridFollowing = false;
}

void RecordEditor::datPrimaryRS_Error(const Error& error)
{
    if (commandDepth > 0) // a command ends quietly at its failing step
        return;
    prompts().message(this, dataErrorPrefix + error.description);
}

void RecordEditor::showRecord()
{
    binding->showRecord();
    updateLinks();
    showAttachmentCount();
    recordShown();
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

bool RecordEditor::setFieldText(const QString& c, const QString& text) { return binding->setText(c, text); }

// ---- looking up controls ----

QWidget* RecordEditor::control(const QString& name) const
{
    // Controls an editor adds of its own are found by their names as well.
    QWidget* found = layout_->control(name);
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

QTableView* RecordEditor::grid() const { return layout_->grid(); }
DataControl* RecordEditor::dataControl() const { return layout_->dataControl(); }

QString RecordEditor::fieldText(const QString& control) const { return binding->text(control); }

} // namespace halvo
