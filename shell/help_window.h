#pragma once
// The help window: the program's user guide, an HTML file in the program folder, shown at its
// table of contents.

#include <QPointer>
#include <QString>
#include <QWidget>

class QTextBrowser;

namespace halvo {

class HelpWindow : public QWidget {
    Q_OBJECT
public:
    // Shows the help file at its contents, or at the section named `topic` (its anchor),
    // reusing `existing` when it is still open. On failure nothing is shown and `failure` holds
    // the reason, fit to show the user.
    static QWidget* show(const QString& programFolder, QPointer<QWidget> existing,
                         QWidget* owner, QString* failure,
                         const QString& topic = QStringLiteral("contents"));

    QTextBrowser* txtHelp = nullptr;

private:
    explicit HelpWindow(QWidget* owner);
};

} // namespace halvo
