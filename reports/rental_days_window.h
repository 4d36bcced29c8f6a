#pragma once
// frmRentalDays: lines 1b and 2 of a tax year's worksheet, a row for each property: the type of
// property (the form's codes 1 to 8), its fair rental days and its personal use days. Where the
// year has nothing entered yet, the type is the one of the year before (or what the property's
// type suggests) and the fair rental days are the days the rent roll's leases covered: the user
// accepts them with Save, or changes them first.

#include "tax/rental_days.h"

#include <QDialog>

class QComboBox;
class QSpinBox;

namespace halvo {

class frmRentalDays : public QDialog {
    Q_OBJECT
public:
    // The rows as rentalDaysOf reads them for the year.
    frmRentalDays(Connection connection, int year, QList<RentalDays> properties,
                  QWidget* parent = nullptr);

    // Each property's inputs, in the rows' order.
    QList<QComboBox*> cboType;
    QList<QSpinBox*> txtFairRentalDays;
    QList<QSpinBox*> txtPersonalUseDays;

    // What the rows hold now, as saveRentalDays takes it.
    QList<RentalDays> entered() const;

public slots:
    // Keeps the rows and closes; a failure is told, and the window stays.
    void cmdSave_Click();

private:
    Connection connection;
    int year;
    QList<RentalDays> properties;
};

} // namespace halvo
