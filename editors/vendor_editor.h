#pragma once
// frmVendor: the companies the investor pays or is paid by. Opened from another window through
// OpenVendorWindow, it hands the company it saves back to that window and hides itself.

#include "editors/record_editor.h"

namespace halvo {

class frmVendor : public RecordEditor {
    Q_OBJECT
public:
    explicit frmVendor(const QString& dataFolder, QWidget* parent = nullptr);
    static EditorDescription describe();

    // A blank record with the focus in the company box, for a window that asked for a vendor.
    void startNewVendor();

protected:
    void afterSave() override;
    void closeEvent(QCloseEvent* event) override;
};

} // namespace halvo
