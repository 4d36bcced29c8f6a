#pragma once
// The File menu's Check for Updates: the status window is made at the first check and afterwards
// only hidden and shown again, keeping its last status text until the next check sets it.

#include "update/update_window.h"

#include <QPointer>
#include <QString>

namespace halvo {

class UpdateCommand {
public:
    UpdateCommand(QWidget* mainWindow, const QString& programFolder, const QString& programVersion);

    void CheckForUpdates();
    frmUpdate* window() const { return update; }

private:
    QPointer<QWidget> main;
    QString folder;
    QString version;
    QPointer<frmUpdate> update;
};

} // namespace halvo
