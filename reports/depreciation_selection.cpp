#include "depreciation_selection.h"

#include "controls/links.h"
#include "controls/pickers.h"
#include "data/statements.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "platform/desktop.h"
#include "platform/prompts.h"
#include "reports/report_layouts.h"
#include "reports/report_preview.h"
#include "tax/depreciation_assets.h"
#include "tax/depreciation_sheet.h"

#include <QDir>
#include <QFileInfo>

namespace halvo {

namespace {
const QString Title = QStringLiteral("Depreciation Schedule");
const QString AllProperties = QStringLiteral("All Properties");
} // namespace

frmDepreciationSchedule::frmDepreciationSchedule(const QString& dataFolder, QWidget* parent)
    : ReportSelection(dataFolder, Title, QStringLiteral("cboNickname"),
                      QStringLiteral("Select Property:"), parent)
{
    setObjectName(QStringLiteral("frmDepreciationSchedule"));
    setProperty("helpTopic", QStringLiteral("depreciation")); // F1 opens its section of the guide
    cboNickname = choiceList();
    ExportCsv = makeLink(this, QStringLiteral("ExportCsv"), QStringLiteral("Export to CSV"));
    connect(ExportCsv, &VeyHyperLinkLabel::Click, this, [this] { ExportCsv_Click(); });
    addCommand(ExportCsv);
}

// The schedule runs up to the year chosen: this year first, then each year before it.
void frmDepreciationSchedule::fillLists()
{
    static_cast<void>(openLookUp(AdoProperty, Statements::PropertiesByNickname));
    fillNicknames(AdoProperty, AllProperties);
    fillYears(yearsDownTo2000(Clock::today().year()));
}

QString frmDepreciationSchedule::chosenProperty() const
{
    const QString chosen = cboNickname->text();
    return chosen == AllProperties ? QString() : chosen;
}

int frmDepreciationSchedule::chosenYear() const { return cboYear->text().toInt(); }

std::optional<QList<Asset>> frmDepreciationSchedule::assets()
{
    Result<Connection> connection = database();
    Result<QList<Asset>> found = connection ? loadAssets(connection.value(), chosenProperty())
                                            : Result<QList<Asset>>(connection.error());
    if (!found) {
        prompts().message(this, found.error().description, Title, Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
        return std::nullopt;
    }
    if (found.value().isEmpty()) {
        const QString whose = chosenProperty().isEmpty()
                                  ? QStringLiteral("No property has")
                                  : QStringLiteral("%1 has").arg(chosenProperty());
        prompts().message(this,
                          whose + QStringLiteral(" no depreciable assets: enter them in Data > "
                                                 "Depreciable Assets, or give a category the "
                                                 "line \"Capital improvement (depreciated)\"."),
                          Title);
        return std::nullopt;
    }
    return std::move(found).value();
}

void frmDepreciationSchedule::GenerateReport_Click()
{
    const std::optional<QList<Asset>> found = assets();
    if (!found)
        return;
    ReportLayout layout = ReportLayouts::rptDepreciation();
    const QString property = chosenProperty().isEmpty() ? AllProperties : chosenProperty();
    layout.title = QStringLiteral("%1, through %2").arg(property).arg(chosenYear());
    QWidget* frame = window() == this ? nullptr : window();
    Result<ReportPreview*> shown = ReportPreview::show(
        std::move(layout),
        std::make_shared<const MemoryRows>(depreciationRows(*found, chosenYear())), Clock::today(),
        frame);
    if (!shown) {
        prompts().message(this, QStringLiteral("The report cannot be shown: ")
                                    + shown.error().description,
                          Title, Prompts::Buttons::Ok, Prompts::Icon::Critical);
        return;
    }
    hideWindow();
}

void frmDepreciationSchedule::ExportCsv_Click()
{
    const std::optional<QList<Asset>> found = assets();
    if (!found)
        return;
    const QString path = prompts().saveFileName(
        this, QStringLiteral("Export to CSV"),
        QDir::home().filePath(QStringLiteral("depreciation-%1.csv").arg(chosenYear())),
        QStringLiteral("CSV files (*.csv);;All files (*)"));
    if (path.isEmpty())
        return;
    if (Status written = writeDepreciationCsv(*found, chosenYear(), path); !written) {
        prompts().message(this, written.error().description, Title, Prompts::Buttons::Ok,
                          Prompts::Icon::Warning);
        return;
    }
    prompts().message(this,
                      QStringLiteral("The depreciation schedule through %1 was exported to \"%2\".")
                          .arg(chosenYear())
                          .arg(QFileInfo(path).fileName()),
                      Title);
}

} // namespace halvo
