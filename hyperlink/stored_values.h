#pragma once
// Reading one stored property value as the type the control expects. Containers keep values in
// formats of their own (a settings file gives back text), so each reader accepts the forms that
// mean the value unambiguously and refuses the rest; a refused item is skipped on reading.

#include "hyperlink/hyperlink_types.h"

#include <QFont>
#include <QString>
#include <QVariant>

#include <optional>

namespace VeyHyperLink::Stored {

std::optional<bool> toBool(const QVariant& value);
std::optional<qint16> toInt16(const QVariant& value);
// Also accepts the signed form in which 32-bit stores keep 0x800000nn.
std::optional<OleColor> toColor(const QVariant& value);
std::optional<QString> toText(const QVariant& value);
std::optional<QFont> toFont(const QVariant& value);

} // namespace VeyHyperLink::Stored
