#include "editor_description.h"

#include "data/money.h"

namespace halvo {

QString requiredMessage(const QString& label)
{
    return QStringLiteral("[") + label + QStringLiteral("] Please, enter required data.");
}

Field textField(const QString& control, const QString& label, const QString& column,
                int maxLength)
{
    Field f;
    f.control = control;
    f.label = label;
    f.column = column;
    f.maxLength = maxLength;
    return f;
}

Field moneyField(const QString& control, const QString& label, const QString& column)
{
    Field f = textField(control, label, column);
    f.kind = FieldKind::Money;
    f.format = MoneyFormat::Bound;
    return f;
}

Field numberField(const QString& control, const QString& label, const QString& column,
                  const QString& format)
{
    Field f = textField(control, label, column);
    f.kind = FieldKind::Number;
    f.format = format;
    return f;
}

Field dateField(const QString& control, const QString& label, const QString& column)
{
    Field f = textField(control, label, column);
    f.kind = FieldKind::Date;
    return f;
}

Field pickerField(const QString& control, const QString& label, const QString& column,
                  const QStringList& items)
{
    Field f = textField(control, label, column);
    f.kind = FieldKind::Picker;
    f.items = items;
    return f;
}

Field memoField(const QString& control, const QString& label, const QString& column)
{
    Field f = textField(control, label, column);
    f.kind = FieldKind::Memo;
    return f;
}

Field hiddenField(const QString& control, const QString& column)
{
    Field f = textField(control, QString(), column);
    f.hidden = true;
    return f;
}

GridColumn gridColumn(const QString& caption, const QString& column, int widthTwips)
{
    GridColumn c;
    c.caption = caption;
    c.column = column;
    c.widthTwips = widthTwips;
    return c;
}

GridColumn hiddenColumn(const QString& caption, const QString& column)
{
    GridColumn c = gridColumn(caption, column);
    c.hidden = true;
    return c;
}

} // namespace halvo
