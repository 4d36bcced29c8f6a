#pragma once
// frmMileage: the mileage log, a ledger of trips made for the rental properties (the day, the
// property, what for, how many miles), on the record editor pattern. The trips of a tax year go
// to line 6 of its Schedule E worksheet at the standard mileage rate (tax/mileage.h).

#include "editors/record_editor.h"
#include "statements/statement.h"

namespace halvo {

class frmMileage : public RecordEditor {
    Q_OBJECT
public:
    explicit frmMileage(const QString& dataFolder, QWidget* parent = nullptr);
    static EditorDescription describe();

    // Import Trips: a CSV file through the CSV mapping, as a statement is read: the date column
    // gives each trip's date, the payee column its purpose, the memo column its property and the
    // amount column its miles.
    void ImportTrips_Click();
    // Adds the statement's lines as trips and tells the user how many; the log shows them.
    void importTrips(const Statement& statement, const QString& fileName);

protected:
    void newRecordAdded() override;
    bool checkBeforeSave() override;
    void afterSave() override;
};

} // namespace halvo
