#include "display_text.h"

#include "data/dates.h"
#include "data/money.h"

namespace halvo {

QString displayText(const QVariant& value, ColumnKind kind, const QString& pattern)
{
    if (value.isNull() || !value.isValid())
        return {};
    if (kind == ColumnKind::Money && value.metaType() == QMetaType::fromType<Money>())
        return value.value<Money>().format(pattern.isEmpty() ? MoneyFormat::Bound : pattern);
    const int type = value.metaType().id();
    if (!pattern.isEmpty() && (type == QMetaType::Double || type == QMetaType::LongLong))
        return formatNumber(value.toDouble(), pattern);
    // A report column asks for its own date form ("MM/dd/yyyy"); a grid or a box takes the
    // short one.
    if (kind == ColumnKind::Date && type == QMetaType::QDate)
        return Dates::format(value.toDate(), pattern.isEmpty() ? Dates::ShortDate : pattern);
    if (kind == ColumnKind::Time && type == QMetaType::QTime)
        return Dates::format(value.toTime(), pattern.isEmpty() ? Dates::ClockTime : pattern);
    return value.toString();
}

} // namespace halvo
