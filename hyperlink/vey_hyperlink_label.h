#pragma once
// The link label: a caption in an underlined font that changes colour under the pointer and while
// pressed, shows a hand pointer, and when pressed opens its URL with the user's mail program or
// browser and raises Click. The program's windows use it for their commands and their links.

#include "hyperlink/hyperlink_types.h"
#include "hyperlink/identity.h"
#include "hyperlink/property_bag.h"
#include "hyperlink/veyhyperlink_export.h"

#include <QFont>
#include <QWidget>

namespace VeyHyperLink {
class CaptionLabel;
class LinkAccessible;
} // namespace VeyHyperLink

// The control surface holds one caption element, the QLabel named "HyperLabel", which covers it
// unless it sizes itself to its caption. The colours and the URL are the control's own; every
// other property lives in HyperLabel.
//
// A container creates it (directly or with VeyHyperLink::createControl), names it, and then either
// calls InitProperties for a new instance or ReadProperties with the state it stored; it calls
// WriteProperties whenever it saves, and handles Click as the command of the link.
//
// Properties are set with SetX and read with X(). Setters that forward to HyperLabel and change
// its size re-lay the control out; every setter emits PropertyChanged so that the container knows
// its saved state is out of date. The enumerated and colour setters refuse a value outside their
// range, keep the old value and return false.
class VEYHYPERLINK_EXPORT VeyHyperLinkLabel : public QWidget {
    Q_OBJECT
    Q_PROPERTY(uint BackColor READ BackColor WRITE SetBackColor)
    Q_PROPERTY(uint InActiveColor READ InActiveColor WRITE SetInActiveColor)
    Q_PROPERTY(uint ActiveColor READ ActiveColor WRITE SetActiveColor)
    Q_PROPERTY(uint HoverColor READ HoverColor WRITE SetHoverColor)
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(QFont Font READ Font WRITE SetFont)
    Q_PROPERTY(VeyHyperLink::BackStyleType BackStyle READ BackStyle WRITE SetBackStyle)
    Q_PROPERTY(VeyHyperLink::BorderStyleType BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(VeyHyperLink::AlignmentType Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(VeyHyperLink::AppearanceType Appearance READ Appearance WRITE SetAppearance)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
    Q_PROPERTY(QString URL READ URL WRITE SetURL)

public:
    using OleColor = VeyHyperLink::OleColor;

    // Initialize: the control's own state at its initial values; HyperLabel is left as created.
    Q_INVOKABLE explicit VeyHyperLinkLabel(QWidget* parent = nullptr);
    // A new instance placed on a container under a name: named, then InitProperties.
    VeyHyperLinkLabel(const QString& name, QWidget* parent);
    ~VeyHyperLinkLabel() override;

    OleColor BackColor() const { return backColor; }
    bool SetBackColor(OleColor color);
    OleColor InActiveColor() const { return inActiveColor; }
    bool SetInActiveColor(OleColor color);
    // Shown from the next press on.
    OleColor ActiveColor() const { return activeColor; }
    bool SetActiveColor(OleColor color);
    // Shown from the next movement over the caption on.
    OleColor HoverColor() const { return hoverColor; }
    bool SetHoverColor(OleColor color);

    // HyperLabel's own enabled state. A disabled link ignores the pointer and the keyboard.
    bool Enabled() const;
    void SetEnabled(bool enabled);
    // HyperLabel's font. Setting it forces the underline on; a font set on HyperLabel directly
    // is kept as it is.
    QFont Font() const;
    void SetFont(const QFont& font);
    VeyHyperLink::BackStyleType BackStyle() const;
    bool SetBackStyle(VeyHyperLink::BackStyleType style);
    VeyHyperLink::BorderStyleType BorderStyle() const;
    bool SetBorderStyle(VeyHyperLink::BorderStyleType style);
    bool AutoSize() const;
    void SetAutoSize(bool on);
    // Changes only where the caption sits within HyperLabel; the control keeps its size.
    VeyHyperLink::AlignmentType Alignment() const;
    bool SetAlignment(VeyHyperLink::AlignmentType alignment);
    VeyHyperLink::AppearanceType Appearance() const;
    bool SetAppearance(VeyHyperLink::AppearanceType appearance);
    QString Caption() const;
    void SetCaption(const QString& caption);
    bool WordWrap() const;
    void SetWordWrap(bool on);
    // Opened when the link is pressed: a "mailto:" address in the mail program, a web address in
    // the browser. Empty opens nothing.
    QString URL() const { return url; }
    void SetURL(const QString& url);

    Q_INVOKABLE void Refresh();
    Q_INVOKABLE void ShowAboutBoxInternal();
    Q_INVOKABLE void ShowAboutBox();

    // A new instance: caption = the instance's name, colours at rest, font underlined.
    void InitProperties();
    // Each stored item is read by itself; one that cannot be read or applied keeps its value.
    void ReadProperties(const VeyHyperLink::PropertyBag& bag);
    void WriteProperties(VeyHyperLink::PropertyBag& bag) const;

    QSize sizeHint() const override;

signals:
    // The user pressed the link (any mouse button, Enter or Space, or an accessibility client).
    void Click();
    // A property was set through this interface; the container's saved state is out of date.
    void PropertyChanged(const QString& name);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    friend class VeyHyperLink::LinkAccessible;

    enum class Pointer { Default, Hover, Click };
    enum class PressedBy { Mouse, Keyboard };

    void readLabelProperties(const VeyHyperLink::PropertyBag& bag);
    void readOwnProperties(const VeyHyperLink::PropertyBag& bag);
    QFont ambientFont() const;
    QString ambientDisplayName() const;
    void relayout();
    void propertyChanged(const char* name);
    bool acceptsInput() const;

    void hover();
    void leaveAt(const QPoint& position);
    void returnToRest();
    void press(PressedBy source);
    void queuePress();
    void setPointer(Pointer pointer);
    void applyTextColor(OleColor color);
    void enabledStateChanged();

    VeyHyperLink::CaptionLabel* HyperLabel;
    OleColor backColor;
    OleColor inActiveColor;
    OleColor activeColor;
    OleColor hoverColor;
    QString url;
    // Stands in for the mouse capture: set while the pointer is over the caption, until it leaves.
    bool captured = false;
    // What this control has put on the application's override-cursor stack, so that it always
    // takes off exactly what it put there.
    Pointer heldPointer = Pointer::Default;
};
