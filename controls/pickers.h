#pragma once
// The input controls the editors bind to columns, beyond plain text boxes.

#include <QComboBox>
#include <QDateEdit>
#include <QStringList>

namespace halvo {

// A drop-down list whose value can only be chosen from the list: typed characters, Backspace
// included, never reach it, and the list does not jump to an entry by its first letters either.
// Navigation keys (arrows, Page Up and Down, Home, End, F4, Alt+Down) still work. Its text may
// show a value that is not in the list (a record's value from before the list changed).
class Picker : public QComboBox {
    Q_OBJECT
public:
    explicit Picker(QWidget* parent = nullptr);
    void setText(const QString& text);
    QString text() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Looks at the entries from `first` to before `end`: from the first, anew.
    void fitToEntries(int first, int end);
    qsizetype longestEntry = 0; // in characters
};

// A date picker with a calendar that can also be empty: an empty date shows no text. Delete or
// Backspace empties it; choosing or typing a date fills it again. A date typed in full arrives as
// typed wherever the cursor stood: after Tab, Home, a click in the text or Ctrl+A alike.
class DatePicker : public QDateEdit {
    Q_OBJECT
public:
    explicit DatePicker(QWidget* parent = nullptr);
    // An invalid date empties the picker.
    void setValue(const QDate& date);
    QDate value() const; // invalid when empty
    bool isEmpty() const { return !value().isValid(); }

signals:
    // The user changed the date (not the program).
    void edited(const QDate& date);

protected:
    // Tab leaves the picker for the next field, as in every other field of the window; the
    // arrow keys, a typed "/" and a finished month or day move between month, day and year.
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool settingValue = false;
    bool sectionTypedToItsEnd = false; // the last digit typed moved on to the next part
    int sectionBeingTyped = -1; // the part the last digit went into and stayed in, else -1

    // The part of the date (0 month, 1 day, 2 year) a position in the text is in.
    int sectionIndexAt(int position) const;
};

// The states offered by every state picker: the fifty states and the District of Columbia in
// alphabetical order, each but the last followed by four blanks, as they are stored.
const QStringList& stateList();

// The whole numbers from first to last as a picker lists them: "0", "1", ... "20".
QStringList numberList(int first, int last);

} // namespace halvo
