#include "start_splash.h"

#include "program_replacement.h"
#include "resources/program_logo.h"

#include "platform/prompts.h"

#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPixmap>
#include <QProcess>
#include <QTimer>
#include <QVBoxLayout>

namespace halvo {

namespace {

bool startDetached(const QString& program, const QString& folder)
{
    // There is no show command to hand over here: the main program places its own window.
    return QProcess::startDetached(program, {}, folder);
}

} // namespace

frmStartSplash::frmStartSplash(const QString& programFolder, Starter starter, QWidget* parent,
                               const UpdateSignature::Key& updateKey,
                               const ReleaseVersion& installedVersion)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
    , folder(programFolder)
    , start(starter ? std::move(starter) : Starter(startDetached))
    , key(updateKey)
    , installed(installedVersion)
{
    setObjectName(QStringLiteral("frmStartSplash"));
    fraMainFrame = new QFrame(this);
    fraMainFrame->setObjectName(QStringLiteral("fraMainFrame"));
    fraMainFrame->setFrameShape(QFrame::Box);
    fraMainFrame->setFrameShadow(QFrame::Raised);
    fraMainFrame->setLineWidth(2);

    picLogo = new QLabel(fraMainFrame);
    picLogo->setObjectName(QStringLiteral("picLogo"));
    picLogo->setPixmap(programLogo().pixmap(QSize(48, 48)));
    picLogo->setAlignment(Qt::AlignCenter);

    lblProductName = addLabel("lblProductName", QStringLiteral("Product"));
    QFont big = lblProductName->font();
    big.setPointSizeF(big.pointSizeF() * 2.4);
    big.setBold(true);
    lblProductName->setFont(big);
    lblCompanyProduct =
        addLabel("lblCompanyProduct", QStringLiteral("Corvane Homes And Leases Valuation Organizer"));
    QFont larger = lblCompanyProduct->font();
    larger.setPointSizeF(larger.pointSizeF() * 1.2);
    lblCompanyProduct->setFont(larger);
    lblPlatform = addLabel("lblPlatform", QStringLiteral("for Linux desktops"));
    lblVersion = addLabel("lblVersion", QStringLiteral("Version"));
    lblWarning = addLabel("lblWarning",
                          QStringLiteral("HALVO is free software under the GNU General Public "
                                         "License, version 3 or later. It comes with no "
                                         "warranty."));
    lblWarning->setWordWrap(true);
    lblCompany = addLabel("lblCompany", QStringLiteral("Corvane Software"));
    lblCopyright = addLabel("lblCopyright", QStringLiteral("Copyright \u00a9 Corvane Software"));
    for (QLabel* right : {lblPlatform, lblVersion})
        right->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));

    auto* grid = new QGridLayout(fraMainFrame);
    grid->setContentsMargins(24, 24, 24, 16);
    grid->setHorizontalSpacing(24);
    grid->addWidget(picLogo, 0, 0, 4, 1, Qt::AlignTop);
    grid->addWidget(lblCompanyProduct, 0, 1);
    grid->addWidget(lblProductName, 1, 1);
    grid->addWidget(lblPlatform, 2, 1);
    grid->addWidget(lblVersion, 3, 1, Qt::AlignTop | Qt::AlignRight);
    grid->addWidget(lblCompany, 4, 1, Qt::AlignRight);
    grid->addWidget(lblCopyright, 5, 1, Qt::AlignRight);
    grid->addWidget(lblWarning, 6, 0, 1, 2);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(1, 1);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(4, 4, 4, 4);
    outer->addWidget(fraMainFrame);
    setFixedSize(560, 300);
}

frmStartSplash::~frmStartSplash() = default;

QLabel* frmStartSplash::addLabel(const char* name, const QString& text)
{
    auto* label = new QLabel(text, fraMainFrame);
    label->setObjectName(QString::fromLatin1(name));
    return label;
}

QString frmStartSplash::versionText()
{
    return QStringLiteral("Version %1.%2.%3")
        .arg(HALVO_START_VERSION_MAJOR)
        .arg(HALVO_START_VERSION_MINOR)
        .arg(HALVO_START_VERSION_REVISION);
}

bool frmStartSplash::Form_Load()
{
    lblVersion->setText(versionText());
    lblProductName->setText(programTitle());

    // A failed replacement still starts the program: the old version stands in its place.
    ProgramReplacement replacement(folder, key, installed);
    if (replaces) {
        const Result<bool> replaced = replacement.apply();
        if (!replaced)
            prompts().message(nullptr, replaced.error().description, {}, Prompts::Buttons::Ok,
                              Prompts::Icon::Warning);
    }

    if (!start(replacement.programPath(), folder)) {
        prompts().message(nullptr,
                          QStringLiteral("The application could not be started: \"")
                              + replacement.programPath() + QStringLiteral("\"."),
                          {}, Prompts::Buttons::Ok, Prompts::Icon::Critical);
        return false;
    }
    return true;
}

} // namespace halvo
