#include "hyperlink/property_bag.h"

namespace VeyHyperLink {

QVariant PropertyBag::ReadProperty(const QString& name, const QVariant& defaultValue) const
{
    const qsizetype index = indexOf(name);
    return index < 0 ? defaultValue : entries.at(index).second;
}

void PropertyBag::WriteProperty(const QString& name, const QVariant& value,
                                const QVariant& defaultValue)
{
    const qsizetype index = indexOf(name);
    if (value == defaultValue) {
        if (index >= 0)
            entries.removeAt(index);
    } else if (index >= 0) {
        entries[index].second = value;
    } else {
        entries.append({name.toLower(), value});
    }
}

QStringList PropertyBag::names() const
{
    QStringList result;
    for (const auto& entry : entries)
        result.append(entry.first);
    return result;
}

bool PropertyBag::contains(const QString& name) const
{
    return indexOf(name) >= 0;
}

qsizetype PropertyBag::indexOf(const QString& name) const
{
    const QString key = name.toLower();
    for (qsizetype i = 0; i < entries.size(); ++i) {
        if (entries.at(i).first == key)
            return i;
    }
    return -1;
}

} // namespace VeyHyperLink
