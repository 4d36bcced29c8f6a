#include "glance_window.h"

#include "controls/links.h"
#include "controls/pickers.h"
#include "data/connection_string.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "platform/desktop.h"
#include "platform/prompts.h"
#include "summary/portfolio_summary.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTimer>
#include <QLocale>
#include "controls/child_frame.h"
#include <QShowEvent>
#include <QStackedBarSeries>
#include <QTableWidget>
#include <cmath>

namespace halvo {

namespace {

const QString allProperties = QStringLiteral("All Properties");
const QString monthTitle = QStringLiteral("Income and Expense by Month");
const QString yearTitle = QStringLiteral("Profit by Year");
const QString noRows = QStringLiteral("The ledger holds no income or expense yet.");
const QString cannotRead = QStringLiteral("The figures cannot be read: ");
const QString chooseCell =
    QStringLiteral("Choose the Income or the Expense of a month to open the ledger at it.");

const QStringList shortMonths{"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

// The month table's columns.
constexpr int IncomeColumn = 1, ExpenseColumn = 2;

const QColor incomeColour(0x2e, 0x7d, 0x32);
const QColor expenseColour(0xc6, 0x28, 0x28);
const QColor profitColour(0x1f, 0x4e, 0x79);

// As the ledger's profit line shows money: "$1,200.00", a loss "-$150.00".
QString moneyText(const Money& amount)
{
    return amount.format(MoneyFormat::Summary);
}

// The height of a bar, in dollars to the cent; the tables hold the exact figures.
qreal barValue(const Money& amount)
{
    return qreal(amount.roundedToCents().units()) / qreal(Money::Scale);
}

QTableWidgetItem* cell(const QString& text, Qt::Alignment alignment)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    return item;
}

void setRow(QTableWidget* table, int row, const QString& period, const PeriodFigures& f)
{
    table->setItem(row, 0, cell(period, Qt::AlignLeft));
    table->setItem(row, 1, cell(moneyText(f.income), Qt::AlignRight));
    table->setItem(row, 2, cell(moneyText(f.expense), Qt::AlignRight));
    table->setItem(row, 3, cell(moneyText(f.profit()), Qt::AlignRight));
}

void setValues(QBarSet* bars, const QList<qreal>& values)
{
    bars->remove(0, bars->count());
    bars->append(values);
}

// A step of 1, 2 or 5 times a power of ten that cuts the span into about five.
qreal niceStep(qreal span)
{
    const qreal rough = span / 5;
    const qreal magnitude = std::pow(10.0, std::floor(std::log10(rough)));
    const qreal scaled = rough / magnitude;
    return (scaled <= 1 ? 1 : scaled <= 2 ? 2 : scaled <= 5 ? 5 : 10) * magnitude;
}

// The amount axis covers every bar and nought, its ticks labelled as money ("$10,000",
// "-$2,500").
void fitAxis(QCategoryAxis* axis, const QList<qreal>& values)
{
    qreal low = 0, high = 0;
    for (qreal v : values) {
        low = std::min(low, v);
        high = std::max(high, v);
    }
    if (high - low < 1)
        high = low + 100;
    const qreal step = niceStep(high - low);
    low = std::floor(low / step) * step;
    high = std::ceil(high / step) * step;
    for (const QString& label : axis->categoriesLabels())
        axis->remove(label);
    // A label stands at the end of its category: the first category ends at the axis's start,
    // so that it is labelled too.
    axis->setStartValue(low - step / 1000);
    for (int i = 0; low + i * step <= high + step / 2; ++i) {
        const qreal tick = low + i * step;
        axis->append(
            Money::fromCents(std::llround(tick * 100)).format(QStringLiteral("$###,###,##0")),
            tick);
    }
    axis->setRange(low, high);
}

QCategoryAxis* makeAmountAxis()
{
    auto* axis = new QCategoryAxis;
    axis->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    axis->setTruncateLabels(false);
    return axis;
}

QChartView* makeView(QChart* chart, QWidget* parent, const QString& name)
{
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->setAnimationOptions(QChart::NoAnimation);
    auto* view = new QChartView(chart, parent);
    view->setObjectName(name);
    view->setRenderHint(QPainter::Antialiasing);
    // The table beside it is the keyboard's way to the same figures.
    view->setFocusPolicy(Qt::NoFocus);
    view->setAccessibleDescription(
        QStringLiteral("A chart; the table beside it holds its figures."));
    view->setMinimumSize(470, 250);
    return view;
}

} // namespace

frmYearAtAGlance::frmYearAtAGlance(const QString& dataFolder, GlanceContext glanceContext,
                                   QWidget* parent)
    : QWidget(parent)
    , folder(dataFolder)
    , context(std::move(glanceContext))
    , summary(context.summary)
{
    setObjectName(QStringLiteral("frmYearAtAGlance"));
    setWindowTitle(QStringLiteral("Year at a Glance"));
    createPickers();
    createMonthChart();
    createYearChart();
    grdMonths = createTable(QStringLiteral("grdMonths"), QStringLiteral("Month"));
    grdYears = createTable(QStringLiteral("grdYears"), QStringLiteral("Year"));
    connect(grdMonths, &QTableWidget::activated, this, &frmYearAtAGlance::monthActivated);
    // Twelve months, no more: the table is as high as they are, the chart beside it no lower.
    grdMonths->setFixedHeight(grdMonths->horizontalHeader()->sizeHint().height()
                              + 12 * grdMonths->verticalHeader()->defaultSectionSize()
                              + 2 * grdMonths->frameWidth());
    lblNote = new QLabel(this);
    lblNote->setObjectName(QStringLiteral("lblNote"));
    lblNote->setWordWrap(true);
    lblNote->setTextInteractionFlags(Qt::TextSelectableByMouse);
    lblNote->hide();
    OpenLedger = makeLink(this, QStringLiteral("OpenLedger"), QStringLiteral("Open Ledger"));
    connect(OpenLedger, &VeyHyperLinkLabel::Click, this, &frmYearAtAGlance::OpenLedger_Click);
    Close = makeLink(this, QStringLiteral("Close"), QStringLiteral("Close"));
    connect(Close, &VeyHyperLinkLabel::Click, this, &frmYearAtAGlance::Close_Click);
    createLayout();
    showNothing(QString());
    if (summary)
        connect(summary, &PortfolioSummary::fileChanged, this, &frmYearAtAGlance::followFile);
}

frmYearAtAGlance::~frmYearAtAGlance() = default;

void frmYearAtAGlance::createPickers()
{
    lblShow = new QLabel(QStringLiteral("&Show:"), this);
    lblShow->setObjectName(QStringLiteral("lblShow"));
    cboNickname = new Picker(this);
    cboNickname->setObjectName(QStringLiteral("cboNickname"));
    cboNickname->setAccessibleName(QStringLiteral("Show:"));
    cboNickname->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 14);
    lblShow->setBuddy(cboNickname);
    lblYear = new QLabel(QStringLiteral("&Year:"), this);
    lblYear->setObjectName(QStringLiteral("lblYear"));
    cboYear = new Picker(this);
    cboYear->setObjectName(QStringLiteral("cboYear"));
    cboYear->setAccessibleName(QStringLiteral("Year:"));
    cboYear->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00000")) * 2);
    lblYear->setBuddy(cboYear);
    // A choice the user makes shows its figures at once, and says so when they cannot be read.
    for (Picker* picker : {cboNickname, cboYear})
        connect(picker, &QComboBox::currentIndexChanged, this, [this] {
            if (!filling && loaded)
                showFigures();
        });
}

