#pragma once
// What screen readers and accessibility clients see of a link label: a button (or a link, when
// it has an address to open) named by its caption, with a press action.

#include <QAccessibleWidget>

class VeyHyperLinkLabel;

namespace VeyHyperLink {

class LinkAccessible : public QAccessibleWidget {
public:
    explicit LinkAccessible(VeyHyperLinkLabel* link);

    QAccessible::Role role() const override;
    QString text(QAccessible::Text kind) const override;
    QAccessible::State state() const override;

    // The caption element is part of the link, not a second object to be read out.
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QStringList actionNames() const override;
    QStringList keyBindingsForAction(const QString& action) const override;
    void doAction(const QString& action) override;

    // Registers the interface for every link label; repeated calls do nothing.
    static void installFactory();

private:
    VeyHyperLinkLabel* link() const;
};

} // namespace VeyHyperLink
