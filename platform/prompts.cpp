#include "prompts.h"

#include <QFileDialog>
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

Prompts::Answer firstButton(Prompts::Buttons buttons)
{
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
    return fromQt(box.exec());
}

QString QtPrompts::openFileName(QWidget* parent, const QString& caption, const QString& folder,
                                const QString& filter, const QString& selectedFilter)
{
    QString selected = selectedFilter;
    return QFileDialog::getOpenFileName(parent, caption, folder, filter,
                                        selected.isEmpty() ? nullptr : &selected);
}

QString QtPrompts::saveFileName(QWidget* parent, const QString& caption, const QString& folder,
                                const QString& filter, const QString& selectedFilter)
{
    QString selected = selectedFilter;
    return QFileDialog::getSaveFileName(parent, caption, folder, filter,
                                        selected.isEmpty() ? nullptr : &selected);
}

Prompts::Answer ScriptedPrompts::message(QWidget*, const QString& text, const QString& title,
                                         Buttons buttons, Icon icon)
{
    shown.append({text, title.isEmpty() ? programTitle() : title, buttons, icon});
    return answers.isEmpty() ? firstButton(buttons) : answers.takeFirst();
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
