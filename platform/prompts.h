#pragma once
// Every message box and file dialog of the program goes through Prompts, so that a test can
// answer them: the Qt implementation shows real QMessageBoxes and QFileDialogs; the scripted one
// records what would have been shown and gives back answers queued by the test.

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

namespace halvo {

class Prompts {
public:
    enum class Icon { None, Information, Warning, Critical, Question };
    // YesNoDontAsk: Yes, No and "Don't ask again", a question the user may put away for good.
    // YesNoDefaultNo: Yes and No with No the default, where a hasty Enter must lose nothing.
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel, YesNoDontAsk, YesNoDefaultNo };
    enum class Answer { Ok, Cancel, Yes, No, DontAsk };

    virtual ~Prompts() = default;

    // A message box; an empty title means the program's title.
    virtual Answer message(QWidget* parent, const QString& text, const QString& title = {},
                           Buttons buttons = Buttons::Ok, Icon icon = Icon::None) = 0;
    // Asks for a password (typed as "*"); none when the user cancelled.
    virtual std::optional<QString> password(QWidget* parent, const QString& text,
                                            const QString& title) = 0;
    // Asks for a line of text (a rate, a number), offering `proposed`; none when the user
    // cancelled. An implementation that cannot ask answers as a cancel.
    virtual std::optional<QString> typedText(QWidget* /*parent*/, const QString& /*text*/,
                                             const QString& /*title*/,
                                             const QString& /*proposed*/ = {})
    {
        return std::nullopt;
    }
    // File dialogs; an empty result means the user cancelled. The folder may end in a file name,
    // which the dialog then proposes; filters are separated by ";;", and the one named selected
    // is chosen when the dialog opens.
    virtual QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter, const QString& selectedFilter = {}) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& caption, const QString& folder,
                                 const QString& filter, const QString& selectedFilter = {}) = 0;
};

class QtPrompts : public Prompts {
public:
    Answer message(QWidget* parent, const QString& text, const QString& title, Buttons buttons,
                   Icon icon) override;
    std::optional<QString> password(QWidget* parent, const QString& text,
                                    const QString& title) override;
    std::optional<QString> typedText(QWidget* parent, const QString& text, const QString& title,
                                     const QString& proposed = {}) override;
    QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter, const QString& selectedFilter = {}) override;
    QString saveFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter, const QString& selectedFilter = {}) override;
};

// What a test sees of a message box that the program showed.
struct ShownMessage {
    QString text;
    QString title;
    Prompts::Buttons buttons;
    Prompts::Icon icon;
};

// What a test sees of a file dialog that the program showed.
struct ShownFileDialog {
    QString caption;
    QString folder;
    QString filter;
    QString selectedFilter;
};

// Answers message boxes, password questions and file dialogs from queues filled by a test. A
// message box with no queued answer is answered with its default button (OK or Yes, or No where
// No is the default); a password
// question or a file dialog with none, cancelled.
class ScriptedPrompts : public Prompts {
public:
    Answer message(QWidget* parent, const QString& text, const QString& title, Buttons buttons,
                   Icon icon) override;
    std::optional<QString> password(QWidget* parent, const QString& text,
                                    const QString& title) override;
    QString openFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter, const QString& selectedFilter = {}) override;
    QString saveFileName(QWidget* parent, const QString& caption, const QString& folder,
                         const QString& filter, const QString& selectedFilter = {}) override;

    std::optional<QString> typedText(QWidget* parent, const QString& text, const QString& title,
                                     const QString& proposed = {}) override;
    void queueTyped(const QString& typed) { typedAnswers.append(typed); }
    QStringList typedAnswers;   // answers to typedText, in order; none left: cancelled
    QStringList typedQuestions; // the text of every typedText question, in order

    void queuePassword(const QString& typed) { passwords.append(typed); }
    QStringList passwords;       // answers to password questions, in order
    QStringList passwordQuestions; // the text of every password question, in order
    void queueAnswer(Answer answer) { answers.append(answer); }
    void queueFileName(const QString& path) { fileNames.append(path); }

    QList<ShownMessage> shown;     // every message box, in order
    QStringList fileDialogs;       // the caption of every file dialog, in order
    QList<ShownFileDialog> dialogs; // every file dialog, whole, in order
    QList<Answer> answers;
    QStringList fileNames;

    QStringList texts() const;
};

// The prompts every window uses. Until a test installs its own, the Qt implementation.
Prompts& prompts();
// Installs an implementation (not owned); nullptr goes back to the Qt one.
void setPrompts(Prompts* implementation);

// The product's display name: the main window's caption, the settings' application name and the
// title of every message box that names no title of its own.
QString programTitle();

} // namespace halvo
