#include "copy_progress.h"

#include "prompts.h"

namespace halvo {

CopyProgressWindow::CopyProgressWindow(QWidget* parent, const QString& text)
    : dialog(text, QObject::tr("Cancel"), 0, 1000, parent)
{
    dialog.setWindowTitle(programTitle());
    dialog.setWindowModality(Qt::WindowModal);
    dialog.setMinimumDuration(500);
    dialog.setAutoClose(false);
    dialog.setAutoReset(false);
}

std::function<bool(qint64, qint64)> CopyProgressWindow::callback()
{
    return [this](qint64 done, qint64 total) {
        dialog.setValue(total > 0 ? int(done * 1000 / total) : 1000);
        return !dialog.wasCanceled();
    };
}

} // namespace halvo
