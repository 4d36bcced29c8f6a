#include "schedule_e_selection.h"

#include "controls/links.h"
#include "controls/pickers.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "platform/desktop.h"
#include "platform/prompts.h"
#include "reports/report_layouts.h"
#include "reports/rental_days_window.h"
#include "reports/report_preview.h"
#include "reports/schedule_e_words.h"
#include "tax/mileage.h"
#include "tax/schedule_e_sheet.h"

#include <QDir>
#include <QFileInfo>

namespace halvo {

namespace {
const QString Title = QStringLiteral("Schedule E Worksheet");
}

frmScheduleE::frmScheduleE(const QString& dataFolder, std::function<void()> categoryEditor,
                           QWidget* parent)
    : ReportSelection(dataFolder, Title, {}, {}, parent)
    , showCategoryEditor(std::move(categoryEditor))
{
    setObjectName(QStringLiteral("frmScheduleE"));
    ExportCsv = makeLink(this, QStringLiteral("ExportCsv"), QStringLiteral("Export to CSV"));
    connect(ExportCsv, &VeyHyperLinkLabel::Click, this, [this] { ExportCsv_Click(); });
    addCommand(ExportCsv);
    RentalDays = makeLink(this, QStringLiteral("RentalDays"), QStringLiteral("Rental Days..."));
    connect(RentalDays, &VeyHyperLinkLabel::Click, this, [this] { RentalDays_Click(); });
    addCommand(RentalDays);
}

void frmScheduleE::fillLists() { fillYears(yearsDownTo2000(Clock::today().year())); }

std::optional<Worksheet> frmScheduleE::worksheet()
{
    const int year = cboYear->text().toInt();
    Result<Connection> connection = database();
    // Categories the user has not given a line yet get the one their name suggests, as when
    // the category window opens; only those the program cannot place are left to the user.
    Result<int> offered = connection ? offerFirstMapping(connection.value())
                                     : Result<int>(connection.error());
    Outcome<Worksheet, WorksheetRefusal> sheet =
        offered ? scheduleEWorksheet(connection.value(), year) : offered.error();
    // A year of trips whose mileage rate the program does not know goes on with the rate the
    // user gives, once; a user who cancels has been told nothing more is needed.
    if (sheet.refused() && sheet.refusal().kind == WorksheetRefusal::Kind::MileageRateUnknown) {
        if (!askMileageRate(connection.value(), year))
            return std::nullopt;
        sheet = scheduleEWorksheet(connection.value(), year);
    }
    if (!sheet) {
        tellWhyNot(sheet);
        return std::nullopt;
    }
    if (sheet.value().columns.isEmpty()) {
        prompts().message(this,
                          QStringLiteral("The ledger has no income or expense in %1.").arg(year),
                          Title);
        return std::nullopt;
    }
    return std::move(sheet).value();
}

bool frmScheduleE::askMileageRate(const Connection& connection, int year)
{
    const QString question =
        wording(WorksheetRefusal{WorksheetRefusal::Kind::MileageRateUnknown, year, {}, {}})
        + QStringLiteral(" Type the rate for business use of %1 in dollars a mile (0.725 for "
                         "72.5 cents):")
              .arg(year);
    const std::optional<QString> typed = prompts().typedText(this, question, Title);
    if (!typed)
        return false;
    const Result<Money> rate = Money::parse(typed->trimmed());
    if (!rate || !isMileageRate(rate.value())) {
        prompts().message(this,
                          QStringLiteral("\"%1\" is not a mileage rate: type it in dollars a "
                                         "mile, as 0.725.")
                              .arg(*typed),
                          Title, Prompts::Buttons::Ok, Prompts::Icon::Warning);
        return false;
    }
    if (Status saved = saveMileageRate(connection, year, rate.value()); !saved) {
        prompts().message(this, saved.error().description, Title, Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
        return false;
    }
    return true;
}

void frmScheduleE::RentalDays_Click()
{
    const int year = cboYear->text().toInt();
    Result<Connection> connection = database();
    Result<QList<halvo::RentalDays>> rows = connection ? rentalDaysOf(connection.value(), year)
                                                       : Result<QList<halvo::RentalDays>>(
                                                             connection.error());
    if (!rows) {
        prompts().message(this, rows.error().description, Title, Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
        return;
    }
    if (rows.value().isEmpty()) {
        prompts().message(this, QStringLiteral("The file has no property to enter days for."),
                          Title);
        return;
    }
    frmRentalDays window(connection.value(), year, rows.value(), this);
    window.exec();
}

void frmScheduleE::tellWhyNot(const Outcome<Worksheet, WorksheetRefusal>& sheet)
{
    if (!sheet.refused()) {
        prompts().message(this, sheet.error().description, Title, Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
        return;
    }
    if (sheet.refusal().kind != WorksheetRefusal::Kind::CategoriesWithoutLine) {
        prompts().message(this, wording(sheet.refusal()), Title, Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
        return;
    }
    const QString question =
        wording(sheet.refusal()) + QStringLiteral("\n\nOpen the category editor now?");
    if (prompts().message(this, question, Title, Prompts::Buttons::YesNo, Prompts::Icon::Question)
            == Prompts::Answer::Yes
        && showCategoryEditor)
        showCategoryEditor();
}

void frmScheduleE::GenerateReport_Click()
{
    const std::optional<Worksheet> sheet = worksheet();
    if (!sheet)
        return;
    ReportLayout layout = ReportLayouts::rptScheduleE();
    layout.title = QStringLiteral("Tax Year %1").arg(sheet->year);
    // The preview is a window of its own, over the main frame when there is one.
    QWidget* frame = window() == this ? nullptr : window();
    Result<ReportPreview*> shown = ReportPreview::show(
        std::move(layout), std::make_shared<const MemoryRows>(worksheetRows(*sheet)),
        Clock::today(), frame);
    if (!shown) {
        prompts().message(this, QStringLiteral("The report cannot be shown: ")
                                    + shown.error().description,
                          Title, Prompts::Buttons::Ok, Prompts::Icon::Critical);
        return;
    }
    hideWindow();
}

void frmScheduleE::ExportCsv_Click()
{
    const std::optional<Worksheet> sheet = worksheet();
    if (!sheet)
        return;
    const QString path = prompts().saveFileName(
        this, QStringLiteral("Export to CSV"),
        QDir::home().filePath(QStringLiteral("schedule-e-%1.csv").arg(sheet->year)),
        QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (path.isEmpty())
        return;
    if (Status written = writeWorksheetCsv(*sheet, path); !written) {
        prompts().message(this, written.error().description, Title, Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
        return;
    }
    prompts().message(this,
                      QStringLiteral("The worksheet of %1 was exported to \"%2\".")
                          .arg(sheet->year)
                          .arg(QFileInfo(path).fileName()),
                      Title);
}

} // namespace halvo
