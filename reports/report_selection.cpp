#include "report_selection.h"

#include "data/connection_string.h"
#include "controls/links.h"
#include "controls/pickers.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "platform/desktop.h"
#include "platform/prompts.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include "controls/child_frame.h"
#include <QScreen>
#include <QShowEvent>

namespace halvo {

QStringList yearsDownTo2000(int currentYear)
{
    QStringList years{QString::number(currentYear)};
    for (int year = currentYear - 1; year >= 2000; --year)
        years << QString::number(year);
    return years;
}

QStringList noteYears(int currentYear)
{
    QStringList years{QString::number(currentYear)};
    for (int year = 2000; year <= currentYear + 1; ++year)
        years << QString::number(year);
    return years;
}

bool showReport(const QString& dataFolder, const QString& commandName,
                const std::optional<ReportQuery>& query,
                const std::function<void(ReportLayout&)>& setHeadings, QWidget* previewParent,
                QWidget* messageParent)
{
    DataEnvironment& environment = DataEnvironment::instance(dataFolder);
    Status prepared = environment.prepare(commandName, query);
    Result<QWidget*> shown = prepared ? Result<QWidget*>(nullptr) : Result<QWidget*>(prepared.error());
    if (prepared) {
        DataCommand* command = environment.command(commandName);
        if (setHeadings)
            setHeadings(command->report());
        shown = command->show(Clock::today(), previewParent);
    }
    if (!shown) {
        prompts().message(messageParent ? messageParent : previewParent, QStringLiteral("The report cannot be shown: ")
                                      + shown.error().description,
                          {}, Prompts::Buttons::Ok, Prompts::Icon::Critical);
        return false;
    }
    return true;
}

bool showListReport(const QString& dataFolder, const QString& commandName, QWidget* parent)
{
    return showReport(dataFolder, commandName, std::nullopt, {}, parent);
}

ReportSelection::ReportSelection(const QString& dataFolder, const QString& caption,
                                 const QString& listName, const QString& listLabel,
                                 QWidget* parent)
    : QWidget(parent)
    , folder(dataFolder)
{
    setWindowTitle(caption);
    if (!listName.isEmpty()) {
        Label1 = new QLabel(listLabel, this);
        Label1->setObjectName(QStringLiteral("Label1"));
        choice = new Picker(this);
        choice->setObjectName(listName);
        choice->setAccessibleName(listLabel);
        Label1->setBuddy(choice);
    }

    Label2 = new QLabel(QStringLiteral("Year:"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    cboYear = new Picker(this);
    cboYear->setObjectName(QStringLiteral("cboYear"));
    cboYear->setAccessibleName(QStringLiteral("Year:"));
    Label2->setBuddy(cboYear);

    GenerateReport = makeLink(this, QStringLiteral("GenerateReport"), QStringLiteral("Generate Report"));
    connect(GenerateReport, &VeyHyperLinkLabel::Click, this, [this] { GenerateReport_Click(); });
    lastCommand = GenerateReport;

    auto* grid = new QGridLayout(this);
    if (choice) {
        grid->addWidget(Label1, 0, 0);
        grid->addWidget(choice, 0, 1);
    }
    grid->addWidget(Label2, 1, 0);
    grid->addWidget(cboYear, 1, 1);
    grid->addWidget(GenerateReport, 2, 1, Qt::AlignRight);
    grid->setColumnStretch(1, 1);
    (choice ? static_cast<QWidget*>(choice) : cboYear)
        ->setMinimumWidth(fontMetrics().horizontalAdvance(QLatin1Char('M')) * 16);
    // Wide enough for its caption to be read whole in the frame's title bar, with its buttons.
    QFont titleFont = font();
    titleFont.setBold(true);
    setMinimumWidth(QFontMetrics(titleFont).horizontalAdvance(caption)
                    + 6 * fontMetrics().height());
    if (choice)
        setTabOrder(choice, cboYear);
    setTabOrder(cboYear, GenerateReport);
}

void ReportSelection::addCommand(VeyHyperLinkLabel* link)
{
    auto* grid = static_cast<QGridLayout*>(layout());
    grid->addWidget(link, grid->rowCount(), 1, Qt::AlignRight);
    setTabOrder(lastCommand, link);
    lastCommand = link;
}

ReportSelection::~ReportSelection() = default;

void ReportSelection::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!loaded)
        Form_Load();
}

void ReportSelection::Form_Load()
{
    if (loaded)
        return;
    loaded = true;
    place();
    fillLists();
}

// The window stands a third of the free width in from the left and a quarter of the height down.
// As a child of the main frame it is measured against the frame's area for child windows, which
// plays the screen's part for it: the window then always opens inside the frame, where it can be
// seen, whatever the size of the screen. A window of its own is measured against its screen.
void ReportSelection::place()
{
    if (QMdiSubWindow* frame = childFrame(this)) {
        fitChildFrame(this);
        const QSize area = frame->mdiArea() ? frame->mdiArea()->viewport()->size()
                                            : frame->parentWidget()->size();
        fitChildFrame(this, QPoint((area.width() - frame->width()) / 3, area.height() / 4));
        return;
    }
    if (!isWindow())
        return;
    const QScreen* s = screen();
    if (!s)
        return;
    const QRect desk = s->geometry();
    const QRect outer = frameGeometry();
    move(desk.left() + (desk.width() - outer.width()) / 3, desk.top() + desk.height() / 4);
}

// Hidden, not closed: the window keeps its lists and choices for the next time it is shown. As a
// child of the main frame it is the child window that hides, frame and all.
void ReportSelection::hideWindow()
{
    hideFramed(this);
}

void ReportSelection::fillYears(const QStringList& years)
{
    cboYear->clear();
    cboYear->addItems(years);
    cboYear->setCurrentIndex(0);
}

Result<Connection> ReportSelection::database()
{
    if (!db) {
        Result<Connection> opened = Connection::open(standardConnectionString(folder));
        if (!opened)
            return opened.error();
        db = opened.value();
    }
    return *db;
}

Status ReportSelection::openLookUp(RecordSet& set, const QString& source)
{
    Result<Connection> connection = database();
    if (!connection)
        return connection.error();
    return set.open(connection.value(), source);
}

void ReportSelection::fillNicknames(RecordSet& properties, const QString& allText)
{
    choice->clear();
    choice->addItem(allText);
    choice->setCurrentIndex(0);
    if (!properties.isOpen() || !properties.requery())
        return;
    for (Status s = properties.moveFirst(); s && !properties.eof(); s = properties.moveNext()) {
        const QVariant nickname = properties.value(QStringLiteral("BldNickName"));
        if (!nickname.isNull() && !nickname.toString().isEmpty())
            choice->addItem(nickname.toString());
    }
}

std::optional<QString> ReportSelection::addressOf(RecordSet& properties, const QString& nickname)
{
    if (!properties.isOpen())
        return std::nullopt;
    for (Status s = properties.moveFirst(); s && !properties.eof(); s = properties.moveNext()) {
        if (properties.value(QStringLiteral("BldNickName")).toString() == nickname)
            return properties.value(QStringLiteral("BldPropAddress")).toString();
    }
    return std::nullopt;
}

bool ReportSelection::generate(const QString& commandName, const ReportQuery& query,
                               const std::function<void(ReportLayout&)>& setHeadings)
{
    // The preview is a window of its own, over the main frame when there is one.
    QWidget* frame = window() == this ? nullptr : window();
    if (!showReport(folder, commandName, query, setHeadings, frame, this))
        return false;
    hideWindow();
    return true;
}

} // namespace halvo
