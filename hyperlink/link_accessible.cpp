#include "hyperlink/link_accessible.h"

#include "hyperlink/vey_hyperlink_label.h"

#include <mutex>

namespace VeyHyperLink {
namespace {

QAccessibleInterface* createInterface(const QString& className, QObject* object)
{
    if (className != QLatin1String("VeyHyperLinkLabel"))
        return nullptr;
    auto* link = qobject_cast<VeyHyperLinkLabel*>(object);
    return link ? new LinkAccessible(link) : nullptr;
}

} // namespace

LinkAccessible::LinkAccessible(VeyHyperLinkLabel* link)
    : QAccessibleWidget(link, QAccessible::Button)
{
}

VeyHyperLinkLabel* LinkAccessible::link() const
{
    return static_cast<VeyHyperLinkLabel*>(widget());
}

QAccessible::Role LinkAccessible::role() const
{
    return link()->URL().isEmpty() ? QAccessible::Button : QAccessible::Link;
}

QString LinkAccessible::text(QAccessible::Text kind) const
{
    if (kind == QAccessible::Name && link()->accessibleName().isEmpty())
        return link()->Caption();
    if (kind == QAccessible::Description && link()->accessibleDescription().isEmpty())
        return link()->URL();
    return QAccessibleWidget::text(kind);
}

QAccessible::State LinkAccessible::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    if (!link()->Enabled()) {
        state.disabled = true;
        state.focusable = false;
    }
    return state;
}

QStringList LinkAccessible::actionNames() const
{
    QStringList names = QAccessibleWidget::actionNames();
    if (link()->isEnabled() && link()->Enabled())
        names.prepend(pressAction());
    return names;
}

QStringList LinkAccessible::keyBindingsForAction(const QString& action) const
{
    if (action == pressAction())
        return {QStringLiteral("Space"), QStringLiteral("Return")};
    return QAccessibleWidget::keyBindingsForAction(action);
}

void LinkAccessible::doAction(const QString& action)
{
    if (action == pressAction())
        link()->queuePress();
    else
        QAccessibleWidget::doAction(action);
}

void LinkAccessible::installFactory()
{
    static std::once_flag once;
    std::call_once(once, [] { QAccessible::installFactory(&createInterface); });
}

} // namespace VeyHyperLink
