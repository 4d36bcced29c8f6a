#pragma once
// The per-user settings store: an INI file in the user's data folder, every key in the group
// "Settings". Values are kept as text.

#include <QString>

namespace halvo {

class Settings {
public:
    static const QString FileName; // "settings.ini"

    // Keeps the settings in `dataFolder` from now on. Settings an earlier version kept in the
    // user's configuration folder are carried over the first time. Until this is called (the
    // tests), or after it is called with no folder, they are kept in the user's configuration
    // folder under the program's title.
    static void keepIn(const QString& dataFolder);

    // Reads a key of the group "Settings"; the default when the key is not there.
    static QString value(const QString& key, const QString& defaultValue = {});
    static void setValue(const QString& key, const QString& value);
};

} // namespace halvo
