#pragma once
// The per-user settings store: an INI file in the user's configuration folder under the
// program's title, every key in the group "Settings". Values are kept as text.

#include <QString>

namespace halvo {

class Settings {
public:
    // Reads a key of the group "Settings"; the default when the key is not there.
    static QString value(const QString& key, const QString& defaultValue = {});
    static void setValue(const QString& key, const QString& value);
};

} // namespace halvo
