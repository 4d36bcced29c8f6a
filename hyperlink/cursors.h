#pragma once
// The library's pictures: the two hand pointers that a link shows, and its toolbox bitmap.

#include "hyperlink/veyhyperlink_export.h"

#include <QCursor>
#include <QPixmap>
#include <QString>

#include <optional>

namespace VeyHyperLink {

// The pointer over a link: a hand with the index finger raised, hot spot at its tip (12, 1).
inline constexpr char HoverCursorName[] = "MOUSEHOVER";
// The pointer while a link is pressed: a closed, pressing hand, hot spot at (16, 14).
inline constexpr char ClickCursorName[] = "MOUSECLICK";
inline constexpr int CursorSize = 32;

// One of the cursors above by name, matched without regard to letter case ("MouseHover");
// nothing for any other name. Needs a running QGuiApplication.
VEYHYPERLINK_EXPORT std::optional<QCursor> loadCursor(const QString& name);

// The small picture by which design tools show the control (16 x 15).
VEYHYPERLINK_EXPORT QPixmap toolboxBitmap();

} // namespace VeyHyperLink
