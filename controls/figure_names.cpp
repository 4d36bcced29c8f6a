#include "figure_names.h"

#include <QLabel>

namespace halvo {

QString readsAs(const QString& caption, const QString& figure)
{
    QString said = QString(caption).remove(QLatin1Char('&')).trimmed();
    if (said.isEmpty())
        return figure.trimmed();
    if (!said.endsWith(QLatin1Char(':')))
        said += QLatin1Char(':');
    return said + QLatin1Char(' ') + figure.trimmed();
}

void showFigure(QLabel* label, const QString& caption, const QString& figure)
{
    label->setText(figure);
    label->setAccessibleName(readsAs(caption, figure));
}

} // namespace halvo
