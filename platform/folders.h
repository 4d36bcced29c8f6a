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

#include <QString>

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
Status placeDeliveredFile(const Folders& folders, const QString& fileName);

} // namespace halvo
