#pragma once
// Where the program's own files are, and where the user's data is.
//
// Program files (the executables, the link label library, the help, the default picture and
// the empty database delivered with the program) may be read-only. The user's data (the
// database, its backup/ and Prop/ folders, the settings) lives in a data folder that is always
// writable:
//
//   - a portable install (every file in one folder, the way the program has always been
//     installed) keeps its data in that folder when the folder is writable;
//   - otherwise, and always for a system install (programs in <prefix>/bin, their files in
//     <prefix>/share/halvo), the data is in $XDG_DATA_HOME/halvo (~/.local/share/halvo).
//
// A system install is the distribution's: even where the user could write to it (root), the
// data never goes among the package's files, which the package manager removes and replaces.

#include "core/result.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace halvo {

struct Folders {
    QString program; // the help, the default picture, the delivered database, the update settings
    QString data;    // the database, backup/, Prop/, the settings

    // Data and programs in one folder: an install that replaces its own files when it is
    // updated. Anywhere else the program's files are not its own to replace (the distribution
    // updates a package), and the update command stays unavailable.
    bool portable() const { return program == data; }

    // Everything in one folder: a portable install, and the tests' temporary folders.
    static Folders portableAt(const QString& folder) { return {folder, folder}; }
};

// The one rule of where the data is, for the running program's executable folder.
Folders locateFolders(const QString& executableFolder);
// The program's folders as the running executable finds them.
Folders runningFolders();

// The first start of an install whose data folder is not its program folder: makes the data
// folder (for the user only) and copies the delivered file `fileName` into it when the data
// folder has none yet. A file already there is the user's and is never replaced. The copy is
// written under another name and renamed, so that a start cut short leaves no half a file.
// Where a restore has left its files (below) but no `fileName`, in any layout, nothing is placed:
// an empty database there would look as if the records were gone. The failure names what was
// found.
Status placeDeliveredFile(const Folders& folders, const QString& fileName);

// What a restore leaves beside the database file `fileName` ("halvo0905.mdb"): the backup's copy
// on its way in, "halvo0905.mdb.restoring", and the file it replaced, kept as
// "halvo0905 before restore 2026-12-07 13-05-09.mdb" (with " (2)" and so on where one of that
// name is there already: freeFileName).
QString restoringCopyName(const QString& fileName);
QString keptBeforeRestoreName(const QString& fileName, const QDateTime& moment);
// The files of a restore in `folder`, by name, the kept ones newest first.
QStringList restoreLeftovers(const QString& folder, const QString& fileName);

// `name` in `folder`, or where something of that name is there already, the first free one of
// "stem (2).ext", "stem (3).ext" and so on: nothing already there is replaced. The full path.
QString freeFileName(const QString& folder, const QString& name);

// The user's data is the user's alone, on a machine others use too: the database files, the
// settings, the backup and Prop folders and the files in them lose every permission of the group
// and of others (files 0600, folders 0700), and so does the data folder where it is not also the
// program folder. What the user has taken away themselves (write, say) stays away.
void keepDataPrivate(const Folders& folders);
// One file or folder of the user's data made so (its group's and others' permissions taken away).
void keepPrivate(const QString& path);

} // namespace halvo
