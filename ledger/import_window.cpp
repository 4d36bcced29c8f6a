#include "import_window.h"

#include "controls/table_width.h"

#include "dialog_rows.h"
#include "import_words.h"
#include "controls/links.h"
#include "controls/pickers.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "platform/prompts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QSet>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>

namespace halvo {

namespace {

const char* const headings[] = {"Import", "Date", "Account", "Bank's Payee", "Amount", "Kind",
                                "Property", "Payee", "Category", "State"};

// The name the user gave the line's account, or, until there is one, the bank's numbers.
QString accountCaption(const ImportLine& line)
{
    return line.account.isEmpty() ? line.bank.account.simplified() : line.account;
}

QString plural(qsizetype n, const char* one, const char* many)
{
    return QString::fromLatin1(n == 1 ? one : many);
}

// The pickers of the editable columns: the properties, the payees (the vendors, and what the bank
// wrote for this line) and the categories of the line's kind.
class ChoiceDelegate : public QStyledItemDelegate {
public:
    ChoiceDelegate(const Connection& connection, QObject* parent)
        : QStyledItemDelegate(parent)
        , properties(listOf(connection, QStringLiteral("tblBuilding"), QStringLiteral("BldNickName")))
        , vendors(listOf(connection, QStringLiteral("tblVendor"), QStringLiteral("Company")))
        , incomes(listOf(connection, QStringLiteral("tblCategory"), QStringLiteral("Income")))
        , expenses(listOf(connection, QStringLiteral("tblCategory"), QStringLiteral("Expense")))
    {
    }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override
    {
        auto* picker = new Picker(parent);
        picker->addItem(QString());
        picker->addItems(choices(index));
        return picker;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override
    {
        static_cast<Picker*>(editor)->setText(index.data(Qt::EditRole).toString());
    }
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override
    {
        model->setData(index, static_cast<Picker*>(editor)->text(), Qt::EditRole);
    }

private:
    QStringList properties, vendors, incomes, expenses;

    QStringList choices(const QModelIndex& index) const
    {
        const auto* lines = static_cast<const ImportLinesModel*>(index.model());
        const ImportLine& line = lines->lines().at(index.row());
        switch (index.column()) {
        case ImportLinesModel::Property: return properties;
        case ImportLinesModel::Category: return line.income() ? incomes : expenses;
        default: break;
        }
        QStringList payees = vendors;
        for (const QString& own : {line.bank.payee.trimmed(), line.payee})
            if (!own.isEmpty() && !payees.contains(own))
                payees.prepend(own);
        return payees;
    }
};

} // namespace

ImportLinesModel::ImportLinesModel(QList<ImportLine> lines, QObject* parent)
    : QAbstractTableModel(parent), rows(std::move(lines)), chosen(rows.size(), false)
{
}

int ImportLinesModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows.size());
}

int ImportLinesModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : Count;
}

QString& ImportLinesModel::field(ImportLine& line, int column)
{
    return column == Property ? line.property : column == Payee ? line.payee : line.category;
}

QVariant ImportLinesModel::data(const QModelIndex& index, int role) const
{
    const ImportLine& line = rows.at(index.row());
    if (role == Qt::CheckStateRole && index.column() == Tick)
        return line.ticked ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::TextAlignmentRole && index.column() == Amount)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::ToolTipRole && index.column() == State && line.duplicateOf)
        return wording(*line.duplicateOf);
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    const Money amount = line.income() ? line.bank.amount : -line.bank.amount;
    switch (index.column()) {
    case Date: return line.bank.date.toString(QStringLiteral("M/d/yyyy"));
    case Account: return accountCaption(line);
    case BankPayee: return line.bank.payee;
    case Amount: return amount.format(MoneyFormat::Bound);
    case Kind: return line.income() ? QStringLiteral("Income") : QStringLiteral("Expense");
    case Property: return line.property;
    case Payee: return line.payee;
    case Category: return line.category;
    case State: return stateCaption(line.state());
    default: break;
    }
    return {};
}

QVariant ImportLinesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    return QString::fromLatin1(headings[section]);
}

