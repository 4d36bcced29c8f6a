#include "hyperlink/caption_label.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPainter>

namespace VeyHyperLink {
namespace {

constexpr OleColor ButtonText = SystemColorFlag | 18u;

template <typename Enum> bool inRange(int value, Enum first, Enum last)
{
    return value >= int(first) && value <= int(last);
}

} // namespace

CaptionLabel::CaptionLabel(QWidget* parent)
    : QLabel(parent)
    , foreColorValue(ButtonText)
{
    // A caption is shown as written: no markup, no mnemonics.
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Room for the focus frame, which would otherwise run through the first letter and the
    // underline.
    setMargin(1);
    setAutoFillBackground(true);
    applyColours();
}

bool CaptionLabel::setBackStyle(int style)
{
    if (!inRange(style, HL_Transparent, HL_Opaque))
        return false;
    backStyleValue = BackStyleType(style);
    setAutoFillBackground(backStyleValue == HL_Opaque);
    update();
    return true;
}

bool CaptionLabel::setBorderStyle(int style)
{
    if (!inRange(style, HL_None, HL_Fixed_Single))
        return false;
    borderStyleValue = BorderStyleType(style);
    applyFrame();
    return true;
}

bool CaptionLabel::setAppearance(int appearance)
{
    if (!inRange(appearance, HL_Flat, HL_3D))
        return false;
    appearanceValue = AppearanceType(appearance);
    applyFrame();
    return true;
}

bool CaptionLabel::setCaptionAlignment(int alignment)
{
    if (!inRange(alignment, HL_Left_Justify, HL_Center))
        return false;
    alignmentValue = AlignmentType(alignment);
    static const Qt::Alignment horizontal[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter};
    setAlignment(horizontal[alignment] | Qt::AlignTop);
    return true;
}

void CaptionLabel::setAutoSize(bool on)
{
    autoSizeValue = on;
    fitToCaption();
}

void CaptionLabel::setCaption(const QString& caption)
{
    setText(caption);
    fitToCaption();
}

void CaptionLabel::setWordWrapping(bool on)
{
    setWordWrap(on);
    fitToCaption();
}

bool CaptionLabel::setBackColor(OleColor color)
{
    if (!isValidOleColor(color))
        return false;
    backColorValue = color;
    applyColours();
    return true;
}

bool CaptionLabel::setForeColor(OleColor color)
{
    if (!isValidOleColor(color))
        return false;
    foreColorValue = color;
    applyColours();
    return true;
}

void CaptionLabel::setFocusShown(bool shown)
{
    focusShown = shown;
    update();
}

void CaptionLabel::paintEvent(QPaintEvent* event)
{
    QLabel::paintEvent(event);
    if (!focusShown)
        return;
    // Drawn here rather than by the style, which shows focus only after keyboard navigation in
    // the window: a link that has the keyboard focus always says so.
    QPainter painter(this);
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void CaptionLabel::changeEvent(QEvent* event)
{
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        fitToCaption();
    // Desktop colours follow the desktop when its palette changes.
    else if (event->type() == QEvent::ApplicationPaletteChange)
        applyColours();
}

void CaptionLabel::applyFrame()
{
    if (borderStyleValue == HL_None)
        setFrameStyle(QFrame::NoFrame);
    else if (appearanceValue == HL_3D)
        setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    else
        setFrameStyle(QFrame::Box | QFrame::Plain);
    // QLabel measures its text again only when one of its own settings changes.
    setIndent(indent());
    fitToCaption();
}

void CaptionLabel::applyColours()
{
    QPalette colours = palette();
    const QPalette& desktop = QGuiApplication::palette();
    colours.setColor(QPalette::Window, toQColor(backColorValue, desktop));
    // The disabled text keeps the desktop's greyed colour, so a disabled link looks disabled.
    const QColor text = toQColor(foreColorValue, desktop);
    colours.setColor(QPalette::Active, QPalette::WindowText, text);
    colours.setColor(QPalette::Inactive, QPalette::WindowText, text);
    setPalette(colours);
}

void CaptionLabel::fitToCaption()
{
    if (!autoSizeValue)
        return;
    if (wordWrap())
        resize(width(), heightForWidth(width()));
    else
        resize(sizeHint());
}

} // namespace VeyHyperLink
