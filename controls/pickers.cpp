#include "pickers.h"

#include "data/dates.h"

#include <QAbstractItemView>
#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>
#include <limits>
#include <utility>

namespace halvo {

namespace {

// A key that would type a character, or take one away.
bool typesText(const QKeyEvent* key)
{
    if (key->key() == Qt::Key_Backspace || key->key() == Qt::Key_Delete)
        return true;
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = key->text();
    return !text.isEmpty() && text.at(0).isPrint();
}

const QDate emptyDate(1752, 9, 14); // the earliest date a picker knows stands for "no date"

} // namespace

Picker::Picker(QWidget* parent) : QComboBox(parent)
{
    // Editable so that it can show any stored value, read-only so that nothing can be typed.
    setEditable(true);
    lineEdit()->setReadOnly(true);
    lineEdit()->setMaxLength(std::numeric_limits<int>::max()); // a stored text shows whole
    setCompleter(nullptr);
    setInsertPolicy(QComboBox::NoInsert);
    lineEdit()->installEventFilter(this);
    view()->installEventFilter(this);
    // Entries added one at a time are looked at one at a time; a removal looks at them all.
    connect(model(), &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex&, int first, int last) { fitToEntries(first, last + 1); });
    connect(model(), &QAbstractItemModel::rowsRemoved, this, [this] { fitToEntries(0, count()); });
    connect(model(), &QAbstractItemModel::modelReset, this, [this] { fitToEntries(0, count()); });
}

// A list of a few entries gets the width of its widest one, measured. A long list (thousands of
// vendors) is not measured entry by entry: that would lay out every name's text each time a
// window opens. It gets the width of its longest entry by the count of characters, up to 40.
void Picker::fitToEntries(int first, int end)
{
    constexpr int MeasuredEntries = 200;
    if (first == 0)
        longestEntry = 0;
    for (int i = first; i < end; ++i)
        longestEntry = std::max(longestEntry, itemText(i).size());
    if (count() <= MeasuredEntries) {
        setSizeAdjustPolicy(QComboBox::AdjustToContentsOnFirstShow);
        return;
    }
    setMinimumContentsLength(int(std::min<qsizetype>(longestEntry, 40)));
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
}

// The list stands on the entry the text names, or on none, so that the arrow keys go on from
// the value shown.
void Picker::setText(const QString& text)
{
    setCurrentIndex(findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive));
    setEditText(text);
    lineEdit()->setCursorPosition(0); // a long name shows its beginning
}
QString Picker::text() const { return currentText(); }

bool Picker::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && typesText(static_cast<QKeyEvent*>(event)))
        return true;
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonPress) {
        showPopup(); // a click anywhere on it opens the list, as on a plain drop-down
        return true;
    }
    return QComboBox::eventFilter(watched, event);
}

void Picker::keyPressEvent(QKeyEvent* event)
{
    if (typesText(event)) {
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

DatePicker::DatePicker(QWidget* parent) : QDateEdit(parent)
{
    setCalendarPopup(true);
    setDisplayFormat(Dates::ShortDate);
    setMinimumDate(emptyDate);
    setSpecialValueText(QStringLiteral(" "));
    setDate(emptyDate);
    lineEdit()->installEventFilter(this);
    connect(this, &QDateEdit::dateChanged, this, [this](const QDate&) {
        if (!settingValue)
            emit edited(value());
    });
}

void DatePicker::setValue(const QDate& date)
{
    settingValue = true;
    setDate(date.isValid() ? date : emptyDate);
    if (date.isValid())
        calendarWidget()->setSelectedDate(date);
    settingValue = false;
}

QDate DatePicker::value() const { return date() == emptyDate ? QDate() : date(); }

int DatePicker::sectionIndexAt(int position) const
{
    const QString shown = lineEdit()->text().left(position);
    int index = 0;
    for (int i = 1; i < shown.size(); ++i)
        if (!shown.at(i).isDigit() && shown.at(i - 1).isDigit())
            ++index;
    return std::min(index, sectionCount() - 1);
}

void DatePicker::focusInEvent(QFocusEvent* event)
{
    sectionBeingTyped = -1;
    QDateEdit::focusInEvent(event);
}

// A click puts the cursor somewhere in the text: the next digit starts a part afresh.
bool DatePicker::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == lineEdit() && event->type() == QEvent::MouseButtonPress)
        sectionBeingTyped = -1;
    return QDateEdit::eventFilter(watched, event);
}

