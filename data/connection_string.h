#pragma once
// The database file, its password and the four connection strings that name it.

#include "core/result.h"

#include <QString>

namespace halvo {

inline const QString DatabaseFileName = QStringLiteral("halvo0905.mdb");
inline const QString DatabasePassword = QStringLiteral("vintra");

enum class ConnectionForm {
    Standard,      // the data folder's file; every window but the two below
    FixedRelative, // "Data Source=halvo0905.mdb": the tenant editor's primary record set
    Report,        // the report connection, also relative
    Compaction,    // the full path of the file, the source side of compaction
};

struct ConnectionString {
    ConnectionForm form = ConnectionForm::Standard;
    QString dataSource; // as written in the text
    QString password;

    // The file the data source names. A relative data source resolves against the process's
    // current folder at the moment of the call, so the two relative forms find the database
    // only while the current folder is the data folder.
    QString filePath() const;
};

// Recognises one of the four forms; any other text is an error. A value may stand between
// quotes, as the texts built here quote a path that holds a semicolon.
Result<ConnectionString> parseConnectionString(const QString& text);

QString standardConnectionString(const QString& dataFolder);
QString fixedRelativeConnectionString();
QString reportConnectionString();
QString compactionConnectionString(const QString& filePath);

// A connection text whose data source names a file without a folder, with that file looked for
// in the given folder; any other text as it is.
QString connectionStringIn(const QString& text, const QString& folder);

// The database file in a data folder.
QString databasePath(const QString& dataFolder);

} // namespace halvo
