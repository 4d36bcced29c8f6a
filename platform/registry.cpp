#include "registry.h"

#include <QHash>
#include <QtEndian>

namespace halvo::Registry {

namespace {

// Key and value names are compared without regard to letter case, as the registry does.
QString keyOf(Root root, const QString& key)
{
    return QString::number(static_cast<int>(root)) + QLatin1Char('|') + key.toLower();
}

QHash<QString, QHash<QString, Value>>& store()
{
    static QHash<QString, QHash<QString, Value>> values;
    return values;
}

} // namespace

void setValue(Root root, const QString& key, const QString& name, const Value& value)
{
    store()[keyOf(root, key)].insert(name.toLower(), value);
}

void setString(Root root, const QString& key, const QString& name, const QString& text)
{
    setValue(root, key, name, {Kind::String, text.toLocal8Bit()});
}

void setNumber(Root root, const QString& key, const QString& name, quint32 number)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian(number, bytes.data());
    setValue(root, key, name, {Kind::Number, bytes});
}

void clear() { store().clear(); }

bool keyExists(Root root, const QString& key) { return store().contains(keyOf(root, key)); }

bool queryValue(Root root, const QString& key, const QString& name, Value& value)
{
    const auto found = store().constFind(keyOf(root, key));
    if (found == store().constEnd())
        return false;
    const auto named = found->constFind(name.toLower());
    if (named == found->constEnd())
        return false;
    value = *named;
    return true;
}

} // namespace halvo::Registry
