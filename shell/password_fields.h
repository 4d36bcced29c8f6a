#pragma once
// A masked password box with its label as buddy, as every password window lays them out.

#include <QString>

class QGridLayout;
class QLabel;
class QLineEdit;
class QWidget;

namespace halvo {

// Adds "caption" (with its access key marked by '&') and a masked box named `name` to a grid
// row; the label is the box's buddy, so the access key and screen readers reach the box.
QLineEdit* addPasswordRow(QGridLayout* grid, int row, QWidget* parent, const QString& caption,
                          const QString& name);

// The program's logo beside a small window's fields.
QWidget* makeLogo(QWidget* parent, int size);

// Centres a top-level window on the screen it will appear on.
void centreOnScreen(QWidget* window);

} // namespace halvo
