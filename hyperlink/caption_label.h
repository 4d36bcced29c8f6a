#pragma once
// The caption element of the link label, named "HyperLabel": a QLabel that behaves like the plain
// label the link's properties are forwarded to. It keeps the label's own settings (back style,
// border, appearance, auto-size, colours) and sizes itself to its caption while auto-size is on.

#include "hyperlink/hyperlink_types.h"

#include <QLabel>

namespace VeyHyperLink {

class CaptionLabel : public QLabel {
public:
    explicit CaptionLabel(QWidget* parent);

    // The enumerated settings refuse a value outside their enumeration and keep the old one.
    bool setBackStyle(int style);
    BackStyleType backStyle() const { return backStyleValue; }
    bool setBorderStyle(int style);
    BorderStyleType borderStyle() const { return borderStyleValue; }
    bool setAppearance(int appearance);
    AppearanceType appearance() const { return appearanceValue; }
    bool setCaptionAlignment(int alignment);
    AlignmentType captionAlignment() const { return alignmentValue; }

    void setAutoSize(bool on);
    bool autoSize() const { return autoSizeValue; }
    void setCaption(const QString& caption);
    void setWordWrapping(bool on);

    // Colours refuse what isValidOleColor refuses.
    bool setBackColor(OleColor color);
    bool setForeColor(OleColor color);
    OleColor foreColor() const { return foreColorValue; }

    // The focus of the link is shown on its caption, which covers it.
    void setFocusShown(bool shown);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void applyFrame();
    void applyColours();
    void fitToCaption();

    BackStyleType backStyleValue = HL_Opaque;
    BorderStyleType borderStyleValue = HL_None;
    AppearanceType appearanceValue = HL_3D;
    AlignmentType alignmentValue = HL_Left_Justify;
    bool autoSizeValue = false;
    bool focusShown = false;
    OleColor backColorValue = DefaultBackColor;
    OleColor foreColorValue = DefaultInActiveColor;
};

} // namespace VeyHyperLink
