#include "csv_mapping_window.h"

#include "controls/table_width.h"

#include "dialog_rows.h"
#include "controls/links.h"
#include "controls/pickers.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "platform/prompts.h"
#include "statements/saved_mappings.h"
#include "statements/statement_accounts.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSpinBox>
#include <QTableWidget>

namespace halvo {

namespace {

const QString NewMapping = QStringLiteral("(new mapping)");
const QString NoColumn = QStringLiteral("(none)");
constexpr int PreviewLines = 10;

const QStringList delimiters{QStringLiteral("Comma"), QStringLiteral("Semicolon"),
                             QStringLiteral("Tab")};
const QString delimiterChars = QStringLiteral(",;\t");
const QStringList decimalMarks{QStringLiteral("Point (1,234.56)"), QStringLiteral("Comma (1.234,56)")};
// In the order of DateOrder.
const QStringList dateOrders{QStringLiteral("Choose the date order"), QStringLiteral("Day/Month/Year"),
                             QStringLiteral("Month/Day/Year"), QStringLiteral("Year/Month/Day")};
// The amount styles as the user knows them; the second is a signed amount with money out positive.
const QStringList amountStyles{QStringLiteral("One amount, money out negative"),
                               QStringLiteral("One amount, money out positive"),
                               QStringLiteral("Debit and credit columns"),
                               QStringLiteral("Amount and a debit/credit column")};

struct ColumnPicker {
    const char* name;
    const char* label;
    int CsvMapping::*column;
    QStringList headings; // header texts, in lower case, that name such a column
};

const QList<ColumnPicker>& columnPickers()
{
    static const QList<ColumnPicker> list{
        {"cboDateColumn", "Da&te column:", &CsvMapping::dateColumn, {"date", "posted", "transaction date", "posting date", "recdate"}},
        {"cboPayeeColumn", "&Payee column:", &CsvMapping::payeeColumn, {"payee", "description", "name", "details"}},
        {"cboMemoColumn", "&Memo column:", &CsvMapping::memoColumn, {"memo", "notes", "note"}},
        {"cboAmountColumn", "&Amount column:", &CsvMapping::amountColumn, {"amount", "value"}},
        {"cboDebitColumn", "De&bit column:", &CsvMapping::debitColumn, {"debit", "withdrawal", "money out", "paid out", "expense"}},
        {"cboCreditColumn", "C&redit column:", &CsvMapping::creditColumn, {"credit", "deposit", "money in", "paid in", "income"}},
        {"cboSignColumn", "Debit/credit colu&mn:", &CsvMapping::signColumn, {"type", "dr/cr", "debit/credit"}},
        {"cboNumberColumn", "N&umber column:", &CsvMapping::numberColumn, {"check", "cheque", "number", "check number", "checkno", "ref", "reference"}},
    };
    return list;
}

} // namespace

frmCsvMapping::frmCsvMapping(const Connection& connection, const QByteArray& file, QWidget* parent)
    : QDialog(parent), connection(connection), bytes(file)
{
    setObjectName(QStringLiteral("frmCsvMapping"));
    setWindowTitle(QStringLiteral("CSV Mapping"));
    auto* grid = new QGridLayout;
    cboSaved = addPicker(grid, "cboSaved", QStringLiteral("&Saved mapping:"),
                         QStringList{NewMapping} + mappingNames(connection).valueOr({}));
    txtName = new QLineEdit(this);
    txtName->setObjectName(QStringLiteral("txtName"));
    txtName->setPlaceholderText(QStringLiteral("the bank and account, e.g. First Bank checking"));
    addRow(grid, QStringLiteral("&Name:"), txtName);
    cboAccount = new QComboBox(this);
    cboAccount->setObjectName(QStringLiteral("cboAccount"));
    cboAccount->setEditable(true);
    cboAccount->setInsertPolicy(QComboBox::NoInsert);
    cboAccount->addItems(accountNames(connection).valueOr({}));
    cboAccount->setEditText(QString());
    cboAccount->lineEdit()->setPlaceholderText(QStringLiteral("the mapping's name, or an account "
                                                              "named before"));
    addRow(grid, QStringLiteral("Ac&count:"), cboAccount);
    addPicker(grid, "cboEncoding", QStringLiteral("&Encoding:"), csvEncodings());
    addPicker(grid, "cboDelimiter", QStringLiteral("&Delimiter:"), delimiters);
    addPicker(grid, "cboDecimalMark", QStringLiteral("Decimal mar&k:"), decimalMarks);
    spnHeaderRows = new QSpinBox(this);
    spnHeaderRows->setObjectName(QStringLiteral("spnHeaderRows"));
    spnHeaderRows->setRange(0, 20);
    spnHeaderRows->setValue(1);
    addRow(grid, QStringLiteral("&Header rows:"), spnHeaderRows);
    addPicker(grid, "cboDateOrder", QStringLiteral("Date &order:"), dateOrders);
    addPicker(grid, "cboAmounts", QStringLiteral("Amo&unts:"), amountStyles);
    for (const ColumnPicker& c : columnPickers())
        addPicker(grid, c.name, QString::fromLatin1(c.label), {NoColumn});

    lblProblem = new QLabel(this);
    lblProblem->setObjectName(QStringLiteral("lblProblem"));
    lblProblem->setWordWrap(true);
    lblProblem->setStyleSheet(QStringLiteral("color: #b00000"));
    lblDateOrder = new QLabel(this);
    lblDateOrder->setObjectName(QStringLiteral("lblDateOrder"));
    lblDateOrder->setWordWrap(true);
    grdPreview = new QTableWidget(0, 5, this);
    grdPreview->setTabKeyNavigation(false); // arrows move between cells, Tab leaves
    grdPreview->setObjectName(QStringLiteral("grdPreview"));
    grdPreview->setAccessibleName(QStringLiteral("The first lines as they will be imported"));
    grdPreview->setHorizontalHeaderLabels({QStringLiteral("Date"), QStringLiteral("Payee"),
                                           QStringLiteral("Memo"), QStringLiteral("Amount"),
                                           QStringLiteral("Number")});
    grdPreview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdPreview->horizontalHeader()->setStretchLastSection(true);

    auto* import = makeLink(this, QStringLiteral("Import"), QStringLiteral("Import"));
    auto* cancel = makeLink(this, QStringLiteral("Cancel"), QStringLiteral("Cancel"));
    connect(import, &VeyHyperLinkLabel::Click, this, &frmCsvMapping::Import_Click);
    connect(cancel, &VeyHyperLinkLabel::Click, this, &QDialog::reject);
    auto* commands = new QHBoxLayout;
    commands->addStretch();
    commands->addWidget(import);
    commands->addWidget(cancel);

    auto* right = new QVBoxLayout;
    right->addWidget(new QLabel(QStringLiteral("The first lines as they will be imported:"), this));
    right->addWidget(grdPreview, 1);
    right->addWidget(lblProblem);
    right->addWidget(lblDateOrder);
    auto* body = new QHBoxLayout;
    body->addLayout(grid);
    body->addLayout(right, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(commands);

    connect(cboSaved, &QComboBox::currentIndexChanged, this, [this] {
        if (filling || cboSaved->currentIndex() == 0)
            return;
        if (Result<CsvMapping> saved = loadMapping(this->connection, cboSaved->text()))
            setMapping(saved.value());
    });
    connect(txtName, &QLineEdit::textChanged, this, [this] { refresh(); });
    connect(pickers["cboDateOrder"], &QComboBox::currentIndexChanged, this, [this] {
        if (!filling)
            orderFrom.clear(); // the user chose the order, seeing this file
    });
    connect(spnHeaderRows, &QSpinBox::valueChanged, this, [this] { refresh(); });
    resize(fontMetrics().averageCharWidth() * 150, fontMetrics().height() * 28);
    refresh();
    guessColumns();
    txtName->setFocus();
    // The next file from a bank reads through the mapping saved for it: the first saved mapping
    // that reads every line of this file is chosen, for the user to see and change.
    for (int i = 1; i < cboSaved->count(); ++i) {
        Result<CsvMapping> saved = loadMapping(connection, cboSaved->itemText(i));
        if (!saved)
            continue;
        Result<QList<CsvRow>> read = readCsv(bytes, saved.value().encoding, saved.value().delimiter);
        if (read && applyMapping(read.value(), saved.value())) {
            cboSaved->setCurrentIndex(i);
            cboSaved->setFocus();
            break;
        }
    }
}

Picker* frmCsvMapping::addPicker(QGridLayout* grid, const char* name, const QString& label,
                                 const QStringList& items)
{
    auto* picker = new Picker(this);
    picker->setObjectName(QString::fromLatin1(name));
    picker->addItems(items);
    addRow(grid, label, picker);
    pickers.insert(picker->objectName(), picker);
    if (picker != cboSaved)
        connect(picker, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    return picker;
}

CsvMapping frmCsvMapping::mapping() const
{
    CsvMapping m;
    m.name = txtName->text().trimmed();
    m.encoding = pickers["cboEncoding"]->text();
    m.delimiter = delimiterChars.at(qMax(0, pickers["cboDelimiter"]->currentIndex()));
    m.decimalMark = pickers["cboDecimalMark"]->currentIndex() == 1 ? u',' : u'.';
    m.headerRows = spnHeaderRows->value();
    m.dateOrder = DateOrder(qMax(0, pickers["cboDateOrder"]->currentIndex()));
    const int style = qMax(0, pickers["cboAmounts"]->currentIndex());
    m.amounts = style <= 1 ? AmountStyle::Signed : AmountStyle(style - 1);
    m.moneyOutPositive = style == 1;
    for (const ColumnPicker& c : columnPickers())
        m.*c.column = pickers[QString::fromLatin1(c.name)]->currentIndex() - 1;
    return m;
}

void frmCsvMapping::setMapping(const CsvMapping& m)
{
    filling = true;
    orderFrom = m.name;
    txtName->setText(m.name);
    cboAccount->setEditText(accountOf(connection, m.name).valueOr({}).name);
    pickers["cboEncoding"]->setCurrentIndex(qMax(0, csvEncodings().indexOf(m.encoding)));
    pickers["cboDelimiter"]->setCurrentIndex(qMax(0, int(delimiterChars.indexOf(m.delimiter))));
    pickers["cboDecimalMark"]->setCurrentIndex(m.decimalMark == u',' ? 1 : 0);
    spnHeaderRows->setValue(m.headerRows);
    pickers["cboDateOrder"]->setCurrentIndex(int(m.dateOrder));
    pickers["cboAmounts"]->setCurrentIndex(
        m.amounts == AmountStyle::Signed ? (m.moneyOutPositive ? 1 : 0) : int(m.amounts) + 1);
    filling = false;
    refresh();
    filling = true;
    for (const ColumnPicker& c : columnPickers())
        pickers[QString::fromLatin1(c.name)]->setCurrentIndex(m.*c.column + 1);
    filling = false;
    refresh();
}

Result<Statement> frmCsvMapping::statement() const
{
    const CsvMapping m = mapping();
    Result<QList<CsvRow>> read = readCsv(bytes, m.encoding, m.delimiter);
    if (!read)
        return read.error();
    return applyMapping(read.value(), m);
}

void frmCsvMapping::refresh()
{
    if (filling)
        return;
    const CsvMapping m = mapping();
    Result<QList<CsvRow>> read = readCsv(bytes, m.encoding, m.delimiter);
    rows = read ? read.value() : QList<CsvRow>();
    fillColumns();
    // The file tells the date order only when one order alone fits every date in it.
    Picker* order = pickers["cboDateOrder"];
    if (m.dateOrder == DateOrder::Unset && m.dateColumn >= 0) {
        const DateOrder told = dateOrderOf(rows, m);
        if (told != DateOrder::Unset) {
            filling = true;
            order->setCurrentIndex(int(told));
            filling = false;
        }
    }
    if (!read) {
        lblProblem->setText(read.error().description);
        lblDateOrder->clear();
        grdPreview->setRowCount(0);
        return;
    }
    showPreview();
}

// The column pickers list the columns of the first row, by number and by what the header says.
void frmCsvMapping::fillColumns()
{
    const QStringList first = rows.isEmpty() ? QStringList() : rows.first().fields;
    QStringList items{NoColumn};
    for (int i = 0; i < first.size(); ++i)
        items.append(spnHeaderRows->value() > 0
                         ? QStringLiteral("%1: %2").arg(i + 1).arg(first[i].left(30))
                         : QStringLiteral("Column %1").arg(i + 1));
    const bool wasFilling = filling;
    filling = true;
    for (const ColumnPicker& c : columnPickers()) {
        Picker* p = pickers[QString::fromLatin1(c.name)];
        const int chosen = p->currentIndex();
        QStringList now;
        for (int i = 0; i < p->count(); ++i)
            now.append(p->itemText(i));
        if (now != items) {
            p->clear();
            p->addItems(items);
            p->setCurrentIndex(chosen < items.size() ? qMax(0, chosen) : 0);
        }
    }
    filling = wasFilling;
}

// A new file's header names its columns: each picker takes the first column whose heading it
// knows. A file with debit and credit columns and no amount column reads as debit and credit.
void frmCsvMapping::guessColumns()
{
    if (rows.isEmpty() || spnHeaderRows->value() == 0)
        return;
    const QStringList header = rows.first().fields;
    filling = true;
    for (const ColumnPicker& c : columnPickers())
        for (int i = 0; i < header.size(); ++i)
            if (c.headings.contains(header[i].trimmed().toLower())) {
                pickers[QString::fromLatin1(c.name)]->setCurrentIndex(i + 1);
                break;
            }
    const CsvMapping m = mapping();
    if (m.amountColumn < 0 && m.debitColumn >= 0 && m.creditColumn >= 0)
        pickers["cboAmounts"]->setCurrentIndex(2);
    else if (m.amountColumn >= 0 && m.signColumn >= 0)
        pickers["cboAmounts"]->setCurrentIndex(3);
    filling = false;
    refresh();
}

void frmCsvMapping::showPreview()
{
    Result<Statement> read = applyMapping(rows, mapping());
    const QList<StatementLine> lines = read ? read.value().lines : QList<StatementLine>();
    lblProblem->setText(read ? QString() : read.error().description);
    lblDateOrder->setText(read ? bothWaysNote() : QString());
    grdPreview->setRowCount(int(qMin<qsizetype>(lines.size(), PreviewLines)));
    for (int r = 0; r < grdPreview->rowCount(); ++r) {
        const StatementLine& l = lines[r];
        const QStringList cells{l.date.toString(QStringLiteral("M/d/yyyy")), l.payee, l.memo,
                                l.amount.format(MoneyFormat::Bound), l.number};
        for (int c = 0; c < cells.size(); ++c)
            grdPreview->setItem(r, c, new QTableWidgetItem(cells[c]));
        grdPreview->item(r, 3)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    grdPreview->resizeColumnsToContents();
    widenForTable(this, grdPreview);
}

// "The dates in this file read both ways; the mapping "First Bank" reads them month first:
// "03/04/2026" is March 4, 2026.", while the order shown is a saved mapping's and the file cannot
// tell it; empty otherwise.
QString frmCsvMapping::bothWaysNote() const
{
    if (orderFrom.isEmpty())
        return {};
    const CsvMapping m = mapping();
    const std::optional<DateOfBothWays> date = dateOfBothWays(rows, m);
    if (!date)
        return {};
    const QString first = m.dateOrder == DateOrder::DayMonthYear   ? QStringLiteral("day first")
                          : m.dateOrder == DateOrder::MonthDayYear ? QStringLiteral("month first")
                                                                   : QStringLiteral("year first");
    return QStringLiteral("The dates in this file read both ways; the mapping \"%1\" reads them "
                          "%2: \"%3\" is %4.")
        .arg(orderFrom, first, date->written,
             QLocale(QLocale::English).toString(date->read, QStringLiteral("MMMM d, yyyy")));
}

void frmCsvMapping::Import_Click()
{
    Result<Statement> read = statement();
    if (!read) {
        prompts().message(this, read.error().description, QStringLiteral("CSV Mapping"),
                          Prompts::Buttons::Ok, Prompts::Icon::Warning);
        return;
    }
    // Read the other way, every line would be written on another day: the user says which.
    if (const QString note = bothWaysNote(); !note.isEmpty()
        && prompts().message(this, note + QStringLiteral(" Import the file with this order?"),
                             QStringLiteral("CSV Mapping"), Prompts::Buttons::YesNo,
                             Prompts::Icon::Question)
               != Prompts::Answer::Yes) {
        pickers["cboDateOrder"]->setFocus();
        return;
    }
    if (Status saved = saveMapping(connection, mapping(), cboAccount->currentText()); !saved) {
        prompts().message(this, saved.error().description, QStringLiteral("CSV Mapping"),
                          Prompts::Buttons::Ok, Prompts::Icon::Warning);
        return;
    }
    accept();
}

} // namespace halvo
