#pragma once
// There is no registry on this platform. Registry reads go to a stand-in that holds nothing
// unless the program (or a test) configures values in it; a key or value not configured is
// simply not found.

#include <QString>
#include <QVariant>

namespace halvo::Registry {

enum class Root { LocalMachine, CurrentUser };

// The kinds of value the readers understand; any other kind is kept as it is configured.
enum class Kind { String = 1, Number = 4, Binary = 3 };

struct Value {
    Kind kind = Kind::String;
    QByteArray data; // the value's bytes as they would be stored (text without the ending zero)
};

// The stand-in's contents. A value is configured under a key; configuring an empty key
// makes the key exist without values.
void setValue(Root root, const QString& key, const QString& name, const Value& value);
void setString(Root root, const QString& key, const QString& name, const QString& text);
void setNumber(Root root, const QString& key, const QString& name, quint32 number);
void clear();

bool keyExists(Root root, const QString& key);
// The value's bytes and kind; false when the key or the value is not there.
bool queryValue(Root root, const QString& key, const QString& name, Value& value);

} // namespace halvo::Registry
