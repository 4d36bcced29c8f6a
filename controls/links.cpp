#include "links.h"

#include "hyperlink/vey_hyperlink_label.h"

namespace halvo {

VeyHyperLinkLabel* makeLink(QWidget* parent, const QString& name, const QString& caption)
{
    // Placed on the window under its command's name, as a new instance, then captioned.
    auto* link = new VeyHyperLinkLabel(name, parent);
    link->SetCaption(caption);
    link->SetAutoSize(true);
    return link;
}

} // namespace halvo
