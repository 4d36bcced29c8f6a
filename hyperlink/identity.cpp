#include "hyperlink/identity.h"

#include "hyperlink/vey_hyperlink_label.h"

namespace VeyHyperLink {

VeyHyperLinkLabel* createControl(const QString& id, QWidget* parent)
{
    const QString text = id.trimmed();
    const bool byProgId = text.compare(QLatin1String(ProgId), Qt::CaseInsensitive) == 0;
    const bool byClassId = !byProgId && QUuid::fromString(text) == ClassId;
    if (!byProgId && !byClassId)
        return nullptr;
    return new VeyHyperLinkLabel(parent);
}

} // namespace VeyHyperLink
