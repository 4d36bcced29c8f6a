#include "hyperlink/vey_hyperlink_label.h"

#include "hyperlink/about_form.h"
#include "hyperlink/caption_label.h"
#include "hyperlink/cursors.h"
#include "hyperlink/link_accessible.h"
#include "hyperlink/stored_values.h"
#include "platform/desktop.h"

#include <QAccessible>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>

using namespace VeyHyperLink;

VeyHyperLinkLabel::VeyHyperLinkLabel(QWidget* parent)
    : QWidget(parent)
    , HyperLabel(new CaptionLabel(this))
    , backColor(DefaultBackColor)
    , inActiveColor(DefaultInActiveColor)
    , activeColor(DefaultActiveColor)
    , hoverColor(DefaultHoverColor)
{
    HyperLabel->setObjectName(QStringLiteral("HyperLabel"));
    // Movement is watched on both, without any pointer grab: over the caption it means hover,
    // on the surface it is checked for leaving.
    setMouseTracking(true);
    HyperLabel->setMouseTracking(true);
    HyperLabel->installEventFilter(this);
    setFocusPolicy(Qt::StrongFocus);
    // In a layout a link is as big as its caption, so that empty space beside it does not press it.
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    LinkAccessible::installFactory();
    relayout();
}

VeyHyperLinkLabel::VeyHyperLinkLabel(const QString& name, QWidget* parent)
    : VeyHyperLinkLabel(parent)
{
    setObjectName(name);
    InitProperties();
}

VeyHyperLinkLabel::~VeyHyperLinkLabel()
{
    HyperLabel->removeEventFilter(this);
    // A link destroyed under the pointer must not leave its hand behind for the whole program.
    setPointer(Pointer::Default);
}

// --- The control's own properties ---

bool VeyHyperLinkLabel::SetBackColor(OleColor color)
{
    if (!HyperLabel->setBackColor(color))
        return false;
    backColor = color;
    propertyChanged("BackColor");
    return true;
}

bool VeyHyperLinkLabel::SetInActiveColor(OleColor color)
{
    if (!HyperLabel->setForeColor(color))
        return false;
    inActiveColor = color;
    propertyChanged("InActiveColor");
    return true;
}

bool VeyHyperLinkLabel::SetActiveColor(OleColor color)
{
    if (!isValidOleColor(color))
        return false;
    activeColor = color;
    propertyChanged("ActiveColor");
    return true;
}

bool VeyHyperLinkLabel::SetHoverColor(OleColor color)
{
    if (!isValidOleColor(color))
        return false;
    hoverColor = color;
    propertyChanged("HoverColor");
    return true;
}

void VeyHyperLinkLabel::SetURL(const QString& address)
{
    url = address;
    propertyChanged("URL");
}

// --- Properties forwarded to HyperLabel ---

bool VeyHyperLinkLabel::Enabled() const
{
    // The label's own setting, not the container's: a disabled window does not disable the
    // stored state of its links.
    return HyperLabel->isEnabledTo(this);
}

void VeyHyperLinkLabel::SetEnabled(bool enabled)
{
    HyperLabel->setEnabled(enabled);
    propertyChanged("Enabled");
}

QFont VeyHyperLinkLabel::Font() const
{
    return HyperLabel->font();
}

void VeyHyperLinkLabel::SetFont(const QFont& font)
{
    QFont underlined = font;
    underlined.setUnderline(true);
    HyperLabel->setFont(underlined);
    relayout();
    propertyChanged("Font");
}

BackStyleType VeyHyperLinkLabel::BackStyle() const
{
    return HyperLabel->backStyle();
}

bool VeyHyperLinkLabel::SetBackStyle(BackStyleType style)
{
    if (!HyperLabel->setBackStyle(style))
        return false;
    relayout();
    propertyChanged("BackStyle");
    return true;
}

BorderStyleType VeyHyperLinkLabel::BorderStyle() const
{
    return HyperLabel->borderStyle();
}

bool VeyHyperLinkLabel::SetBorderStyle(BorderStyleType style)
{
    if (!HyperLabel->setBorderStyle(style))
        return false;
    relayout();
    propertyChanged("BorderStyle");
    return true;
}

