#pragma once
// Where the update server is. Its host belongs to the installation, not to a user, so it is kept
// in the program folder beside the programs, in the INI file "halvo.ini":
//
//     [Update]
//     Host=updates.corvane.example
//
// Host may carry a port ("127.0.0.1:8080"). Without the file or the key the maker's own server
// is used. The paths on the server are fixed; every file is fetched with plain HTTP.

#include <QString>

namespace halvo {

class UpdateServer {
public:
    static const QString SettingsFileName; // "halvo.ini"
    static const QString DefaultHost;

    // The host named by the program folder's installation settings.
    static QString host(const QString& programFolder);
    // "http://" + host + path, for a path such as "/HALVOUpdate/version.txt".
    static QString url(const QString& host, const QString& path);
};

} // namespace halvo
