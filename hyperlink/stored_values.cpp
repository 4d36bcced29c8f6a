#include "hyperlink/stored_values.h"

#include <limits>

namespace VeyHyperLink::Stored {
namespace {

bool isNumber(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

bool isText(const QVariant& value)
{
    return value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray;
}

std::optional<qint64> toInteger(const QVariant& value)
{
    if (!isNumber(value) && !isText(value))
        return std::nullopt;
    bool ok = false;
    const qint64 number = value.toLongLong(&ok);
    if (ok)
        return number;
    // Unsigned 32-bit colours above the signed range arrive as text or as unsigned numbers.
    const quint64 unsignedNumber = value.toULongLong(&ok);
    if (ok && unsignedNumber <= std::numeric_limits<quint32>::max())
        return qint64(unsignedNumber);
    return std::nullopt;
}

} // namespace

std::optional<bool> toBool(const QVariant& value)
{
    if (isText(value)) {
        const QString text = value.toString().trimmed().toLower();
        if (text == QLatin1String("true"))
            return true;
        if (text == QLatin1String("false"))
            return false;
    }
    if (const auto number = toInteger(value))
        return *number != 0;
    return std::nullopt;
}

std::optional<qint16> toInt16(const QVariant& value)
{
    const auto number = toInteger(value);
    if (!number || *number < std::numeric_limits<qint16>::min() ||
        *number > std::numeric_limits<qint16>::max())
        return std::nullopt;
    return qint16(*number);
}

std::optional<OleColor> toColor(const QVariant& value)
{
    const auto number = toInteger(value);
    if (!number || *number < std::numeric_limits<qint32>::min() ||
        *number > qint64(std::numeric_limits<quint32>::max()))
        return std::nullopt;
    return OleColor(quint32(*number));
}

std::optional<QString> toText(const QVariant& value)
{
    if (!isText(value) && !isNumber(value))
        return std::nullopt;
    return value.toString();
}

std::optional<QFont> toFont(const QVariant& value)
{
    if (value.typeId() == QMetaType::QFont)
        return value.value<QFont>();
    QFont font;
    if (isText(value) && font.fromString(value.toString()))
        return font;
    return std::nullopt;
}

} // namespace VeyHyperLink::Stored