// Two bar sets, income beside expense for each month; a bar clicked opens its side of the
// ledger at its month.
void frmYearAtAGlance::createMonthChart()
{
    monthChart = new QChart;
    incomeBars = new QBarSet(QStringLiteral("Income"));
    incomeBars->setColor(incomeColour);
    expenseBars = new QBarSet(QStringLiteral("Expense"));
    expenseBars->setColor(expenseColour);
    auto* series = new QBarSeries;
    series->append(incomeBars);
    series->append(expenseBars);
    monthChart->addSeries(series);
    auto* months = new QBarCategoryAxis;
    months->append(shortMonths);
    months->setTruncateLabels(false);
    monthChart->addAxis(months, Qt::AlignBottom);
    series->attachAxis(months);
    monthAmounts = makeAmountAxis();
    monthChart->addAxis(monthAmounts, Qt::AlignLeft);
    series->attachAxis(monthAmounts);
    connect(series, &QBarSeries::clicked, this, [this](int index, QBarSet* bars) {
        openMonth(bars == incomeBars ? LedgerSide::Income : LedgerSide::Expense, index + 1);
    });
    chtMonths = makeView(monthChart, this, QStringLiteral("chtMonths"));
}

// One bar a year: a profit rises in the profit colour, a loss falls in the expense colour.
void frmYearAtAGlance::createYearChart()
{
    yearChart = new QChart;
    yearChart->setTitle(yearTitle);
    profitBars = new QBarSet(QStringLiteral("Profit"));
    profitBars->setColor(profitColour);
    lossBars = new QBarSet(QStringLiteral("Loss"));
    lossBars->setColor(expenseColour);
    auto* series = new QStackedBarSeries;
    series->append(profitBars);
    series->append(lossBars);
    yearChart->addSeries(series);
    yearNames = new QBarCategoryAxis;
    yearNames->setTruncateLabels(false);
    yearChart->addAxis(yearNames, Qt::AlignBottom);
    series->attachAxis(yearNames);
    yearAmounts = makeAmountAxis();
    yearChart->addAxis(yearAmounts, Qt::AlignLeft);
    series->attachAxis(yearAmounts);
    chtYears = makeView(yearChart, this, QStringLiteral("chtYears"));
    chtYears->setAccessibleName(yearTitle);
}

