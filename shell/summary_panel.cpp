#include "summary_panel.h"

#include "platform/twips.h"

#include "platform/desktop.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QGridLayout>
#include <QLabel>
#include <mutex>

namespace halvo {

namespace {

struct Row {
    const char* caption; // empty for the profit row, whose caption is lblPandL
    const char* hint;
    const char* valueName;
};

struct Group {
    const char* heading;
    std::initializer_list<Row> rows;
};

// Headings and rows from top to bottom.
const Group groups[] = {
    {"Property Overview",
     {{"Market Value:", "Estimate Market Value of all Properties", "lblMortgageValue"},
      {"Equity:", "Total Equity for all Properties", "lblEquity"}}},
    {"Loan Overview",
     {{"Loans:", "Total of all Outstanding Loans", "lblMortgageLoans"},
      {"Mortgage Pmt.:", "Total Monthly Mortgage Payment", "lblMortgagePmt"}}},
    {"Insurance Overview", {{"Insurance:", "Annual Insurance Premiums", "lblInsAmt"}}},
    {"Rental Overview",
     {{"Security Dep.:", "Total Security Deposits", "lblSecurityDep"},
      {"Mgnt Fees:", "Total Monthly Management Fees", "lblMangFee"},
      {"Monthly Rents:", "Total Monthly Rents", "lblRentAmt"}}},
    {"Income Overview", {{"Income:", "Accumulative Income", "lblIncome"}}},
    {"Expense Overview", {{"Expense:", "Accumulative Expense", "lblExpense"}}},
    {"Cash Overview",
     {{"", "Annual Profit and Loss", "lblAnnualProfitandLoss"},
      {"Net Worth:", "Overall Net Worth ", "lblNet"},
      {"Cash Balance:", "Current Cash Balance", "lblCashBalance"}}},
};

// The order in which the colours are set after every tick.
const char* const colourOrder[] = {
    "lblNet",         "lblAnnualProfitandLoss", "lblCashBalance", "lblExpense", "lblIncome",
    "lblRentAmt",     "lblMangFee",             "lblSecurityDep", "lblInsAmt",  "lblMortgagePmt",
    "lblMortgageLoans", "lblEquity",            "lblMortgageValue"};

const QString notYetComputed = QStringLiteral("$ 0.00");
const QString failedTotal = QStringLiteral("$0.00");

// Marks the value labels before their first text: a label's interface is made the first time
// anything asks for it (its first text already does), and is kept for the label's lifetime.
const char* const valueLabelMark = "halvoSummaryValue";
// The caption label beside a value label, whose text names the figure.
const char* const captionMark = "halvoSummaryCaption";

// What a screen reader reads of a value label: the figure as a sighted user reads the row, its
// caption and its amount ("Market Value: $100,000.00", "2026 Profit/Loss: $1,084.50"), as its
// name; the amount as its value, as text and as a number. A reader that reads only a name and a
// text hears the amount as well as a reader that asks for the value.
class SummaryValueAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit SummaryValueAccessible(QLabel* label)
        : QAccessibleWidget(label, QAccessible::StaticText)
    {
    }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name) {
            const auto* caption =
                qobject_cast<const QLabel*>(label()->property(captionMark).value<QObject*>());
            const QString named = caption
                                      ? QString(caption->text()).remove(QLatin1Char(':')).trimmed()
                                      : QAccessibleWidget::text(kind);
            return named + QStringLiteral(": ") + label()->text();
        }
        return kind == QAccessible::Value ? label()->text() : QAccessibleWidget::text(kind);
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // The amount as a number, for clients that read a value as one (the bridge to the desktop's
    // accessibility bus passes a value change on only for objects that have one). Read only.
    QVariant currentValue() const override
    {
        const auto amount = Money::parse(QString(label()->text()).remove(QLatin1Char(' ')));
        return double(amount.valueOr(Money()).units()) / Money::Scale;
    }
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return {}; }
    QVariant minimumValue() const override { return {}; }
    QVariant minimumStepSize() const override { return {}; }

private:
    QLabel* label() const { return static_cast<QLabel*>(widget()); }
};

QAccessibleInterface* createValueInterface(const QString& className, QObject* object)
{
    if (className != QLatin1String("QLabel") || !object->property(valueLabelMark).toBool())
        return nullptr;
    auto* label = qobject_cast<QLabel*>(object);
    return label ? new SummaryValueAccessible(label) : nullptr;
}

void installAccessibleValues()
{
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(&createValueInterface); });
}

// Rows stand 360 twips apart, evenly: the wider gaps once left above "Net Worth:" and
// "Cash Balance:" read as missing rows, so the strip runs without them.
constexpr int rowPitch = 360;
constexpr int indent = 120;

} // namespace

SummaryPanel::SummaryPanel(const QString& programFolder, QWidget* parent)
    : QWidget(parent), reader(programFolder), shownTotals(new YearTotals(this))
{
    setObjectName(QStringLiteral("Picture1"));
    setAccessibleName(tr("Portfolio summary"));
    installAccessibleValues();
    createLayout();
}

