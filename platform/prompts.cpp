#include "prompts.h"

#include <QFileDialog>
#include <QFileIconProvider>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QMessageBox>

namespace halvo {

namespace {

Prompts* installed = nullptr;

QMessageBox::Icon toQt(Prompts::Icon icon)
{
    switch (icon) {
    case Prompts::Icon::Information: return QMessageBox::Information;
    case Prompts::Icon::Warning: return QMessageBox::Warning;
    case Prompts::Icon::Critical: return QMessageBox::Critical;
    case Prompts::Icon::Question: return QMessageBox::Question;
    case Prompts::Icon::None: break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons toQt(Prompts::Buttons buttons)
{
    switch (buttons) {
    case Prompts::Buttons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case Prompts::Buttons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case Prompts::Buttons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case Prompts::Buttons::YesNoDontAsk:
    case Prompts::Buttons::YesNoDefaultNo: return QMessageBox::Yes | QMessageBox::No;
    case Prompts::Buttons::Ok: break;
    }
    return QMessageBox::Ok;
}

Prompts::Answer fromQt(int button)
{
    switch (button) {
    case QMessageBox::Yes: return Prompts::Answer::Yes;
    case QMessageBox::No: return Prompts::Answer::No;
    case QMessageBox::Cancel: return Prompts::Answer::Cancel;
    default: return Prompts::Answer::Ok;
    }
}

Prompts::Answer defaultButton(Prompts::Buttons buttons)
{
    if (buttons == Prompts::Buttons::YesNoDefaultNo)
        return Prompts::Answer::No;
    return buttons == Prompts::Buttons::Ok || buttons == Prompts::Buttons::OkCancel
               ? Prompts::Answer::Ok
               : Prompts::Answer::Yes;
}

} // namespace

QString programTitle() { return QStringLiteral("HALVO"); }

Prompts::Answer QtPrompts::message(QWidget* parent, const QString& text, const QString& title,
                                   Buttons buttons, Icon icon)
{
    QMessageBox box(toQt(icon), title.isEmpty() ? programTitle() : title, text, toQt(buttons),
                    parent);
    if (buttons == Buttons::YesNoDefaultNo)
        box.setDefaultButton(QMessageBox::No);
    QAbstractButton* dontAsk = nullptr;
    if (buttons == Buttons::YesNoDontAsk)
        dontAsk = box.addButton(QMessageBox::tr("&Don't ask again"), QMessageBox::RejectRole);
    const int chosen = box.exec();
    if (dontAsk && box.clickedButton() == dontAsk)
        return Answer::DontAsk;
    return fromQt(chosen);
}

std::optional<QString> QtPrompts::password(QWidget* parent, const QString& text,
                                           const QString& title)
{
    bool ok = false;
    const QString typed =
        QInputDialog::getText(parent, title.isEmpty() ? programTitle() : title, text,
                              QLineEdit::Password, {}, &ok);
    if (!ok)
        return std::nullopt;
    return typed;
}

std::optional<QString> QtPrompts::typedText(QWidget* parent, const QString& text,
                                            const QString& title, const QString& proposed)
{
    bool ok = false;
    const QString typed =
        QInputDialog::getText(parent, title.isEmpty() ? programTitle() : title, text,
                              QLineEdit::Normal, proposed, &ok);
    if (!ok)
        return std::nullopt;
    return typed;
}

namespace {

// Icons and types from a file's name alone. Qt's file dialog otherwise guesses the type of a file
// whose name does not tell from its first bytes, and so opens and closes every such file it
// lists: in the program folder that is the database's write-ahead log and shared memory, and
// closing a descriptor of those drops the engine's locks on them. The desktop's own dialogs,
// loaded into the program, read files the same way, so the program always shows Qt's.
class NameOnlyIcons : public QFileIconProvider {
public:
    using QFileIconProvider::icon;
    QIcon icon(const QFileInfo& info) const override
    {
        return QFileIconProvider::icon(info.isDir() ? Folder : File);
    }
    QString type(const QFileInfo& info) const override
    {
        if (info.isDir())
            return QFileDialog::tr("Folder");
        return info.suffix().isEmpty() ? QFileDialog::tr("File")
                                       : QFileDialog::tr("%1 File").arg(info.suffix());
    }
};

QString chooseFile(QWidget* parent, const QString& caption, const QString& folder,
                   const QString& filter, const QString& selectedFilter,
                   QFileDialog::AcceptMode mode)
{
    QFileDialog dialog(parent, caption, folder, filter);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    NameOnlyIcons icons;
    dialog.setIconProvider(&icons);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    if (!selectedFilter.isEmpty())
        dialog.selectNameFilter(selectedFilter);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles().value(0);
}

} // namespace

QString QtPrompts::openFileName(QWidget* parent, const QString& caption, const QString& folder,
                                const QString& filter, const QString& selectedFilter)
{
    return chooseFile(parent, caption, folder, filter, selectedFilter, QFileDialog::AcceptOpen);
}

QString QtPrompts::saveFileName(QWidget* parent, const QString& caption, const QString& folder,
                                const QString& filter, const QString& selectedFilter)
{
    return chooseFile(parent, caption, folder, filter, selectedFilter, QFileDialog::AcceptSave);
}

Prompts::Answer ScriptedPrompts::message(QWidget*, const QString& text, const QString& title,
                                         Buttons buttons, Icon icon)
{
    shown.append({text, title.isEmpty() ? programTitle() : title, buttons, icon});
    return answers.isEmpty() ? defaultButton(buttons) : answers.takeFirst();
}

std::optional<QString> ScriptedPrompts::password(QWidget*, const QString& text, const QString&)
{
    passwordQuestions.append(text);
    if (passwords.isEmpty())
        return std::nullopt;
    return passwords.takeFirst();
}

std::optional<QString> ScriptedPrompts::typedText(QWidget*, const QString& text, const QString&,
                                                  const QString&)
{
    typedQuestions.append(text);
    if (typedAnswers.isEmpty())
        return std::nullopt;
    return typedAnswers.takeFirst();
}

QString ScriptedPrompts::openFileName(QWidget*, const QString& caption, const QString& folder,
                                      const QString& filter, const QString& selectedFilter)
{
    fileDialogs.append(caption);
    dialogs.append({caption, folder, filter, selectedFilter});
    return fileNames.isEmpty() ? QString() : fileNames.takeFirst();
}

QString ScriptedPrompts::saveFileName(QWidget* parent, const QString& caption,
                                      const QString& folder, const QString& filter,
                                      const QString& selectedFilter)
{
    return openFileName(parent, caption, folder, filter, selectedFilter);
}

QStringList ScriptedPrompts::texts() const
{
    QStringList result;
    for (const ShownMessage& m : shown)
        result.append(m.text);
    return result;
}

Prompts& prompts()
{
    static QtPrompts qtPrompts;
    return installed ? *installed : qtPrompts;
}

void setPrompts(Prompts* implementation) { installed = implementation; }

} // namespace halvo
