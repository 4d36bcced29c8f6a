#include "vendors_paid_selection.h"

#include "controls/links.h"
#include "controls/pickers.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "platform/desktop.h"
#include "platform/prompts.h"
#include "reports/report_layouts.h"
#include "reports/report_preview.h"
#include "tax/vendors_paid_sheet.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QSignalBlocker>
#include <QTableWidget>

namespace halvo {

namespace {
const QString Title = QStringLiteral("Vendors Paid");
enum VendorColumn { TickColumn, PayeeColumn, TotalColumn };
} // namespace

frmVendorsPaid::frmVendorsPaid(const QString& dataFolder, QWidget* parent)
    : ReportSelection(dataFolder, Title, {}, {}, parent) {
    setObjectName(QStringLiteral("frmVendorsPaid"));
    setProperty("helpTopic", QStringLiteral("vendorspaid")); // F1 opens its section of the guide
    ExportCsv = makeLink(this, QStringLiteral("ExportCsv"), QStringLiteral("Export to CSV"));
    connect(ExportCsv, &VeyHyperLinkLabel::Click, this, [this] { ExportCsv_Click(); });
    addCommand(ExportCsv);

    Label3 = new QLabel(QStringLiteral("&Vendors paid (Space ticks \"No 1099 needed\"):"), this);
    Label3->setObjectName(QStringLiteral("Label3"));
    grdVendors = new QTableWidget(0, 3, this);
    grdVendors->setObjectName(QStringLiteral("grdVendors"));
    grdVendors->setAccessibleName(QStringLiteral("Vendors paid"));
    Label3->setBuddy(grdVendors);
    grdVendors->setHorizontalHeaderLabels(
        {QStringLiteral("No 1099 needed"), QStringLiteral("Payee"), QStringLiteral("Total")});
    grdVendors->setTabKeyNavigation(false); // arrows move between rows, Tab leaves
    grdVendors->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdVendors->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdVendors->setSelectionMode(QAbstractItemView::SingleSelection);
    grdVendors->verticalHeader()->hide();
    grdVendors->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    grdVendors->horizontalHeader()->setStretchLastSection(true);
    grdVendors->setMinimumHeight(fontMetrics().height() * 10);
    // Wide enough for the tick's heading, a payee's name and a total of millions, whole.
    grdVendors->setMinimumWidth(fontMetrics().averageCharWidth() * 64);
    grdVendors->installEventFilter(this);
    connect(grdVendors, &QTableWidget::itemChanged, this,
            [this](QTableWidgetItem* item) { tickChanged(item); });

    auto* grid = static_cast<QGridLayout*>(layout());
    const int row = grid->rowCount();
    grid->addWidget(Label3, row, 0, 1, 2);
    grid->addWidget(grdVendors, row + 1, 0, 1, 2);
    setTabOrder(ExportCsv, grdVendors);
    connect(cboYear, &QComboBox::currentIndexChanged, this, [this] {
        if (isLoaded())
            refreshVendors();
    });
}

void frmVendorsPaid::fillLists() {
    fillYears(yearsDownTo2000(Clock::today().year()));
    refreshVendors();
}

void frmVendorsPaid::refreshVendors() {
    const QSignalBlocker quiet(grdVendors);
    grdVendors->setRowCount(0);
    shown.reset();
    Result<Connection> connection = database();
    Result<VendorsPaid> paid = connection ? vendorsPaid(connection.value(), cboYear->text().toInt(),
                                                      Payments::TotalsOnly)
                                          : Result<VendorsPaid>(connection.error());
    if (!paid) {
        prompts().message(this, paid.error().description, Title, Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
        return;
    }
    shown = std::move(paid).value();
    // A role of shared books that may only read sees the ticks and cannot change them.
    const Qt::ItemFlags tickable = connection.value().mayWrite() ? Qt::ItemIsUserCheckable
                                                                 : Qt::NoItemFlags;
    grdVendors->setRowCount(int(shown->vendors.size()));
    for (int r = 0; r < shown->vendors.size(); ++r) {
        const VendorPaid& v = shown->vendors.at(r);
        auto* tick = new QTableWidgetItem();
        tick->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | tickable);
        tick->setCheckState(v.noFormNeeded ? Qt::Checked : Qt::Unchecked);
        grdVendors->setItem(r, TickColumn, tick);
        auto* payee = new QTableWidgetItem(v.vendor.isEmpty() ? v.payee : v.vendor);
        payee->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        grdVendors->setItem(r, PayeeColumn, payee);
        auto* total = new QTableWidgetItem(v.total.format(MoneyFormat::Bound));
        total->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        total->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grdVendors->setItem(r, TotalColumn, total);
    }
    if (grdVendors->rowCount() > 0)
        grdVendors->setCurrentCell(0, TickColumn);
}

// Space ticks or unticks the current row, wherever the current cell is in it.
bool frmVendorsPaid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == grdVendors && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
        if (QTableWidgetItem* tick = grdVendors->item(grdVendors->currentRow(), TickColumn);
            tick && tick->flags().testFlag(Qt::ItemIsUserCheckable))
            tick->setCheckState(tick->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
        return true;
    }
    return ReportSelection::eventFilter(watched, event);
}

