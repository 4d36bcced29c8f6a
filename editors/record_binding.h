#pragma once
// The bound fields of a window and its record set, kept in step: the current record is shown in
// every field (through the one displayText), what the user types or chooses goes into the
// record's buffer, and each mirrored picker shows the box it mirrors whenever the record is shown
// or the box changes. Fields on one column (a date picker and its hidden text) show one value.

#include "data/connection.h"
#include "data/record_set.h"
#include "editors/editor_description.h"

#include <QHash>
#include <QObject>
#include <optional>

class QLineEdit;
class QWidget;

namespace halvo {

class Picker;

class RecordBinding : public QObject {
    Q_OBJECT
public:
    explicit RecordBinding(RecordSet* records, QObject* parent = nullptr);

    // A field and the control that shows it; edits of the control go into the record.
    void bind(const Field& field, QWidget* input);
    // A picker that chooses into a bound box.
    void mirror(const MirroredPicker& mirror, Picker* picker);

    // Shows the current record in every field and mirrored picker.
    void showRecord();
    // Fills a mirrored picker's list from its look-up record set: rows without a value add
    // nothing, an empty text adds an empty entry, in the look-up's order. The picker keeps
    // showing the record's value.
    void fillPicker(const MirroredPicker& mirror, const Connection& connection);

    // The text a user sees in a field: a box's text, a picker's text, a date in the short form.
    QString text(const QString& control) const;
    // Sets a field's text as a user would type it: shown, and written to the record's buffer.
    // False when the text does not suit the column (the field is then mistyped).
    bool setText(const QString& control, const QString& text);
    const Field* field(const QString& control) const;

    // The first field whose typed text does not suit its column, and that text. Such a field
    // keeps the record from being left or written until it is mended.
    struct Mistyped {
        const Field* field;
        QString text;
    };
    std::optional<Mistyped> mistyped() const;
    void forgetMistyped() { badText.clear(); }

signals:
    // The user changed a field (after the record took the change).
    void edited(const QString& control);
    // The current record was shown in the fields.
    void shown();

private:
    RecordSet* records;
    QList<Field> fields;
    QHash<QString, QWidget*> inputs;
    QList<QPair<MirroredPicker, Picker*>> mirrors;
    QHash<QString, QString> badText; // controls whose typed text does not fit their column
    bool showing = false;

    void showField(const Field& field);
    void showWhole(QLineEdit& box, const Field& field, const QString& text);
    void showMirrors(const QString& box = {});
    void changed(const Field& field, const QVariant& value, const QString& typed);
    ColumnKind kindOf(const Field& field) const;
};

} // namespace halvo
