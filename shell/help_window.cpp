#include "help_window.h"

#include "password_fields.h"

#include "platform/program_files.h"
#include "platform/prompts.h"

#include <QFile>
#include <QKeySequence>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace halvo {

HelpWindow::HelpWindow(QWidget* owner) : QWidget(owner, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(tr("%1 Help").arg(programTitle()));
    setAttribute(Qt::WA_DeleteOnClose);
    txtHelp = new QTextBrowser(this);
    txtHelp->setObjectName(QStringLiteral("txtHelp"));
    txtHelp->setOpenExternalLinks(true);
    txtHelp->setAccessibleName(windowTitle());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(txtHelp);
    auto* closeKey = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(closeKey, &QShortcut::activated, this, &QWidget::close);
    resize(760, 640);
}

QWidget* HelpWindow::show(const QString& programFolder, QPointer<QWidget> existing,
                          QWidget* owner, QString* failure, const QString& topic)
{
    const QString path = helpFilePath(programFolder);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (failure)
            *failure = tr("Unable to open the help file \"%1\": %2").arg(path, file.errorString());
        return nullptr;
    }
    const QString html = QString::fromUtf8(file.readAll());

    auto* window = qobject_cast<HelpWindow*>(existing.data());
    if (!window) {
        window = new HelpWindow(owner);
        centreOnScreen(window);
    }
    window->txtHelp->setSearchPaths({programFolder});
    window->txtHelp->setHtml(html);
    // Opened at the contents, at the top of the guide, or at the topic asked for.
    window->txtHelp->scrollToAnchor(topic);
    window->QWidget::show();
    window->raise();
    window->activateWindow();
    return window;
}

} // namespace halvo