QTableWidget* frmYearAtAGlance::createTable(const QString& name, const QString& firstHeading)
{
    auto* table = new QTableWidget(0, 4, this);
    table->setObjectName(name);
    table->setHorizontalHeaderLabels({firstHeading, QStringLiteral("Income"),
                                      QStringLiteral("Expense"), QStringLiteral("Profit")});
    table->verticalHeader()->hide();
    table->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectItems);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setTabKeyNavigation(false); // Tab goes on to the next table or command
    table->setWordWrap(false);
    // Wide enough for a month's name and for the largest amount the ledger shows whole.
    const int pad = 2 * fontMetrics().horizontalAdvance(QLatin1Char('M'));
    table->setColumnWidth(0, fontMetrics().horizontalAdvance(QStringLiteral("September")) + pad);
    for (int column = 1; column < 4; ++column)
        table->setColumnWidth(
            column, fontMetrics().horizontalAdvance(QStringLiteral("-$99,999,999.99")) + pad);
    int width = 2 * table->frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    for (int column = 0; column < 4; ++column)
        width += table->columnWidth(column);
    table->setFixedWidth(width);
    return table;
}

void frmYearAtAGlance::createLayout()
{
    auto* choices = new QHBoxLayout;
    choices->addWidget(lblShow);
    choices->addWidget(cboNickname);
    choices->addSpacing(2 * fontMetrics().horizontalAdvance(QLatin1Char('M')));
    choices->addWidget(lblYear);
    choices->addWidget(cboYear);
    choices->addStretch(1);

    auto* commands = new QHBoxLayout;
    commands->addWidget(OpenLedger);
    commands->addWidget(Close);
    commands->addStretch(1);

    auto* grid = new QGridLayout(this);
    grid->addLayout(choices, 0, 0, 1, 2);
    grid->addWidget(chtMonths, 1, 0);
    grid->addWidget(grdMonths, 1, 1, Qt::AlignTop);
    grid->addWidget(chtYears, 2, 0);
    grid->addWidget(grdYears, 2, 1);
    grid->addWidget(lblNote, 3, 0, 1, 2);
    grid->addLayout(commands, 4, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(1, 1);
    grid->setRowStretch(2, 1);

    setFocusProxy(cboNickname);
    setTabOrder(cboNickname, cboYear);
    setTabOrder(cboYear, grdMonths);
    setTabOrder(grdMonths, grdYears);
    setTabOrder(grdYears, OpenLedger);
    setTabOrder(OpenLedger, Close);
}

QString frmYearAtAGlance::property() const
{
    return cboNickname->currentIndex() > 0 ? cboNickname->currentText() : QString();
}

int frmYearAtAGlance::year() const
{
    return span ? cboYear->currentText().toInt() : 0;
}

// ---- reading ----

void frmYearAtAGlance::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!loaded)
        Form_Load();
    else if (stale)
        readFile(Failure::Noted);
}

