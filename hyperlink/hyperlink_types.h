#pragma once
// The enumerations and colours that the link label publishes to its containers.

#include "hyperlink/veyhyperlink_export.h"

#include <QColor>
#include <QObject>
#include <QPalette>

namespace VeyHyperLink {
Q_NAMESPACE_EXPORT(VEYHYPERLINK_EXPORT)

// The values are those of the plain label that the properties are forwarded to, so that stored
// windows keep their meaning. Each is an int underneath, so that any number a container stored
// is a value of its type and is shown as its label does, rather than undefined.
enum AlignmentType : int { HL_Left_Justify = 0, HL_Right_Justify = 1, HL_Center = 2 };
Q_ENUM_NS(AlignmentType)
enum AppearanceType : int { HL_Flat = 0, HL_3D = 1 };
Q_ENUM_NS(AppearanceType)
enum BackStyleType : int { HL_Transparent = 0, HL_Opaque = 1 };
Q_ENUM_NS(BackStyleType)
enum BorderStyleType : int { HL_None = 0, HL_Fixed_Single = 1 };
Q_ENUM_NS(BorderStyleType)

// A colour as containers store it: 0x00BBGGRR, or 0x800000nn for the desktop's colour number nn
// (15 is the button face), which follows the desktop's palette.
using OleColor = quint32;

inline constexpr OleColor SystemColorFlag = 0x80000000u;
inline constexpr OleColor ButtonFace = SystemColorFlag | 15u;

// The colours of a new link: blue at rest, green while pressed, red under the pointer.
inline constexpr OleColor DefaultBackColor = ButtonFace;
inline constexpr OleColor DefaultInActiveColor = 0xFF0000u;
inline constexpr OleColor DefaultActiveColor = 0x00FF00u;
inline constexpr OleColor DefaultHoverColor = 0x0000FFu;

// True for a plain 0x00BBGGRR colour and for a known desktop colour number.
VEYHYPERLINK_EXPORT bool isValidOleColor(OleColor color);
// The colour to paint with; desktop colours are taken from the given palette. An invalid colour
// gives an invalid QColor.
VEYHYPERLINK_EXPORT QColor toQColor(OleColor color, const QPalette& desktop);
VEYHYPERLINK_EXPORT QColor toQColor(OleColor color);
VEYHYPERLINK_EXPORT OleColor fromQColor(const QColor& color);

} // namespace VeyHyperLink
