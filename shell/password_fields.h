#pragma once
// A masked password box with its label as buddy, as every password window lays them out.

#include <QString>

#include <initializer_list>

class QGridLayout;
class QHBoxLayout;
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

// A row of commands at the right edge of a window.
QHBoxLayout* commandRow(std::initializer_list<QWidget*> links);

// Lays out a small sign-in window: the logo beside its fields, its commands below at the right,
// the window exactly as large as what it holds.
void layOutWithLogo(QWidget* window, QGridLayout* fields, QHBoxLayout* commands);

// Deriving or hashing a password takes a noticeable moment; the pointer says so while it lives.
class BusyPointer {
public:
    BusyPointer();
    ~BusyPointer();
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;
};

// Centres a top-level window on the screen it will appear on.
void centreOnScreen(QWidget* window);

} // namespace halvo