Qt::ItemFlags ImportLinesModel::flags(const QModelIndex& index) const
{
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == Tick)
        f |= Qt::ItemIsUserCheckable;
    if (index.column() == Property || index.column() == Payee || index.column() == Category)
        f |= Qt::ItemIsEditable;
    return f;
}

bool ImportLinesModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    ImportLine& line = rows[index.row()];
    if (index.column() == Tick && role == Qt::CheckStateRole) {
        line.ticked = value.toInt() == Qt::Checked;
        emit dataChanged(index, index);
        emit linesChanged();
        return true;
    }
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    const QString choice = value.toString();
    field(line, index.column()) = choice;
    chosen[index.row()] = true;
    // The same bank payee is most likely the same party: the lines nobody chose for follow.
    for (int r = 0; r < rows.size(); ++r) {
        if (chosen[r] || rows[r].fromRule || rows[r].bank.payee != line.bank.payee)
            continue;
        if (index.column() == Category && rows[r].income() != line.income())
            continue;
        field(rows[r], index.column()) = choice;
    }
    emit dataChanged(this->index(0, 0), this->index(rowCount() - 1, Count - 1));
    emit linesChanged();
    return true;
}

void ImportLinesModel::applyRule(const QList<PayeeRule>& rules)
{
    for (int r = 0; r < rows.size(); ++r) {
        const PayeeRule* rule = ruleFor(rules, rows[r].bank.payee);
        if (chosen[r] || !rule)
            continue;
        ImportLine& line = rows[r];
        line.fromRule = true;
        for (auto [column, value] : {std::pair{int(Property), rule->property},
                                     std::pair{int(Payee), rule->payee},
                                     std::pair{int(Category), rule->category}})
            if (!value.isEmpty())
                field(line, column) = value;
    }
    emit dataChanged(index(0, 0), index(rowCount() - 1, Count - 1));
    emit linesChanged();
}

QString importSummary(const QList<ImportLine>& lines)
{
    int fresh = 0, duplicates = 0, uncategorised = 0, ticked = 0;
    for (const ImportLine& line : lines) {
        ticked += line.ticked;
        switch (line.state()) {
        case ImportLine::State::New: ++fresh; break;
        case ImportLine::State::Duplicate: ++duplicates; break;
        case ImportLine::State::NeedsCategory: ++uncategorised; break;
        }
    }
    return QStringLiteral("%1 %2: %3 new, %4 %5, %6 %7; %8 ticked.")
        .arg(lines.size())
        .arg(lines.size() == 1 ? QStringLiteral("line") : QStringLiteral("lines"))
        .arg(fresh)
        .arg(duplicates)
        .arg(duplicates == 1 ? QStringLiteral("duplicate") : QStringLiteral("duplicates"))
        .arg(uncategorised)
        .arg(uncategorised == 1 ? QStringLiteral("needs a category")
                                : QStringLiteral("need a category"))
        .arg(ticked);
}

