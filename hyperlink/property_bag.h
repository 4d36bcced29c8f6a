#pragma once
// The store in which a container keeps a control's properties with its window.

#include "hyperlink/veyhyperlink_export.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <utility>

namespace VeyHyperLink {

// Names are matched without regard to letter case and kept in lower case, the way stored windows
// hold them ("backcolor", "_extentx"). A value equal to its default is not stored, so a stored
// window holds only what differs from a new control.
class VEYHYPERLINK_EXPORT PropertyBag {
public:
    // The stored value, or defaultValue when none is stored under that name.
    QVariant ReadProperty(const QString& name, const QVariant& defaultValue = {}) const;
    // Stores the value; a value equal to its default removes what was stored, so that the bag
    // never keeps an older value that would come back on the next read.
    void WriteProperty(const QString& name, const QVariant& value,
                       const QVariant& defaultValue = {});

    // The stored names in the order they were first written, for the container's own format.
    QStringList names() const;
    bool contains(const QString& name) const;
    bool isEmpty() const { return entries.isEmpty(); }

private:
    qsizetype indexOf(const QString& name) const;

    QList<std::pair<QString, QVariant>> entries;
};

} // namespace VeyHyperLink
