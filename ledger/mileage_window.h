#pragma once
// frmMileage: the mileage log, a ledger of trips made for the rental properties (the day, the
// property, what for, how many miles), on the record editor pattern. The trips of a tax year go
// to line 6 of its Schedule E worksheet at the standard mileage rate (tax/mileage.h).

#include "editors/record_editor.h"

namespace halvo {

class frmMileage : public RecordEditor {
    Q_OBJECT
public:
    explicit frmMileage(const QString& dataFolder, QWidget* parent = nullptr);
    static EditorDescription describe();

protected:
    void newRecordAdded() override;
    bool checkBeforeSave() override;
    void afterSave() override;
};

} // namespace halvo
