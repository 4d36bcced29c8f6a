#pragma once
// How a value of a column is shown, the same everywhere it is shown: in a grid, in a bound box
// and on a printed report.

#include "data/record_set.h"

#include <QString>
#include <QVariant>

namespace halvo {

// Money with the given pattern (by default the bound fields' one), a number with its pattern when
// it has one, dates in the pattern given or else the short date form, times of day in the pattern
// given or else on the clock ("1:05:09 PM"), everything else as text. A value stored in another
// form than its column's kind is shown as it is stored.
QString displayText(const QVariant& value, ColumnKind kind, const QString& pattern = {});

} // namespace halvo
