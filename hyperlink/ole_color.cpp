#include "hyperlink/hyperlink_types.h"

#include <QGuiApplication>

#include <optional>

namespace VeyHyperLink {
namespace {

struct DesktopColor {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The palette colour that stands in for each of the desktop's colour numbers; number 25 has
// never had a meaning.
std::optional<DesktopColor> desktopColor(quint32 number)
{
    using P = QPalette;
    static const DesktopColor table[] = {
        {P::Active, P::Button},          // 0 scroll bar
        {P::Active, P::Window},          // 1 desktop background
        {P::Active, P::Highlight},       // 2 active title bar
        {P::Inactive, P::Highlight},     // 3 inactive title bar
        {P::Active, P::Window},          // 4 menu
        {P::Active, P::Base},            // 5 window background
        {P::Active, P::Shadow},          // 6 window frame
        {P::Active, P::WindowText},      // 7 menu text
        {P::Active, P::Text},            // 8 window text
        {P::Active, P::HighlightedText}, // 9 title bar text
        {P::Active, P::Window},          // 10 active border
        {P::Inactive, P::Window},        // 11 inactive border
        {P::Active, P::Mid},             // 12 application workspace
        {P::Active, P::Highlight},       // 13 highlight
        {P::Active, P::HighlightedText}, // 14 highlighted text
        {P::Active, P::Button},          // 15 button face
        {P::Active, P::Mid},             // 16 button shadow
        {P::Disabled, P::Text},          // 17 grey text
        {P::Active, P::ButtonText},      // 18 button text
        {P::Inactive, P::WindowText},    // 19 inactive title bar text
        {P::Active, P::Light},           // 20 button highlight
        {P::Active, P::Shadow},          // 21 3-D dark shadow
        {P::Active, P::Midlight},        // 22 3-D light
        {P::Active, P::ToolTipText},     // 23 tooltip text
        {P::Active, P::ToolTipBase},     // 24 tooltip background
        {P::Active, P::NoRole},          // 25 unused
        {P::Active, P::Link},            // 26 hot-tracked item
        {P::Active, P::Highlight},       // 27 active title gradient
        {P::Inactive, P::Highlight},     // 28 inactive title gradient
        {P::Active, P::Highlight},       // 29 menu highlight
        {P::Active, P::Window},          // 30 menu bar
    };
    if (number >= std::size(table) || table[number].role == P::NoRole)
        return std::nullopt;
    return table[number];
}

} // namespace

bool isValidOleColor(OleColor color)
{
    if (color & SystemColorFlag)
        return (color & 0x7FFFFF00u) == 0 && desktopColor(color & 0xFFu).has_value();
    return (color & 0xFF000000u) == 0;
}

QColor toQColor(OleColor color, const QPalette& desktop)
{
    if (!isValidOleColor(color))
        return {};
    if (color & SystemColorFlag) {
        const DesktopColor entry = *desktopColor(color & 0xFFu);
        return desktop.color(entry.group, entry.role);
    }
    return QColor(int(color & 0xFF), int((color >> 8) & 0xFF), int((color >> 16) & 0xFF));
}

QColor toQColor(OleColor color)
{
    return toQColor(color, QGuiApplication::palette());
}

OleColor fromQColor(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return OleColor(rgb.red()) | OleColor(rgb.green()) << 8 | OleColor(rgb.blue()) << 16;
}

} // namespace VeyHyperLink
