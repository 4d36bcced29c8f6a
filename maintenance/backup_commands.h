#pragma once
// The Backup menu's two commands and the File menu's snapshot: copies of the live database in the
// "backup" folder of the data folder, and one of them put back in the live file's place. Every
// copy is made through the database engine and checked before the user is told it is there; a
// restore replaces the live file only with a whole database of ours, in one step, and keeps the
// file it replaced.

#include "database_copy.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <functional>

class QWidget;

namespace halvo {

// What the commands need of the main window.
struct BackupHost {
    QWidget* window = nullptr; // parent of the messages and dialogs
    QString dataFolder;
    // Closes every window that uses the database; false when one stays open.
    std::function<bool()> closeDatabaseWindows;
    // Shows the property editor, opening it if it is not open.
    std::function<void()> showPropertyEditor;
};

class BackupCommands {
public:
    explicit BackupCommands(BackupHost host);

    // "HALVO_" + month + day + year + ".mdb", no leading zeros: 7 March 2004 is HALVO_372004.mdb.
    static QString backupFileName(const QDate& day);
    // "HALVO1.0_" + day + month + year + "_" + hour + minute + second + ".mdb", no leading zeros:
    // 7 March 2004 at 14:05:09 is HALVO1.0_732004_1459.mdb.
    static QString snapshotFileName(const QDateTime& moment);

    QString backupFolder() const;
    QString liveDatabase() const;

    void Backup();     // Backup Database
    void Restore();    // Restore Database
    void SaveToDisk(); // Save Database to Disk

private:
    BackupHost host;

    bool makeBackupFolder();
    bool backupFolderAndLiveFileReady();
};

} // namespace halvo
