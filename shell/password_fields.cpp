#include "password_fields.h"

#include "resources/program_logo.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include <QApplication>
#include <QGridLayout>
#include <QGuiApplication>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>

namespace halvo {

QLineEdit* addPasswordRow(QGridLayout* grid, int row, QWidget* parent, const QString& caption,
                          const QString& name)
{
    auto* label = new QLabel(caption, parent);
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setEchoMode(QLineEdit::Password);
    // The box shows every character as "*", whatever the style's own mask character is.
    box->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    box->setMinimumWidth(220);
    label->setBuddy(box);
    box->setAccessibleName(QString(caption).remove(QLatin1Char('&')));
    grid->addWidget(label, row, 0);
    grid->addWidget(box, row, 1);
    return box;
}

QWidget* makeLogo(QWidget* parent, int size)
{
    auto* logo = new QLabel(parent);
    logo->setObjectName(QStringLiteral("Image1"));
    logo->setPixmap(programLogo().pixmap(size, size));
    logo->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    logo->setAccessibleName(QStringLiteral("HALVO"));
    return logo;
}

void centreOnScreen(QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    if (!window->testAttribute(Qt::WA_Resized))
        window->adjustSize();
    const QRect area = screen->availableGeometry();
    window->move(area.center() - window->rect().center());
}

QHBoxLayout* commandRow(std::initializer_list<QWidget*> links)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(16);
    row->addStretch(1);
    for (QWidget* link : links)
        row->addWidget(link);
    return row;
}

void layOutWithLogo(QWidget* window, QGridLayout* fields, QHBoxLayout* commands)
{
    auto* top = new QHBoxLayout;
    top->addWidget(makeLogo(window, 48));
    top->addSpacing(8);
    top->addLayout(fields, 1);
    auto* layout = new QVBoxLayout(window);
    layout->addLayout(top);
    layout->addSpacing(8);
    layout->addLayout(commands);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

BusyPointer::BusyPointer() { QApplication::setOverrideCursor(Qt::WaitCursor); }
BusyPointer::~BusyPointer() { QApplication::restoreOverrideCursor(); }

} // namespace halvo