bool VeyHyperLinkLabel::AutoSize() const
{
    return HyperLabel->autoSize();
}

void VeyHyperLinkLabel::SetAutoSize(bool on)
{
    HyperLabel->setAutoSize(on);
    relayout();
    propertyChanged("AutoSize");
}

AlignmentType VeyHyperLinkLabel::Alignment() const
{
    return HyperLabel->captionAlignment();
}

bool VeyHyperLinkLabel::SetAlignment(AlignmentType alignment)
{
    if (!HyperLabel->setCaptionAlignment(alignment))
        return false;
    propertyChanged("Alignment");
    return true;
}

AppearanceType VeyHyperLinkLabel::Appearance() const
{
    return HyperLabel->appearance();
}

bool VeyHyperLinkLabel::SetAppearance(AppearanceType appearance)
{
    if (!HyperLabel->setAppearance(appearance))
        return false;
    relayout();
    propertyChanged("Appearance");
    return true;
}

QString VeyHyperLinkLabel::Caption() const
{
    return HyperLabel->text();
}

void VeyHyperLinkLabel::SetCaption(const QString& caption)
{
    HyperLabel->setCaption(caption);
    relayout();
    propertyChanged("Caption");
    QAccessibleEvent nameChanged(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&nameChanged);
}

bool VeyHyperLinkLabel::WordWrap() const
{
    return HyperLabel->wordWrap();
}

void VeyHyperLinkLabel::SetWordWrap(bool on)
{
    HyperLabel->setWordWrapping(on);
    relayout();
    propertyChanged("WordWrap");
}

// --- Methods ---

void VeyHyperLinkLabel::Refresh()
{
    repaint();
    HyperLabel->repaint();
}

void VeyHyperLinkLabel::ShowAboutBoxInternal()
{
    ShowAboutBox();
}

void VeyHyperLinkLabel::ShowAboutBox()
{
    // Made fresh for every showing and gone when it closes; modal for the whole program.
    AboutForm form;
    form.exec();
}

// --- The container's notifications ---

void VeyHyperLinkLabel::InitProperties()
{
    HyperLabel->setBackColor(backColor);
    HyperLabel->setForeColor(inActiveColor);
    HyperLabel->setCaption(ambientDisplayName());
    QFont underlined = HyperLabel->font();
    underlined.setUnderline(true);
    HyperLabel->setFont(underlined);
}

void VeyHyperLinkLabel::ReadProperties(const PropertyBag& bag)
{
    readLabelProperties(bag);
    readOwnProperties(bag);
    // The stored size and the stored caption may disagree; the control's rules decide.
    relayout();
}

// Items 1 to 9, each straight into HyperLabel; a stored font keeps its own underline.
void VeyHyperLinkLabel::readLabelProperties(const PropertyBag& bag)
{
    if (const auto v = Stored::toBool(bag.ReadProperty("Enabled", true)))
        HyperLabel->setEnabled(*v);
    if (const auto v = Stored::toFont(bag.ReadProperty("Font", ambientFont())))
        HyperLabel->setFont(*v);
    if (const auto v = Stored::toInt16(bag.ReadProperty("BackStyle", int(HL_Opaque))))
        HyperLabel->setBackStyle(*v);
    if (const auto v = Stored::toInt16(bag.ReadProperty("BorderStyle", int(HL_None))))
        HyperLabel->setBorderStyle(*v);
    if (const auto v = Stored::toBool(bag.ReadProperty("AutoSize", false)))
        HyperLabel->setAutoSize(*v);
    if (const auto v = Stored::toInt16(bag.ReadProperty("Alignment", int(HL_Left_Justify))))
        HyperLabel->setCaptionAlignment(*v);
    if (const auto v = Stored::toInt16(bag.ReadProperty("Appearance", int(HL_3D))))
        HyperLabel->setAppearance(*v);
    if (const auto v = Stored::toText(bag.ReadProperty("Caption", ambientDisplayName())))
        HyperLabel->setCaption(*v);
    if (const auto v = Stored::toBool(bag.ReadProperty("WordWrap", false)))
        HyperLabel->setWordWrapping(*v);
}