void DatePicker::keyPressEvent(QKeyEvent* event)
{
    const bool justMovedOn = std::exchange(sectionTypedToItsEnd, false);
    const int typingInto = std::exchange(sectionBeingTyped, -1);
    if ((event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace)
        && (isEmpty() || lineEdit()->selectedText() == lineEdit()->text())) {
        setDate(emptyDate);
        event->accept();
        return;
    }
    const QString text = event->text();
    const bool digit = text.size() == 1 && text.at(0).isDigit();
    // Typing into an empty picker starts from today rather than from the empty date, with its
    // month selected, so that what is typed takes its place.
    if (isEmpty() && digit) {
        setDate(QDate::currentDate());
        setSelectedSection(sectionAt(0));
    }
    // A date typed as it is written, "03/15/2026": a month or day typed to its end moves on to
    // the next part by itself, and the "/" typed after it is that same move, not one more (which
    // would put the day into the year). After the year, the last part, "/" goes nowhere.
    const bool separator = text.size() == 1 && text.at(0).isPunct();
    if (separator && (justMovedOn || currentSectionIndex() == sectionCount() - 1)) {
        event->accept();
        return;
    }
    // A digit that does not go on with the part being typed replaces that part whole, as after
    // Tab. Otherwise, after Home, a click, the arrows or Ctrl+A, the date edit would put it
    // beside the digits there ("1" before "12" makes no month, and is dropped) or in place of
    // the whole date, and the month typed would be lost.
    QLineEdit* shown = lineEdit();
    if (digit && !isEmpty()) {
        const int at = shown->hasSelectedText() ? shown->selectionStart() : shown->cursorPosition();
        const int part = sectionIndexAt(at);
        if (shown->hasSelectedText() || part != typingInto)
            setSelectedSection(sectionAt(part));
    }
    const int section = currentSectionIndex();
    QDateEdit::keyPressEvent(event);
    sectionTypedToItsEnd = digit && currentSectionIndex() != section;
    if (digit && !sectionTypedToItsEnd && !shown->hasSelectedText())
        sectionBeingTyped = currentSectionIndex();
}

// A date edit takes Tab for its next section, and so do a typed separator and a section typed to
// its end: only Tab itself is made to leave the picker here.
bool DatePicker::event(QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
        if (plain && (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)) {
            const bool back =
                key->key() == Qt::Key_Backtab || (key->modifiers() & Qt::ShiftModifier);
            QWidget::focusNextPrevChild(!back);
            return true;
        }
    }
    return QDateEdit::event(event);
}

const QStringList& stateList()
{
    static const QStringList states = [] {
        const char* names[] = {
            "Alabama", "Alaska", "Arizona", "Arkansas", "California", "Colorado", "Connecticut",
            "Delaware", "District of Columbia", "Florida", "Georgia", "Hawaii", "Idaho",
            "Illinois", "Indiana", "Iowa", "Kansas", "Kentucky", "Louisiana", "Maine", "Maryland",
            "Massachusetts", "Michigan", "Minnesota", "Mississippi", "Missouri", "Montana",
            "Nebraska", "Nevada", "New Hampshire", "New Jersey", "New Mexico", "New York",
            "North Carolina", "North Dakota", "Ohio", "Oklahoma", "Oregon", "Pennsylvania",
            "Rhode Island", "South Carolina", "South Dakota", "Tennessee", "Texas", "Utah",
            "Vermont", "Virginia", "Washington", "West Virginia", "Wisconsin", "Wyoming"};
        QStringList list;
        for (const char* name : names)
            list.append(QString::fromLatin1(name) + QStringLiteral("    "));
        list.last() = list.last().trimmed(); // "Wyoming" is stored without blanks
        return list;
    }();
    return states;
}

QStringList numberList(int first, int last)
{
    QStringList list;
    for (int n = first; n <= last; ++n)
        list.append(QString::number(n));
    return list;
}

} // namespace halvo
