#pragma once
// The window shown while a long copy of the database runs (a backup, a restore, the file keyed
// anew): it appears once the copy takes longer than a moment, lets the window behind it stay
// responsive, and its Cancel stops the copy with nothing written.

#include <QProgressDialog>
#include <QString>
#include <functional>

class QWidget;

namespace halvo {

class CopyProgressWindow {
public:
    CopyProgressWindow(QWidget* parent, const QString& text);
    // Told how many bytes of how many are done; answers false once the user has cancelled.
    std::function<bool(qint64 done, qint64 total)> callback();

private:
    QProgressDialog dialog;
};

} // namespace halvo