frmImport::frmImport(const Connection& connection, QList<ImportLine> planned,
                     const QString& source, QWidget* parent)
    : QDialog(parent), connection(connection), source(source)
{
    setObjectName(QStringLiteral("frmImport"));
    setWindowTitle(QStringLiteral("Import Statement - %1").arg(source));
    lines = new ImportLinesModel(std::move(planned), this);

    lblSummary = new QLabel(this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblNote = new QLabel(this);
    lblNote->setObjectName(QStringLiteral("lblNote"));
    lblNote->setWordWrap(true);
    grdLines = new QTableView(this);
    grdLines->setTabKeyNavigation(false); // arrows move between cells, Tab leaves
    grdLines->setObjectName(QStringLiteral("grdLines"));
    grdLines->setAccessibleName(QStringLiteral("Statement lines"));
    grdLines->setModel(lines);
    grdLines->setItemDelegate(new ChoiceDelegate(connection, grdLines));
    grdLines->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                              | QAbstractItemView::AnyKeyPressed);
    grdLines->setSelectionBehavior(QAbstractItemView::SelectItems);
    grdLines->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grdLines->horizontalHeader()->setStretchLastSection(true);
    // The account column tells the lines of a statement of several accounts apart.
    QSet<QString> accounts;
    for (const ImportLine& line : lines->lines())
        accounts.insert(accountCaption(line));
    grdLines->setColumnHidden(ImportLinesModel::Account, accounts.size() < 2);
    auto* hint = new QLabel(QStringLiteral("Space ticks or unticks a line; F2 chooses its property, "
                                           "payee or category."),
                            this);
    hint->setBuddy(grdLines);

    // Made in the order they stand, which is the order Tab takes.
    SaveRule = makeLink(this, QStringLiteral("SaveRule"), QStringLiteral("Save Rule"));
    Import = makeLink(this, QStringLiteral("Import"), QStringLiteral("Import"));
    Cancel = makeLink(this, QStringLiteral("Cancel"), QStringLiteral("Cancel"));
    connect(Import, &VeyHyperLinkLabel::Click, this, &frmImport::Import_Click);
    connect(SaveRule, &VeyHyperLinkLabel::Click, this, &frmImport::SaveRule_Click);
    connect(Cancel, &VeyHyperLinkLabel::Click, this, &QDialog::reject);
    connect(lines, &ImportLinesModel::linesChanged, this, &frmImport::showSummary);

    auto* commands = new QHBoxLayout;
    commands->addWidget(SaveRule);
    commands->addStretch();
    commands->addWidget(Import);
    commands->addWidget(Cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(lblSummary);
    layout->addWidget(lblNote);
    layout->addWidget(grdLines, 1);
    layout->addWidget(hint);
    layout->addLayout(commands);
    resize(fontMetrics().averageCharWidth() * 150, fontMetrics().height() * 30);
    widenForTable(this, grdLines);
    showSummary();
    showNote();
    grdLines->setCurrentIndex(lines->index(0, ImportLinesModel::Tick));
    grdLines->setFocus();
}

void frmImport::showSummary()
{
    lblSummary->setText(importSummary(lines->lines()));
}

void frmImport::setTradesLeftOut(int leftOut)
{
    trades = leftOut;
    showNote();
}

void frmImport::showNote()
{
    const qsizetype cash = std::count_if(lines->lines().begin(), lines->lines().end(),
                                         [](const ImportLine& l) { return l.bank.investment; });
    QStringList note;
    if (cash > 0)
        note << QStringLiteral("%1 %2 cash moved in or out of an investment account, not %3: "
                               "%4 unticked. Tick what belongs in the ledger.")
                    .arg(cash)
                    .arg(plural(cash, "line is", "lines are"),
                         plural(cash, "a bank transaction", "bank transactions"),
                         plural(cash, "it is", "they are"));
    if (trades > 0)
        note << QStringLiteral("%1 %2 (securities bought, sold or reinvested) %3 left out: "
                               "trades are not bank transactions.")
                    .arg(trades)
                    .arg(plural(trades, "trade", "trades"), plural(trades, "was", "were"));
    lblNote->setText(note.join(QLatin1Char(' ')));
    lblNote->setVisible(!note.isEmpty());
}

void frmImport::Import_Click()
{
    Outcome<ImportBatch, ImportRefusal> batch = writeImport(connection, lines->lines(), source);
    if (!batch) {
        prompts().message(this,
                          batch.refused() ? wording(batch.refusal()) : batch.error().description,
                          QStringLiteral("Import Statement"), Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
        return;
    }
    prompts().message(this,
                      QStringLiteral("%1 %2 imported from \"%3\".")
                          .arg(batch.value().lines)
                          .arg(batch.value().lines == 1 ? QStringLiteral("line was")
                                                        : QStringLiteral("lines were"))
                          .arg(source),
                      QStringLiteral("Import Statement"));
    accept();
}

// The rule proposed for the current line: its bank payee as the text to begin with, and what the
// line will be written with.
void frmImport::SaveRule_Click()
{
    const int row = grdLines->currentIndex().isValid() ? grdLines->currentIndex().row() : 0;
    if (row >= lines->rowCount())
        return;
    const ImportLine& line = lines->lines().at(row);
    frmPayeeRule dialog(connection,
                        {0, PayeeRule::Match::StartsWith, line.bank.payee.trimmed(), line.property,
                         line.payee, line.category},
                        line.income(), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (Result<QList<PayeeRule>> rules = loadPayeeRules(connection))
        lines->applyRule(rules.value());
}

frmPayeeRule::frmPayeeRule(const Connection& connection, const PayeeRule& proposed,
                           std::optional<bool> income, QWidget* parent)
    : QDialog(parent), connection(connection), id(proposed.id)
{
    setObjectName(QStringLiteral("frmPayeeRule"));
    setWindowTitle(QStringLiteral("Payee Rule"));
    auto* grid = new QGridLayout(this);
    cboMatch = new Picker(this);
    cboMatch->setObjectName(QStringLiteral("cboMatch"));
    for (PayeeRule::Match m :
         {PayeeRule::Match::StartsWith, PayeeRule::Match::Contains, PayeeRule::Match::Is})
        cboMatch->addItem(matchCaption(m), int(m));
    cboMatch->setCurrentIndex(cboMatch->findData(int(proposed.match)));
    txtText = new QLineEdit(proposed.text, this);
    txtText->setObjectName(QStringLiteral("txtText"));
    auto picker = [this](const char* name, QStringList items, const QString& value) {
        auto* p = new Picker(this);
        p->setObjectName(QString::fromLatin1(name));
        p->addItem(QString());
        if (!value.isEmpty() && !items.contains(value))
            items.prepend(value);
        p->addItems(items);
        p->setText(value);
        return p;
    };
    cboProperty = picker("cboProperty", listOf(connection, "tblBuilding", "BldNickName"),
                         proposed.property);
    cboPayee = picker("cboPayee", listOf(connection, "tblVendor", "Company"), proposed.payee);
    QStringList categories;
    if (!income || *income)
        categories += listOf(connection, QStringLiteral("tblCategory"), QStringLiteral("Income"));
    if (!income || !*income)
        categories += listOf(connection, QStringLiteral("tblCategory"), QStringLiteral("Expense"));
    categories.sort(Qt::CaseInsensitive);
    categories.removeDuplicates();
    cboCategory = picker("cboCategory", categories, proposed.category);
    addRow(grid, QStringLiteral("&Match:"), cboMatch);
    addRow(grid, QStringLiteral("&Text:"), txtText);
    addRow(grid, QStringLiteral("&Property:"), cboProperty);
    addRow(grid, QStringLiteral("P&ayee:"), cboPayee);
    addRow(grid, QStringLiteral("&Category:"), cboCategory);
    auto* save = makeLink(this, QStringLiteral("Save"), QStringLiteral("Save"));
    auto* cancel = makeLink(this, QStringLiteral("Cancel"), QStringLiteral("Cancel"));
    connect(save, &VeyHyperLinkLabel::Click, this, [this] {
        if (this->save())
            accept();
    });
    connect(cancel, &VeyHyperLinkLabel::Click, this, &QDialog::reject);
    auto* commands = new QHBoxLayout;
    commands->addStretch();
    commands->addWidget(save);
    commands->addWidget(cancel);
    grid->addLayout(commands, grid->rowCount(), 0, 1, 2);
    grid->setColumnStretch(1, 1);
    setMinimumWidth(fontMetrics().averageCharWidth() * 60);
    txtText->setFocus();
}

PayeeRule frmPayeeRule::rule() const
{
    return {id, PayeeRule::Match(cboMatch->currentData().toInt()), txtText->text(),
            cboProperty->text(), cboPayee->text(), cboCategory->text()};
}

bool frmPayeeRule::save()
{
    Outcome<qint64, ImportRefusal> saved = savePayeeRule(connection, rule());
    if (!saved) {
        prompts().message(this,
                          saved.refused() ? wording(saved.refusal()) : saved.error().description);
        return false;
    }
    id = saved.value();
    return true;
}

} // namespace halvo