// The window opens its own connection, as every window does, when it is first shown.
void frmYearAtAGlance::Form_Load()
{
    loaded = true;
    Result<Connection> opened = Connection::open(standardConnectionString(folder));
    if (!opened) {
        fail(Failure::Told, opened.error());
        return;
    }
    db = opened.value();
    readFile(Failure::Told);
}

// The summary watches the file and says when it may have changed; a window out of sight reads
// again when it is shown.
void frmYearAtAGlance::followFile()
{
    if (!loaded || !db)
        return;
    if (!isVisible()) {
        stale = true;
        return;
    }
    readFile(Failure::Noted);
}

bool frmYearAtAGlance::readFile(Failure failure)
{
    stale = false;
    const Status filled = fillPickers();
    if (!filled) {
        fail(failure, filled.error());
        return false;
    }
    return showFigures(failure);
}

// The properties in nickname order after "All Properties", and the years newest first; a choice
// still there stays chosen. The year first chosen is the current one when the ledger has rows
// of it, else the newest.
Status frmYearAtAGlance::fillPickers()
{
    const Result<Rows> properties =
        db->select(QStringLiteral("SELECT BldNickName FROM tblBuilding ORDER BY BldNickName ASC"));
    if (!properties)
        return properties.error();
    const Result<std::optional<YearSpan>> years = ledgerYears(*db);
    if (!years)
        return years.error();
    std::optional<int> defaultYear;
    if (years.value()) {
        const int current = Clock::today().year();
        const YearSpan& s = *years.value();
        const bool inSpan = current >= s.first && current <= s.last;
        defaultYear = inSpan && ledgerHasRowsIn(*db, current).valueOr(false) ? current : s.last;
    }

    filling = true;
    const QString chosenProperty =
        cboNickname->currentIndex() > 0 ? cboNickname->currentText() : QString();
    QStringList nicknames{allProperties};
    for (const QVariantList& row : properties.value().values) {
        const QString nickname = row.value(0).toString();
        if (!nickname.isEmpty() && !nicknames.contains(nickname))
            nicknames.append(nickname);
    }
    cboNickname->clear();
    cboNickname->addItems(nicknames);
    cboNickname->setCurrentIndex(std::max(0, int(nicknames.indexOf(chosenProperty))));

    const QString chosenYear = span ? cboYear->currentText() : QString();
    span = years.value();
    QStringList yearTexts;
    if (span)
        for (int y = span->last; y >= span->first; --y)
            yearTexts.append(QString::number(y));
    cboYear->clear();
    cboYear->addItems(yearTexts);
    if (span) {
        const qsizetype kept = yearTexts.indexOf(chosenYear);
        cboYear->setCurrentIndex(kept >= 0 ? int(kept)
                                           : int(yearTexts.indexOf(QString::number(*defaultYear))));
    }
    filling = false;
    return {};
}

bool frmYearAtAGlance::showFigures(Failure failure)
{
    if (!db)
        return false;
    if (!span) {
        showNothing(noRows);
        return true;
    }
    const Result<MonthFigures> months = monthFigures(*db, property(), year());
    if (!months) {
        fail(failure, months.error());
        return false;
    }
    const Result<QList<YearFigures>> years = yearFigures(*db, property(), *span);
    if (!years) {
        fail(failure, years.error());
        return false;
    }
    showMonths(months.value());
    showYears(years.value());
    lblNote->clear();
    lblNote->hide();
    return true;
}

// ---- showing ----

