#pragma once
// The library's own about box.

#include "hyperlink/veyhyperlink_export.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace VeyHyperLink {

class VEYHYPERLINK_EXPORT AboutForm : public QDialog {
    Q_OBJECT
public:
    explicit AboutForm(QWidget* parent = nullptr);

private:
    QLabel* TitleLabel;
    QLabel* MakerLabel;
    QPushButton* OKBut;
};

} // namespace VeyHyperLink
