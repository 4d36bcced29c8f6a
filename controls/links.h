#pragma once
// The windows' commands are link labels: each is created through the control's class, named
// after its command, and reacts to its Click.

#include <QString>

class QWidget;
class VeyHyperLinkLabel;

namespace halvo {

VeyHyperLinkLabel* makeLink(QWidget* parent, const QString& name, const QString& caption);

} // namespace halvo
