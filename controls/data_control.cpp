#include "data_control.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace halvo {

DataControl::DataControl(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("datPrimaryRS"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    captionLabel = new QLabel(this);
    captionLabel->setFrameShape(QFrame::StyledPanel);
    captionLabel->setMinimumWidth(120);
    captionLabel->setAlignment(Qt::AlignCenter);

    layout->addWidget(addButton(QStringLiteral("First"), QStringLiteral("|<"),
                                tr("First record (Ctrl+Home)")));
    layout->addWidget(addButton(QStringLiteral("Previous"), QStringLiteral("<"),
                                tr("Previous record (Ctrl+Page Up)")));
    layout->addWidget(captionLabel, 1);
    layout->addWidget(addButton(QStringLiteral("Next"), QStringLiteral(">"),
                                tr("Next record (Ctrl+Page Down)")));
    layout->addWidget(addButton(QStringLiteral("Last"), QStringLiteral(">|"),
                                tr("Last record (Ctrl+End)")));
}

QToolButton* DataControl::addButton(const QString& name, const QString& text, const QString& tip)
{
    auto* button = new QToolButton(this);
    button->setObjectName(name);
    button->setText(text);
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setAutoRaise(false);
    // The bar is reached with its shortcuts; Tab goes through the record's fields.
    button->setFocusPolicy(Qt::NoFocus);
    if (name == QLatin1String("First"))
        connect(button, &QToolButton::clicked, this, &DataControl::firstRequested);
    else if (name == QLatin1String("Previous"))
        connect(button, &QToolButton::clicked, this, &DataControl::previousRequested);
    else if (name == QLatin1String("Next"))
        connect(button, &QToolButton::clicked, this, &DataControl::nextRequested);
    else
        connect(button, &QToolButton::clicked, this, &DataControl::lastRequested);
    return button;
}

void DataControl::setCaption(const QString& caption) { captionLabel->setText(caption); }
QString DataControl::caption() const { return captionLabel->text(); }

} // namespace halvo
