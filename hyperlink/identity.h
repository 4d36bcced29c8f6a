#pragma once
// How containers find the link label: the identifiers it is known by, and its creation by them.

#include "hyperlink/veyhyperlink_export.h"

#include <QUuid>

class QWidget;
class VeyHyperLinkLabel;

namespace VeyHyperLink {

inline constexpr char LibraryName[] = "VeyHyperLink";
inline constexpr char LibraryHelpString[] = "Vey HyperLink Label";
inline constexpr int LibraryMajorVersion = 1;
inline constexpr int LibraryMinorVersion = 0;
inline constexpr char ClassName[] = "VeyHyperLinkLabel";
inline constexpr char ProgId[] = "VeyHyperLink.VeyHyperLinkLabel";

// clang-format off
// {ABB518E6-B094-411B-BBCD-80A90D4925D8}: the library.
inline constexpr QUuid LibraryId{0xABB518E6, 0xB094, 0x411B,
                                 0xBB, 0xCD, 0x80, 0xA9, 0x0D, 0x49, 0x25, 0xD8};
// {199B82A9-7097-4E19-A541-B824B9E74F15}: the control class VeyHyperLinkLabel.
inline constexpr QUuid ClassId{0x199B82A9, 0x7097, 0x4E19,
                               0xA5, 0x41, 0xB8, 0x24, 0xB9, 0xE7, 0x4F, 0x15};
// {B5F123CC-DE3D-4BD8-8C0D-8B12A4C6882C}: its programming interface _VeyHyperLinkLabel.
inline constexpr QUuid InterfaceId{0xB5F123CC, 0xDE3D, 0x4BD8,
                                   0x8C, 0x0D, 0x8B, 0x12, 0xA4, 0xC6, 0x88, 0x2C};
// {8F18D21C-EE35-47CF-9309-CAC63100CD94}: its event interface __VeyHyperLinkLabel (Click).
inline constexpr QUuid EventInterfaceId{0x8F18D21C, 0xEE35, 0x47CF,
                                        0x93, 0x09, 0xCA, 0xC6, 0x31, 0x00, 0xCD, 0x94};
// clang-format on

// A new link label for the ProgID or the class identifier (braces optional, any letter case);
// nullptr for anything else. The new label has only its initial state: the container names it and
// then either gives it its new-instance properties (InitProperties) or its stored ones.
VEYHYPERLINK_EXPORT VeyHyperLinkLabel* createControl(const QString& id, QWidget* parent = nullptr);

} // namespace VeyHyperLink
