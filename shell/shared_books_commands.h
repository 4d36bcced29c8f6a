#pragma once
// The main window's commands for shared books: File > Open Shared Books... and Open Local
// Books..., the Backup menu while shared books are open, and what the main window shows of the
// books in use (its title, and the commands a role that may only read cannot use).

#include "server/server_backup.h"

#include <QPointer>
#include <QString>
#include <QStringList>

class QWidget;

namespace halvo {

class frmMain;

class SharedBooksCommands {
public:
    explicit SharedBooksCommands(frmMain& main);

    // Every command of the main window that changes the books, by its entry's name: unavailable
    // while the books are shared books the user's role may only read.
    static const QStringList WritingEntries;

    // Whether shared books are open in place of the data folder's file.
    bool isOpen() const;

    void OpenSharedBooks(); // File > Open Shared Books...
    void OpenLocalBooks();  // File > Open Local Books...
    void Backup();          // Backup Database, with shared books
    void Restore();         // Restore Database, with shared books

    // Opens the shared books at `address` (asking for the password where the server wants one,
    // unless `password` is the one it takes) in place of the file; false, after telling why,
    // when they are not opened and the books in use stay.
    bool openAt(const ServerAddress& address, const QString& password = {});

    // The title names the books in use ("HALVO - books on db.example.com"); the commands that
    // write are unavailable to a role that may only read; Open Local Books only while shared
    // books are open.
    void showBooks();

private:
    QPointer<frmMain> main;

    QString dataFolder() const;
    bool closeWindows();
    void reopenWindows();
    bool localPasswordGiven();
};

} // namespace halvo