void SummaryPanel::createLayout()
{
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(twipsToPixels(120, this), twipsToPixels(240, this),
                             twipsToPixels(120, this), twipsToPixels(120, this));
    grid->setHorizontalSpacing(twipsToPixels(120, this));
    grid->setVerticalSpacing(0);
    grid->setColumnMinimumWidth(0, twipsToPixels(indent, this));
    const int pitch = twipsToPixels(rowPitch, this);

    int line = 0;
    for (const Group& group : groups) {
        auto* heading = new QLabel(tr(group.heading), this);
        QFont bold = heading->font();
        bold.setBold(true);
        heading->setFont(bold);
        grid->addWidget(heading, line, 0, 1, 3);
        grid->setRowMinimumHeight(line++, pitch);
        for (const Row& row : group.rows) {
            const QString name = QString::fromLatin1(row.valueName);
            QLabel* caption = nullptr;
            if (*row.caption) {
                caption = new QLabel(tr(row.caption), this);
            } else {
                caption = new QLabel(tr("Profit/Loss:"), this);
                caption->setObjectName(QStringLiteral("lblPandL"));
                profitCaption = caption;
            }
            caption->setToolTip(tr(row.hint));
            grid->addWidget(caption, line, 1);
            grid->addWidget(createValueLabel(name, caption, tr(row.hint)), line, 2);
            grid->setRowMinimumHeight(line++, pitch);
        }
    }
    grid->setRowStretch(line, 1);
    grid->setColumnStretch(2, 1);
}

QLabel* SummaryPanel::createValueLabel(const QString& name, const QLabel* caption,
                                       const QString& hint)
{
    auto* value = new QLabel(this);
    value->setProperty(valueLabelMark, true);
    value->setObjectName(name);
    value->setProperty(captionMark, QVariant::fromValue<QObject*>(const_cast<QLabel*>(caption)));
    value->setAccessibleDescription(hint);
    value->setText(notYetComputed);
    // The amount is drawn in its own text colour whatever surface the strip lies on (in a
    // scrolling area the inherited role would be that of the area's text).
    value->setForegroundRole(QPalette::WindowText);
    value->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Wide enough for the largest amount the format writes without crowding.
    value->setMinimumWidth(
        value->fontMetrics().horizontalAdvance(QStringLiteral("-$999,999,999.99")));
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    values.insert(name, value);
    return value;
}

QLabel* SummaryPanel::valueLabel(const QString& name) const { return values.value(name); }

Money SummaryPanel::shown(const QString& name) const
{
    const QLabel* label = values.value(name);
    if (!label)
        return {};
    // "$ 0.00" before the first tick has a blank that a typed amount would not.
    auto amount = Money::parse(QString(label->text()).remove(QLatin1Char(' ')));
    return amount.valueOr(Money());
}

void SummaryPanel::write(const QString& name, Money amount)
{
    showText(name, amount.format(MoneyFormat::Summary));
}

void SummaryPanel::writeFailed(const QString& name) { showText(name, failedTotal); }

void SummaryPanel::showText(const QString& name, const QString& text)
{
    QLabel* label = values.value(name);
    if (!label || label->text() == text)
        return;
    label->setText(text);
    // A screen reader following the strip hears the new amount, in the value and in the name.
    QAccessibleValueChangeEvent changed(label, text);
    QAccessible::updateAccessibility(&changed);
    announceName(label);
}

void SummaryPanel::announceName(QLabel* label)
{
    QAccessibleEvent renamed(label, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
}

void SummaryPanel::tick()
{
    const int year = Clock::today().year();
    const PortfolioTotals totals = reader.read(year);
    const auto show = [this](const char* name, const std::optional<Money>& total) {
        total ? write(QString::fromLatin1(name), *total) : writeFailed(QString::fromLatin1(name));
    };

    // Loans. A failed total counts as 0 in the equity, as the sum it stands for was never taken.
    show("lblMortgageValue", totals.marketValue);
    show("lblMortgageLoans", totals.loanBalance);
    write(QStringLiteral("lblEquity"),
          totals.marketValue.value_or(Money()) - totals.loanBalance.value_or(Money()));
    show("lblMortgagePmt", totals.mortgage);
    show("lblInsAmt", totals.premiums);
    show("lblSecurityDep", totals.deposits);
    show("lblMangFee", totals.managementFees);
    show("lblRentAmt", totals.monthlyRents);

    // The current year's ledger.
    write(QStringLiteral("lblIncome"), totals.ledger.income);
    write(QStringLiteral("lblExpense"), totals.ledger.expense);
    const QString profitCaptionText = QString::number(year) + tr(" Profit/Loss: ");
    if (profitCaption->text() != profitCaptionText) {
        profitCaption->setText(profitCaptionText);
        announceName(values.value(QStringLiteral("lblAnnualProfitandLoss")));
    }

    // Profit, net worth and cash balance are worked out from the amounts as the labels show
    // them, to the cent, so that Net Worth is Cash Balance plus Equity exactly as shown. The
    // arithmetic is exact: the shown amounts are read back as money, not as floating point.
    const Money income = shown(QStringLiteral("lblIncome"));
    const Money expense = shown(QStringLiteral("lblExpense"));
    const Money equity = shown(QStringLiteral("lblEquity"));
    write(QStringLiteral("lblAnnualProfitandLoss"), income - expense);
    write(QStringLiteral("lblNet"), income - expense + equity);
    write(QStringLiteral("lblCashBalance"), income - expense);

    colourAll();
    shownTotals->setShown(year, values.value(QStringLiteral("lblIncome"))->text(),
                          values.value(QStringLiteral("lblExpense"))->text());
}

void SummaryPanel::colourAll()
{
    for (const char* name : colourOrder) {
        QLabel* label = values.value(QString::fromLatin1(name));
        if (!label)
            continue;
        QPalette colours = label->palette();
        colours.setColor(QPalette::WindowText, shown(label->objectName()).isNegative()
                                                   ? QColor(255, 0, 0)
                                                   : palette().color(QPalette::ButtonText));
        label->setPalette(colours);
    }
}

} // namespace halvo
