#pragma once
// The data control's bar at the top of an editor: first, previous, next and last record, and its
// caption, which shows "Record: " and the current position.

#include <QWidget>

class QLabel;
class QToolButton;

namespace halvo {

class DataControl : public QWidget {
    Q_OBJECT
public:
    explicit DataControl(QWidget* parent = nullptr);
    void setCaption(const QString& caption);
    QString caption() const;

signals:
    void firstRequested();
    void previousRequested();
    void nextRequested();
    void lastRequested();

private:
    QLabel* captionLabel;
    QToolButton* addButton(const QString& name, const QString& text, const QString& tip);
};

} // namespace halvo