// The tick is kept as soon as it is made; one that cannot be kept is taken back, and the user
// told why.
void frmVendorsPaid::tickChanged(QTableWidgetItem* item) {
    if (!shown || item->column() != TickColumn || item->row() >= shown->vendors.size())
        return;
    VendorPaid& vendor = shown->vendors[item->row()];
    const bool ticked = item->checkState() == Qt::Checked;
    if (ticked == vendor.noFormNeeded)
        return;
    Result<Connection> connection = database();
    const Status saved =
        connection ? saveNoFormNeeded(connection.value(), shown->year, vendor.payee, ticked)
                   : Status(connection.error());
    if (!saved) {
        const QSignalBlocker quiet(grdVendors);
        item->setCheckState(vendor.noFormNeeded ? Qt::Checked : Qt::Unchecked);
        prompts().message(this, saved.error().description, Title, Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
        return;
    }
    vendor.noFormNeeded = ticked;
}

std::optional<VendorsPaid> frmVendorsPaid::vendors() {
    const int year = cboYear->text().toInt();
    Result<Connection> connection = database();
    Result<VendorsPaid> paid = connection ? vendorsPaid(connection.value(), year)
                                          : Result<VendorsPaid>(connection.error());
    if (!paid) {
        prompts().message(this, paid.error().description, Title, Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
        return std::nullopt;
    }
    if (paid.value().vendors.isEmpty()) {
        prompts().message(this,
                          QStringLiteral("No vendor was paid %1 or more in %2, so line A of "
                                         "Schedule E is answered No.")
                              .arg(paid.value().threshold.amount.format(MoneyFormat::Bound))
                              .arg(year),
                          Title);
        return std::nullopt;
    }
    return std::move(paid).value();
}

void frmVendorsPaid::GenerateReport_Click() {
    const std::optional<VendorsPaid> paid = vendors();
    if (!paid)
        return;
    ReportLayout layout = ReportLayouts::rptVendorsPaid();
    layout.title = vendorsPaidTitle(*paid);
    // The preview is a window of its own, over the main frame when there is one.
    QWidget* frame = window() == this ? nullptr : window();
    Result<ReportPreview*> preview = ReportPreview::show(
        std::move(layout), std::make_shared<const MemoryRows>(vendorsPaidRows(*paid)),
        Clock::today(), frame);
    if (!preview) {
        prompts().message(
            this, QStringLiteral("The report cannot be shown: ") + preview.error().description,
            Title, Prompts::Buttons::Ok, Prompts::Icon::Critical);
        return;
    }
    hideWindow();
}

void frmVendorsPaid::ExportCsv_Click() {
    const std::optional<VendorsPaid> paid = vendors();
    if (!paid)
        return;
    const QString path = prompts().saveFileName(
        this, QStringLiteral("Export to CSV"),
        QDir::home().filePath(QStringLiteral("vendors-paid-%1.csv").arg(paid->year)),
        QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (path.isEmpty())
        return;
    if (Status written = writeVendorsPaidCsv(*paid, path); !written) {
        prompts().message(this, written.error().description, Title, Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
        return;
    }
    prompts().message(this,
                      QStringLiteral("The vendors paid in %1 were exported to \"%2\".")
                          .arg(paid->year)
                          .arg(QFileInfo(path).fileName()),
                      Title);
}

} // namespace halvo
