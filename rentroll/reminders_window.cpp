#include "reminders_window.h"

#include "controls/links.h"
#include "hyperlink/vey_hyperlink_label.h"
#include "platform/settings.h"
#include "rentroll/rent_roll_words.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>

namespace halvo {

const QString frmReminders::SettingKey = QStringLiteral("ShowRemindersAtLogin");

bool frmReminders::wanted()
{
    return Settings::value(SettingKey, QStringLiteral("true")) != QLatin1String("false");
}

frmReminders::frmReminders(QList<Reminder> reminders, std::function<void(qint64)> opener,
                           QWidget* parent)
    : QDialog(parent), items(std::move(reminders)), showTenant(std::move(opener))
{
    setObjectName(QStringLiteral("frmReminders"));
    setWindowTitle(QStringLiteral("Reminders"));
    auto* heading = new QLabel(QStringLiteral("&Leases ending soon and rents late:"), this);
    lstReminders = new QListWidget(this);
    lstReminders->setObjectName(QStringLiteral("lstReminders"));
    lstReminders->setAccessibleName(QStringLiteral("Reminders"));
    heading->setBuddy(lstReminders);
    for (const Reminder& r : items)
        lstReminders->addItem(wording(r));
    lstReminders->setCurrentRow(0);
    connect(lstReminders, &QListWidget::itemActivated, this, &frmReminders::OpenTenant_Click);

    chkShowAtLogin = new QCheckBox(QStringLiteral("&Show reminders at login"), this);
    chkShowAtLogin->setObjectName(QStringLiteral("chkShowAtLogin"));
    chkShowAtLogin->setChecked(wanted());
    connect(chkShowAtLogin, &QCheckBox::toggled, this, [](bool on) {
        Settings::setValue(SettingKey, on ? QStringLiteral("true") : QStringLiteral("false"));
    });

    OpenTenant = makeLink(this, QStringLiteral("OpenTenant"), QStringLiteral("Open Tenant"));
    Close = makeLink(this, QStringLiteral("Close"), QStringLiteral("Close"));
    connect(OpenTenant, &VeyHyperLinkLabel::Click, this, &frmReminders::OpenTenant_Click);
    connect(Close, &VeyHyperLinkLabel::Click, this, &QDialog::accept);

    auto* commands = new QHBoxLayout;
    commands->addWidget(chkShowAtLogin);
    commands->addStretch();
    commands->addWidget(OpenTenant);
    commands->addWidget(Close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(heading);
    layout->addWidget(lstReminders, 1);
    layout->addLayout(commands);
    resize(fontMetrics().averageCharWidth() * 100, fontMetrics().height() * 14);
    lstReminders->setFocus();
}

void frmReminders::OpenTenant_Click()
{
    const int row = lstReminders->currentRow();
    if (row < 0 || row >= items.size() || !showTenant)
        return;
    showTenant(items.at(row).tenantId);
}

} // namespace halvo
