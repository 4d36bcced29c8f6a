#include "vendor_window.h"

#include "editors/vendor_editor.h"

#include <QHash>
#include <QPointer>

namespace Puiblic_Module {

QString CallerTag;

namespace {

std::function<halvo::frmVendor*()>& opener()
{
    static std::function<halvo::frmVendor*()> open;
    return open;
}

// Pickers of the windows that can ask for a vendor; a closed window's entry reads as null.
QHash<QString, QPointer<QComboBox>>& pickers()
{
    static QHash<QString, QPointer<QComboBox>> registered;
    return registered;
}

} // namespace

void setVendorWindowOpener(std::function<halvo::frmVendor*()> open) { opener() = std::move(open); }

void registerVendorPicker(const QString& callerTag, QComboBox* picker)
{
    pickers().insert(callerTag, picker);
}

void OpenVendorWindow(const QString& callerTag)
{
    CallerTag = callerTag;
    halvo::frmVendor* vendor = opener() ? opener()() : nullptr;
    if (!vendor)
        return;
    vendor->startNewVendor();
}

QComboBox* callerPicker()
{
    return CallerTag.isEmpty() ? nullptr : pickers().value(CallerTag).data();
}

bool handBackVendor(const QString& company)
{
    if (CallerTag.isEmpty())
        return false;
    const QPointer<QComboBox> picker = pickers().value(CallerTag);
    CallerTag.clear();
    if (!picker)
        return false; // the caller was closed meanwhile: nothing to hand back to
    picker->addItem(company);
    const int last = picker->count() - 1;
    picker->setCurrentIndex(last);
    emit picker->activated(last); // as if the user chose it: the caller stores it
    return true;
}

} // namespace Puiblic_Module
