#include "about_box.h"

#include "controls/links.h"
#include "version.h"
#include "resources/program_logo.h"

#include "hyperlink/vey_hyperlink_label.h"
#include "platform/prompts.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QStandardPaths>
#include <QVBoxLayout>

namespace halvo {

namespace {

const QString msinfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString msinfoLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString msinfoFile = QStringLiteral("MSINFO32.EXE");
constexpr int valueBufferSize = 1024;

} // namespace

// Desktop system-information programs, most specific first.
QStringList frmAbout::systemInfoPrograms = {
    QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"), QStringLiteral("kinfocenter"),
    QStringLiteral("lshw-gtk"), QStringLiteral("gnome-system-monitor")};

frmAbout::frmAbout(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(tr("About HALVO"));
    setModal(true);

    Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setPixmap(programLogo().pixmap(QSize(48, 48)));
    Image2->setAccessibleName(tr("HALVO logo"));
    Image2->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    lbltitle = new QLabel(tr("Application Title"), this);
    lbltitle->setObjectName(QStringLiteral("lbltitle"));
    QFont titleFont = lbltitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.8);
    titleFont.setBold(true);
    lbltitle->setFont(titleFont);
    lblVersion = new QLabel(tr("Version"), this);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    lblDescription = new QLabel(tr("App Description"), this);
    lblDescription->setObjectName(QStringLiteral("lblDescription"));
    lblDescription->setWordWrap(true);
    lblDescription->setMinimumWidth(320);
    lblDisclaimer = new QLabel(
        tr("HALVO is made by %1. Copyright \u00A9 2026 %1. HALVO is free software: you may "
           "share and change it under the GNU General Public License, version 3 or later. It "
           "comes with no warranty.")
            .arg(MakerName),
        this);
    lblDisclaimer->setObjectName(QStringLiteral("lblDisclaimer"));
    lblDisclaimer->setWordWrap(true);

    QuenHyperLink = makeLink(this, QStringLiteral("QuenHyperLink"), MakerWebAddress);
    QuenHyperLink->setProperty("URL", MakerWebAddress);
    OK = makeLink(this, QStringLiteral("OK"), tr("OK"));
    SystemInfo = makeLink(this, QStringLiteral("SystemInfo"), tr("System Info..."));
    connect(OK, &VeyHyperLinkLabel::Click, this, &frmAbout::OK_Click);
    connect(SystemInfo, &VeyHyperLinkLabel::Click, this, &frmAbout::SystemInfo_Click);

    // Filled when the box loads.
    lbltitle->setText(programTitle());
    lblVersion->setText(tr("Version ") + ProgramVersion().text());
    lblDescription->setText(ProductFullName + QStringLiteral("(HALVO) ")
                            + tr("an interactive property management system for the individual "
                                 "investor."));

    auto* text = new QVBoxLayout;
    text->addWidget(lbltitle);
    text->addWidget(lblVersion);
    text->addSpacing(8);
    text->addWidget(lblDescription);
    text->addSpacing(8);
    text->addWidget(QuenHyperLink, 0, Qt::AlignLeft);
    text->addStretch(1);

    auto* top = new QHBoxLayout;
    top->addWidget(Image2, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(text, 1);

    auto* rule = new QFrame(this);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);

    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lblDisclaimer, 1);
    bottom->addSpacing(12);
    auto* commands = new QVBoxLayout;
    commands->addWidget(OK, 0, Qt::AlignRight);
    commands->addWidget(SystemInfo, 0, Qt::AlignRight);
    bottom->addLayout(commands);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->addLayout(top);
    layout->addWidget(rule);
    layout->addLayout(bottom);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(OK, SystemInfo);
    setTabOrder(SystemInfo, QuenHyperLink);
    OK->setFocus();
}

void frmAbout::OK_Click() { accept(); }

void frmAbout::SystemInfo_Click() { StartSysInfo(); }

bool frmAbout::GetKeyValue(Registry::Root root, const QString& keyName, const QString& valueName,
                           QString& value)
{
    Registry::Value found;
    if (!Registry::keyExists(root, keyName) || !Registry::queryValue(root, keyName, valueName, found)
        || found.data.size() >= valueBufferSize) {
        value.clear();
        return false;
    }
    QByteArray bytes = found.data;
    // The value ends at its first zero byte, as a text read into a buffer does.
    if (const qsizetype zero = bytes.indexOf('\0'); zero >= 0)
        bytes.truncate(zero);
    switch (found.kind) {
    case Registry::Kind::String: value = QString::fromLocal8Bit(bytes); break;
    case Registry::Kind::Number: {
        QByteArray four = found.data.leftJustified(4, '\0');
        const quint32 number = quint32(quint8(four[0])) | quint32(quint8(four[1])) << 8
                               | quint32(quint8(four[2])) << 16 | quint32(quint8(four[3])) << 24;
        value = QString::number(number);
        break;
    }
    default: break; // other kinds leave the value as it was
    }
    return true;
}

QString frmAbout::systemInfoPath() const
{
    QString path;
    if (GetKeyValue(Registry::Root::LocalMachine, msinfoKey, QStringLiteral("PATH"), path))
        return path;
    QString folder;
    if (GetKeyValue(Registry::Root::LocalMachine, msinfoLocationKey, QStringLiteral("MSINFO"),
                    folder)) {
        const QString candidate = QDir(folder).filePath(msinfoFile);
        if (QFileInfo(candidate).isFile())
            return candidate;
    }
    for (const QString& program : systemInfoPrograms) {
        const QString found = QStandardPaths::findExecutable(program);
        if (!found.isEmpty())
            return found;
    }
    return {};
}

void frmAbout::StartSysInfo()
{
    const QString path = systemInfoPath();
    if (path.isEmpty() || !QProcess::startDetached(path, {})) {
        prompts().message(this, tr("System Information Is Unavailable At This Time"));
        return;
    }
}

} // namespace halvo