// Items 10 to 14, the control's own; a colour is kept only if it can be shown.
void VeyHyperLinkLabel::readOwnProperties(const PropertyBag& bag)
{
    if (const auto v = Stored::toText(bag.ReadProperty("URL", QString())))
        url = *v;
    if (const auto v = Stored::toColor(bag.ReadProperty("BackColor", DefaultBackColor));
        v && HyperLabel->setBackColor(*v))
        backColor = *v;
    if (const auto v = Stored::toColor(bag.ReadProperty("InActiveColor", DefaultInActiveColor));
        v && HyperLabel->setForeColor(*v))
        inActiveColor = *v;
    if (const auto v = Stored::toColor(bag.ReadProperty("ActiveColor", DefaultActiveColor));
        v && isValidOleColor(*v))
        activeColor = *v;
    if (const auto v = Stored::toColor(bag.ReadProperty("HoverColor", DefaultHoverColor));
        v && isValidOleColor(*v))
        hoverColor = *v;
}

void VeyHyperLinkLabel::WriteProperties(PropertyBag& bag) const
{
    bag.WriteProperty("Enabled", Enabled(), true);
    bag.WriteProperty("Font", Font(), ambientFont());
    bag.WriteProperty("BackStyle", int(BackStyle()), int(HL_Opaque));
    bag.WriteProperty("BorderStyle", int(BorderStyle()), int(HL_None));
    bag.WriteProperty("AutoSize", AutoSize(), false);
    bag.WriteProperty("Alignment", int(Alignment()), int(HL_Left_Justify));
    bag.WriteProperty("Appearance", int(Appearance()), int(HL_3D));
    bag.WriteProperty("Caption", Caption(), ambientDisplayName());
    bag.WriteProperty("WordWrap", WordWrap(), false);
    bag.WriteProperty("URL", url, QString());
    bag.WriteProperty("BackColor", backColor, DefaultBackColor);
    bag.WriteProperty("InActiveColor", inActiveColor, DefaultInActiveColor);
    bag.WriteProperty("ActiveColor", activeColor, DefaultActiveColor);
    bag.WriteProperty("HoverColor", hoverColor, DefaultHoverColor);
}

// The container's font and the instance's name on the container.
QFont VeyHyperLinkLabel::ambientFont() const
{
    return font();
}
QString VeyHyperLinkLabel::ambientDisplayName() const
{
    return objectName();
}

void VeyHyperLinkLabel::propertyChanged(const char* name)
{
    emit PropertyChanged(QString::fromLatin1(name));
}

// --- Layout ---

void VeyHyperLinkLabel::relayout()
{
    HyperLabel->move(0, 0);
    if (HyperLabel->autoSize())
        resize(HyperLabel->size());
    else
        HyperLabel->resize(size());
    updateGeometry();
}

QSize VeyHyperLinkLabel::sizeHint() const
{
    return HyperLabel->autoSize() ? HyperLabel->size() : HyperLabel->sizeHint();
}

void VeyHyperLinkLabel::resizeEvent(QResizeEvent*)
{
    relayout();
}

// --- Pointer and keyboard ---

bool VeyHyperLinkLabel::acceptsInput() const
{
    return isEnabled() && Enabled();
}

bool VeyHyperLinkLabel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != HyperLabel)
        return false;
    if (event->type() == QEvent::EnabledChange) {
        enabledStateChanged();
    } else if (event->type() == QEvent::MouseMove) {
        if (!acceptsInput())
            return true;
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        // While a button is held Qt keeps reporting to the caption even outside it; that is
        // movement the surface would have been told of, so it may mean leaving.
        if (HyperLabel->rect().contains(at))
            hover();
        else
            leaveAt(HyperLabel->mapToParent(at));
        return true;
    }
    return false;
}

void VeyHyperLinkLabel::mouseMoveEvent(QMouseEvent* event)
{
    leaveAt(event->position().toPoint());
}

void VeyHyperLinkLabel::mousePressEvent(QMouseEvent* event)
{
    if (!acceptsInput()) {
        event->ignore();
        return;
    }
    press(PressedBy::Mouse);
}

