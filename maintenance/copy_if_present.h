#pragma once
// Copying a file the user chose (a property's picture, a backup) into the data folder.

#include <QString>

class QWidget;

namespace DBBackup {

// Copies source to destination, replacing a file already there. When no file is found at the
// source, the user is told ("\"" + source + "\" is not valid file name.") and nothing is copied.
// True when the file is at the destination afterwards. The database file in use is never copied
// this way, nor copied over (false): the engine alone reads and writes it.
bool CopyIfPresent(const QString& source, const QString& destination, QWidget* parent = nullptr);

// Tells the user that no file is at the path: "\"" + path + "\" is not valid file name.".
void reportNotValid(const QString& path, QWidget* parent = nullptr);

} // namespace DBBackup
