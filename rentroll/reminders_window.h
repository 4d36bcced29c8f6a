#pragma once
// frmReminders: what to remind the user of at login, one line each; Enter (or Open Tenant)
// opens the line's tenant. "Show reminders at login" turns them off and on again.

#include "rentroll/reminders.h"

#include <QDialog>
#include <functional>

class QCheckBox;
class QListWidget;
class VeyHyperLinkLabel;

namespace halvo {

class frmReminders : public QDialog {
    Q_OBJECT
public:
    static const QString SettingKey; // "ShowRemindersAtLogin"
    // Whether the reminders are shown at login: unless the user turned them off.
    static bool wanted();

    frmReminders(QList<Reminder> reminders, std::function<void(qint64 tenantId)> showTenant,
                 QWidget* parent = nullptr);

    QListWidget* lstReminders = nullptr;
    QCheckBox* chkShowAtLogin = nullptr;
    VeyHyperLinkLabel* OpenTenant = nullptr;
    VeyHyperLinkLabel* Close = nullptr;

    void OpenTenant_Click();

private:
    QList<Reminder> items;
    std::function<void(qint64)> showTenant;
};

} // namespace halvo
