#include "summary_panel.h"

#include "platform/twips.h"

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
// The amount a value label shows, as money.
const char* const amountMark = "halvoSummaryAmount";

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
        const Money amount = label()->property(amountMark).value<Money>();
        return double(amount.units()) / Money::Scale;
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

SummaryPanel::SummaryPanel(PortfolioSummary* summary, QWidget* parent)
    : QWidget(parent), summary(summary)
{
    setObjectName(QStringLiteral("Picture1"));
    setAccessibleName(tr("Portfolio summary"));
    installAccessibleValues();
    createLayout();
    if (summary)
        connect(summary, &PortfolioSummary::changed, this, &SummaryPanel::showFigures);
    showFigures();
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
                profitCaption_ = caption;
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

// Every figure as the summary last computed it, each in the summary's format. Until its first
// computation the labels keep "$ 0.00" and the profit caption "Profit/Loss:".
void SummaryPanel::showFigures()
{
    if (!summary || !summary->isComputed())
        return;
    const PortfolioFigures& f = summary->figures();
    const std::pair<const char*, std::optional<Money>> shown[] = {
        {"lblMortgageValue", f.marketValue},   {"lblMortgageLoans", f.loanBalance},
        {"lblEquity", f.equity()},             {"lblMortgagePmt", f.mortgage},
        {"lblInsAmt", f.premiums},             {"lblSecurityDep", f.deposits},
        {"lblMangFee", f.managementFees},      {"lblRentAmt", f.monthlyRents},
        {"lblIncome", f.income},               {"lblExpense", f.expense},
        {"lblAnnualProfitandLoss", f.profit()}, {"lblNet", f.netWorth()},
        {"lblCashBalance", f.cashBalance()}};
    const QString profitCaption = QString::number(f.year) + tr(" Profit/Loss: ");
    if (profitCaption_->text() != profitCaption) {
        profitCaption_->setText(profitCaption);
        announceName(values.value(QStringLiteral("lblAnnualProfitandLoss")));
    }
    for (const auto& [name, amount] : shown)
        showAmount(values.value(QString::fromLatin1(name)), amount);
    colourAll();
}

// A total whose statement failed shows "$0.00".
void SummaryPanel::showAmount(QLabel* label, const std::optional<Money>& amount)
{
    const Money value = amount.value_or(Money());
    const QString text = amount ? value.format(MoneyFormat::Summary) : failedTotal;
    label->setProperty(amountMark, QVariant::fromValue(value));
    if (label->text() == text)
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

void SummaryPanel::colourAll()
{
    for (const char* name : colourOrder) {
        QLabel* label = values.value(QString::fromLatin1(name));
        if (!label)
            continue;
        QPalette colours = label->palette();
        colours.setColor(QPalette::WindowText, label->property(amountMark).value<Money>().isNegative()
                                                   ? QColor(255, 0, 0)
                                                   : palette().color(QPalette::ButtonText));
        label->setPalette(colours);
    }
}

} // namespace halvo