void frmYearAtAGlance::showMonths(const MonthFigures& months)
{
    const QString title = monthTitle + QStringLiteral(", ") + QString::number(year());
    monthChart->setTitle(title);
    chtMonths->setAccessibleName(title);
    grdMonths->setAccessibleName(title);
    QList<qreal> income, expense;
    grdMonths->setRowCount(12);
    for (int m = 0; m < 12; ++m) {
        const PeriodFigures& f = months[size_t(m)];
        setRow(grdMonths, m, QLocale::c().monthName(m + 1), f);
        income.append(barValue(f.income));
        expense.append(barValue(f.expense));
    }
    setValues(incomeBars, income);
    setValues(expenseBars, expense);
    fitAxis(monthAmounts, income + expense);
    if (!grdMonths->currentIndex().isValid())
        grdMonths->setCurrentCell(0, IncomeColumn);
}

void frmYearAtAGlance::showYears(const QList<YearFigures>& years)
{
    grdYears->setAccessibleName(yearTitle);
    grdYears->setRowCount(int(years.size()));
    QStringList names;
    QList<qreal> profits, losses;
    for (int row = 0; row < years.size(); ++row) {
        const YearFigures& y = years[row];
        names.append(QString::number(y.year));
        setRow(grdYears, row, names.last(), y.figures);
        const qreal profit = barValue(y.figures.profit());
        profits.append(std::max<qreal>(profit, 0));
        losses.append(std::min<qreal>(profit, 0));
    }
    yearNames->setCategories(names);
    // Many years stand upright under their bars, so that each stays readable.
    yearNames->setLabelsAngle(names.size() > 8 ? -90 : 0);
    setValues(profitBars, profits);
    setValues(lossBars, losses);
    fitAxis(yearAmounts, profits + losses);
    if (!grdYears->currentIndex().isValid() && !years.isEmpty())
        grdYears->setCurrentCell(int(years.size()) - 1, 0);
}

// Empty charts and tables, and a sentence saying why (none before the first reading).
void frmYearAtAGlance::showNothing(const QString& note)
{
    monthChart->setTitle(monthTitle);
    chtMonths->setAccessibleName(monthTitle);
    grdMonths->setAccessibleName(monthTitle);
    grdYears->setAccessibleName(yearTitle);
    grdMonths->setRowCount(0);
    grdYears->setRowCount(0);
    for (QBarSet* bars : {incomeBars, expenseBars, profitBars, lossBars})
        bars->remove(0, bars->count());
    yearNames->clear();
    fitAxis(monthAmounts, {});
    fitAxis(yearAmounts, {});
    lblNote->setText(note);
    lblNote->setVisible(!note.isEmpty());
}

// Figures that cannot be read are not shown, so that none is taken for the file's. The user is
// told when the reading was theirs (opening, a choice); a reading that follows the file says it
// in the window only, rather than at every tick it tries again.
void frmYearAtAGlance::fail(Failure failure, const Error& error)
{
    const QString text = cannotRead + error.description;
    showNothing(text);
    // Tried again in a second: the file may only have been busy.
    stale = true;
    QTimer::singleShot(1000, this, [this] {
        if (stale)
            followFile();
    });
    if (failure == Failure::Told)
        prompts().message(this, text, {}, Prompts::Buttons::Ok, Prompts::Icon::Warning);
}

// ---- commands ----

void frmYearAtAGlance::openMonth(LedgerSide side, int month)
{
    if (!span || month < 1 || month > 12 || !context.openLedger)
        return;
    context.openLedger(side, year(), month, property());
}

void frmYearAtAGlance::monthActivated(const QModelIndex& index)
{
    if (!index.isValid() || (index.column() != IncomeColumn && index.column() != ExpenseColumn)) {
        prompts().message(this, chooseCell);
        return;
    }
    openMonth(index.column() == IncomeColumn ? LedgerSide::Income : LedgerSide::Expense,
              index.row() + 1);
}

void frmYearAtAGlance::OpenLedger_Click()
{
    monthActivated(grdMonths->currentIndex());
}

void frmYearAtAGlance::Close_Click() { closeFramed(this); }

} // namespace halvo
