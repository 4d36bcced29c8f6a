#include "record_binding.h"

#include <algorithm>

#include "data/dates.h"
#include "data/money.h"
#include "controls/pickers.h"
#include "editors/record_grid.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace halvo {

RecordBinding::RecordBinding(RecordSet* records, QObject* parent)
    : QObject(parent), records(records)
{
}

void RecordBinding::bind(const Field& field, QWidget* input)
{
    fields.append(field);
    inputs.insert(field.control, input);
    if (auto* date = qobject_cast<DatePicker*>(input)) {
        connect(date, &DatePicker::edited, this, [this, field](const QDate& d) {
            changed(field, d.isValid() ? QVariant(d) : QVariant(), QString());
        });
    } else if (auto* list = qobject_cast<Picker*>(input)) {
        connect(list, &QComboBox::activated, this, [this, field, list](int index) {
            const QString chosen = list->itemText(index);
            list->setText(chosen);
            changed(field, chosen, chosen);
        });
    } else if (auto* box = qobject_cast<QLineEdit*>(input)) {
        // Every change of the text is the user's but the program's own display of a record,
        // which sets `showing`: typed, pasted, or put in by assistive technology (dictation and
        // automation tools write through the accessibility interface, which edits no keys).
        connect(box, &QLineEdit::textChanged, this,
                [this, field](const QString& text) { changed(field, text, text); });
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(input)) {
        connect(memo, &QPlainTextEdit::textChanged, this, [this, field, memo] {
            const QString text = memo->toPlainText();
            changed(field, text, text);
        });
    }
}

void RecordBinding::mirror(const MirroredPicker& mirror, Picker* picker)
{
    mirrors.append({mirror, picker});
    connect(picker, &QComboBox::activated, this, [this, box = mirror.box, picker](int index) {
        const QString chosen = picker->itemText(index);
        picker->setText(chosen);
        setText(box, chosen);
    });
}

const Field* RecordBinding::field(const QString& control) const
{
    for (const Field& f : fields)
        if (f.control == control)
            return &f;
    return nullptr;
}

ColumnKind RecordBinding::kindOf(const Field& field) const
{
    const int column = records->columnIndex(field.column);
    return column < 0 ? ColumnKind::Text : records->columns().at(column).kind;
}

void RecordBinding::showRecord()
{
    showing = true;
    badText.clear();
    for (const Field& field : fields)
        showField(field);
    showMirrors();
    showing = false;
    emit shown();
}

void RecordBinding::showField(const Field& field)
{
    const QVariant value = records->value(field.column);
    QWidget* input = inputs.value(field.control);
    if (auto* date = qobject_cast<DatePicker*>(input)) {
        date->setValue(value.toDate());
        return;
    }
    // A number chosen from a list shows as the list writes it ("1.0" baths, not "1").
    ColumnKind kind = kindOf(field);
    if (field.kind == FieldKind::Money)
        kind = ColumnKind::Money;
    const QString text = displayText(value, kind, field.format);
    if (auto* list = qobject_cast<Picker*>(input)) {
        list->setText(text);
    } else if (auto* box = qobject_cast<QLineEdit*>(input)) {
        showWhole(*box, field, text);
        box->setText(text);
        box->setCursorPosition(0);
    } else if (auto* memo = qobject_cast<QPlainTextEdit*>(input)) {
        if (memo->toPlainText() != text)
            memo->setPlainText(text);
    }
}

// A stored text longer than the field takes when typed (written by another program) is shown
// and kept whole, never cut to the field's length, and the field says so.
void RecordBinding::showWhole(QLineEdit& box, const Field& field, const QString& text)
{
    if (field.maxLength <= 0)
        return;
    const bool longer = text.size() > field.maxLength;
    box.setMaxLength(longer ? int(text.size()) : field.maxLength);
    box.setToolTip(longer ? tr("This text is longer than the %1 characters this field takes; it "
                               "is kept whole.")
                                .arg(field.maxLength)
                          : QString());
}

// Each picker shows what its box holds: all of them, or those that mirror one box.
void RecordBinding::showMirrors(const QString& box)
{
    for (const auto& [mirror, picker] : mirrors)
        if (box.isEmpty() || mirror.box == box)
            picker->setText(text(mirror.box));
}

void RecordBinding::fillPicker(const MirroredPicker& mirror, const Connection& connection)
{
    Picker* picker = nullptr;
    for (const auto& [m, p] : mirrors)
        if (m.picker == mirror.picker)
            picker = p;
    if (!picker || mirror.lookupSql.isEmpty())
        return;
    // The list is read in one pass: a picker of ten thousand vendors would otherwise read them
    // page by page through a record set of its own.
    QStringList entries;
    int column = -1;
    const Status read = connection.eachRow(
        mirror.lookupSql, {},
        [&](const QStringList& columns, QVariantList values) {
            if (column < 0)
                column = int(std::find_if(columns.cbegin(), columns.cend(),
                                          [&](const QString& name) {
                                              return name.compare(mirror.lookupColumn,
                                                                  Qt::CaseInsensitive) == 0;
                                          })
                             - columns.cbegin());
            if (column >= columns.size())
                return false;
            if (const QVariant& value = values[column]; !value.isNull())
                entries.append(value.toString());
            return true;
        });
    if (!read)
        return;
    picker->clear();
    picker->addItems(entries);
    picker->setText(text(mirror.box));
}

void RecordBinding::changed(const Field& field, const QVariant& value, const QString& typed)
{
    if (showing || !records->isOpen())
        return;
    if (records->setValue(field.column, value)) {
        badText.remove(field.control);
        // Other fields on the same column show the value it now holds.
        showing = true;
        for (const Field& other : fields)
            if (other.control != field.control && other.column == field.column)
                showField(other);
        showing = false;
    } else {
        badText.insert(field.control, typed);
    }
    showMirrors(field.control);
    emit edited(field.control);
}

bool RecordBinding::setText(const QString& control, const QString& text)
{
    const Field* f = field(control);
    QWidget* input = inputs.value(control);
    if (!f || !input)
        return false;
    if (auto* date = qobject_cast<DatePicker*>(input)) {
        const QDate d = QDate::fromString(text, Dates::ShortDate);
        showing = true;
        date->setValue(d);
        showing = false;
        changed(*f, d.isValid() ? QVariant(d) : QVariant(), text);
        return !badText.contains(control);
    }
    showing = true; // a memo reports the text set here as a change of its own
    if (auto* box = qobject_cast<QLineEdit*>(input))
        box->setText(text);
    else if (auto* list = qobject_cast<Picker*>(input))
        list->setText(text);
    else if (auto* memo = qobject_cast<QPlainTextEdit*>(input))
        memo->setPlainText(text);
    showing = false;
    changed(*f, text, text);
    return !badText.contains(control);
}

QString RecordBinding::text(const QString& control) const
{
    QWidget* input = inputs.value(control);
    if (auto* date = qobject_cast<DatePicker*>(input))
        return date->isEmpty() ? QString() : date->text();
    if (auto* list = qobject_cast<Picker*>(input))
        return list->text();
    if (auto* box = qobject_cast<QLineEdit*>(input))
        return box->text();
    if (auto* memo = qobject_cast<QPlainTextEdit*>(input))
        return memo->toPlainText();
    for (const auto& [mirror, picker] : mirrors)
        if (mirror.picker == control)
            return picker->text();
    return {};
}

std::optional<RecordBinding::Mistyped> RecordBinding::mistyped() const
{
    for (const Field& f : fields)
        if (badText.contains(f.control))
            return Mistyped{&f, badText.value(f.control)};
    return std::nullopt;
}

} // namespace halvo