void VeyHyperLinkLabel::mouseDoubleClickEvent(QMouseEvent*)
{
    // The second press of a double click is not a second press of the link: one command runs.
}

void VeyHyperLinkLabel::leaveEvent(QEvent*)
{
    // No movement is reported once the pointer has left, so leaving is final here, whatever the
    // edge rule of leaveAt would say of the last point.
    returnToRest();
}

void VeyHyperLinkLabel::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    const bool pressKey = key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter;
    if (!pressKey || (event->modifiers() & ~Qt::KeypadModifier) || !acceptsInput()) {
        QWidget::keyPressEvent(event);
        return;
    }
    // Holding the key down does not repeat the command.
    if (!event->isAutoRepeat())
        press(PressedBy::Keyboard);
}

void VeyHyperLinkLabel::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    // Shown for focus that came by the keyboard or from the program, not for a mouse click,
    // which already shows where the user is.
    HyperLabel->setFocusShown(event->reason() != Qt::MouseFocusReason);
}

void VeyHyperLinkLabel::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    HyperLabel->setFocusShown(false);
}

void VeyHyperLinkLabel::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (captured || heldPointer != Pointer::Default)
        returnToRest();
}

void VeyHyperLinkLabel::enabledStateChanged()
{
    setFocusPolicy(Enabled() ? Qt::StrongFocus : Qt::NoFocus);
    if (!acceptsInput() && (captured || heldPointer != Pointer::Default))
        returnToRest();
    // Qt moves the focus out of a disabled window by itself, but not off a disabled caption.
    if (isEnabled() && !Enabled() && hasFocus())
        focusNextChild();
    QAccessible::State changed;
    changed.disabled = true;
    QAccessibleStateChangeEvent stateChanged(this, changed);
    QAccessible::updateAccessibility(&stateChanged);
}

// --- Hover, leave and press ---

void VeyHyperLinkLabel::hover()
{
    // Movement repeats many times a second; only a change is shown again.
    if (captured && heldPointer == Pointer::Hover && HyperLabel->foreColor() == hoverColor)
        return;
    setPointer(Pointer::Hover);
    applyTextColor(hoverColor);
    captured = true;
}

void VeyHyperLinkLabel::leaveAt(const QPoint& position)
{
    // A point on the right or bottom edge still counts as inside.
    const bool outside =
        position.x() < 0 || position.y() < 0 || position.x() > width() || position.y() > height();
    if (outside)
        returnToRest();
}

void VeyHyperLinkLabel::returnToRest()
{
    captured = false;
    setPointer(Pointer::Default);
    applyTextColor(inActiveColor);
}

void VeyHyperLinkLabel::press(PressedBy source)
{
    // The keyboard and accessibility clients press without the pointer, so it is left alone.
    const bool byMouse = source == PressedBy::Mouse;
    if (byMouse)
        setPointer(Pointer::Click);
    applyTextColor(activeColor);
    if (!url.isEmpty())
        halvo::shellOpen(url); // a failed open is not the user's concern here; Click follows
    QPointer<VeyHyperLinkLabel> alive(this);
    emit Click();
    if (!alive)
        return; // the command closed the window; the destructor has let go of the pointer
    if (byMouse)
        setPointer(Pointer::Default);
    applyTextColor(inActiveColor);
}

void VeyHyperLinkLabel::queuePress()
{
    // Later, from the event loop: an accessibility client must not wait on a message box that
    // the command may show.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (acceptsInput())
                press(PressedBy::Keyboard);
        },
        Qt::QueuedConnection);
}

void VeyHyperLinkLabel::setPointer(Pointer pointer)
{
    if (pointer == heldPointer)
        return;
    if (pointer == Pointer::Default) {
        QGuiApplication::restoreOverrideCursor();
    } else {
        const QCursor hand =
            *loadCursor(pointer == Pointer::Hover ? HoverCursorName : ClickCursorName);
        if (heldPointer == Pointer::Default)
            QGuiApplication::setOverrideCursor(hand);
        else
            QGuiApplication::changeOverrideCursor(hand);
    }
    heldPointer = pointer;
}

void VeyHyperLinkLabel::applyTextColor(OleColor color)
{
    HyperLabel->setForeColor(color);
    Refresh();
}
