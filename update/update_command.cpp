#include "update_command.h"

#include "update_window.h"

namespace halvo {

UpdateCommand::UpdateCommand(QWidget* mainWindow, const QString& programFolder,
                             const QString& programVersion)
    : main(mainWindow)
    , folder(programFolder)
    , version(programVersion)
{
}

void UpdateCommand::CheckForUpdates()
{
    if (!update)
        update = new frmUpdate(folder, version, main);
    update->CheckForUpdates();
}

} // namespace halvo
